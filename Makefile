# The two commands of the README: `make demo` and `make test`. Everything else is a step of those.
SHELL := /bin/bash
.SHELLFLAGS := -euo pipefail -c
FUZZ_SECONDS ?= 60
MAKEFLAGS += --no-print-directory

.PHONY: all demo test setup native win64 win32 test-native test-win64 fuzz clean

all: native win64 win32

setup:
	scripts/setup

native: setup
	cmake --preset native >/dev/null
	cmake --build --preset native

win64: setup
	cmake --preset win64 >/dev/null
	cmake --build --preset win64

win32: setup win64
	cmake --preset win32 >/dev/null
	cmake --build --preset win32
	scripts/check-exports build/win32/bin/Pelorin.dll

test-native: native
	ctest --preset native

test-win64: win64
	scripts/wine-ctest build/win64 -j2

fuzz: setup
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	scripts/run-fuzz build/fuzz $(FUZZ_SECONDS)

test: test-native test-win64 win32 fuzz
	@echo "make test: all suites passed"

demo: native win64
	scripts/demo

clean:
	rm -rf build out
