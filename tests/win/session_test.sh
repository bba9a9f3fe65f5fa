#!/usr/bin/env bash
# The simulated host's scripted session with the registered Pelorin.dll, and the exported file
# read back by real OpenNURBS against the meshes of the same model.
# Usage: session_test.sh BUILD_DIR   (run by CTest inside scripts/wine-ctest)
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env" "$build"
winpath() { "$WINE" winepath -w "$1" | tr -d '\r'; }
out="$build/session"
rm -rf "$out" && mkdir -p "$out"
dll="$(winpath "$build/bin")\\Pelorin.dll"

"$WINE" regsvr32 /s "$dll" || { echo "FAIL: regsvr32 $dll"; exit 1; }
"$WINE" "$build/bin/sehost.exe" --session "$(winpath "$out")\\part.3dm" 2>/dev/null | tr -d '\r'
session=${PIPESTATUS[0]}
"$WINE" regsvr32 /s /u "$dll"

"$WINE" "$build/bin/sehost.exe" --write-model part "$(winpath "$out")\\part.stl" >/dev/null &&
  "$WINE" "$build/bin/oracle_stl_expectations.exe" "$(winpath "$out")\\part.stl" "$(winpath "$out")\\part.3dm" 3 &&
  rm "$out/part.stl" &&
  node "$here/../oracle/check3dm.js" "$out"
oracle=$?
[ "$session" -eq 0 ] && [ "$oracle" -eq 0 ]
