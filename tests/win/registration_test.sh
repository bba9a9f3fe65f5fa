#!/usr/bin/env bash
# Registration of Pelorin.dll with regsvr32 under Wine, read back with `reg query`.
# Usage: registration_test.sh BUILD_DIR   (run by CTest inside scripts/wine-ctest)
set -uo pipefail
build=$(cd "$1" && pwd)
. "$(dirname "$0")/../../scripts/wine-env" "$build"
bin_unix="$build/bin"
bin=$("$WINE" winepath -w "$bin_unix" 2>/dev/null | tr -d '\r')
clsid='{8298E24A-F153-49E7-8919-A9E94FC9DE7F}'
class_key="HKCR\\CLSID\\$clsid"
libid='{D8FBFAF3-6891-4C76-AB75-0111793BF46C}'
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { local what="$1"; shift; if "$@"; then echo "ok: $what"; else fail "$what"; fi; }
query() { "$WINE" reg query "$@" 2>/dev/null | tr -d '\r'; }
regsvr() { "$WINE" regsvr32 /s "$@" >/dev/null 2>&1; }
# One value's "TYPE DATA" as reg query prints it: query KEY NAME
value() { query "$1" /v "$2" | awk -v n="$2" '$1 == n { $1 = ""; sub(/^ +/, ""); print }'; }
default_value() { query "$1" /ve | awk '$1 == "(Default)" { $1 = ""; sub(/^ +/, ""); print }'; }
key_exists() { "$WINE" reg query "$1" >/dev/null 2>&1; }
subkeys() { query "$1" | grep '^HKEY_' | sed 's|^.*\\||' | sort; }

unregister_all() { regsvr /u "$1\\Pelorin.dll"; }

# A clean start: nothing of an earlier run left.
unregister_all "$bin"

echo "== register (user locale 1033)"
check "regsvr32 exits 0" regsvr "$bin\\Pelorin.dll"
check "class default" test "$(default_value "$class_key")" = "REG_SZ Solid Edge Addin Class"
check "display name under 409" test "$(value "$class_key" 409)" = "REG_SZ Pelorin for Solid Edge"
check "AutoConnect REG_DWORD 1" test "$(value "$class_key" AutoConnect)" = "REG_DWORD 0x1"
summary=$(value "$class_key\\Summary" 409)
check "summary" test "${summary#REG_SZ Rhinoceros/OpenNURBS 3DM file export add-in for Solid Edge}" != "$summary"
check "help is the chm beside the module" test "$(value "$class_key\\Help" 409)" = "REG_SZ $bin\\Pelorin.chm"
check "InprocServer32" test "$(default_value "$class_key\\InprocServer32")" = "REG_SZ $bin\\Pelorin.dll"
check "ThreadingModel" test "$(value "$class_key\\InprocServer32" ThreadingModel)" = "REG_SZ Apartment"
check "ProgID" test "$(default_value "$class_key\\ProgID")" = "REG_SZ CPelorin.Solid Edge Addin.1"
check "VersionIndependentProgID" test "$(default_value "$class_key\\VersionIndependentProgID")" = "REG_SZ CPelorin.Solid Edge Addin"
check "Programmable exists, empty" test "$(key_exists "$class_key\\Programmable" && query "$class_key\\Programmable" | grep -c .)" = 0
check "implemented category" key_exists "$class_key\\Implemented Categories\\{26B1D2D1-2B03-11D2-B589-080036E8B802}"
expected_envs=$(printf '%s\n' '{08244193-B78D-11D2-9216-00C04F79BE98}' '{1661432A-489C-4714-B1B2-61E85CFD0B71}' \
  '{26618395-09D6-11D1-BA07-080036230602}' '{26618396-09D6-11D1-BA07-080036230602}' '{26618397-09D6-11D1-BA07-080036230602}' \
  '{26618398-09D6-11D1-BA07-080036230602}' '{2C3C2A72-3A4A-471D-98B5-E3A8CFA4A2BF}' '{7313526A-276F-11D4-B64E-00C04F79B2BF}' \
  '{9CBF2809-FF80-4DBC-98F2-B82DABF3530F}' '{D9B0BB85-3A6C-4086-A0BB-88A1AAD57A58}' | sort)
check "ten environment categories, no values" test "$(subkeys "$class_key\\Environment Categories")" = "$expected_envs" \
  -a "$(query "$class_key\\Environment Categories" | grep -c REG_)" = 0
check "ProgID key" test "$(default_value 'HKCR\CPelorin.SEAddin.1\CLSID')" = "REG_SZ $clsid"
check "CurVer" test "$(default_value 'HKCR\CPelorin.SEAddin\CurVer')" = "REG_SZ CPelorin.Solid Edge Addin.1"
check "WinHelp folders" test "$(value 'HKLM\SOFTWARE\Microsoft\Windows\Help' CPelorin.hlp)" = 'REG_SZ C:\WINDOWS\Help' \
  -a "$(value 'HKLM\SOFTWARE\Microsoft\Windows\Help' CPelorin.cnt)" = 'REG_SZ C:\WINDOWS\Help'
check "type library registered" test "$(default_value "HKCR\\TypeLib\\$libid\\1.0\\409\\win64")" = "REG_SZ $bin\\Pelorin.dll"
first=$(query "$class_key" /s)

echo "== register again"
check "regsvr32 exits 0" regsvr "$bin\\Pelorin.dll"
check "the same class key, once" test "$(query "$class_key" /s)" = "$first"

echo "== register under user locale 1031"
check "regsvr32 exits 0" env LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$WINE" regsvr32 /s "$bin\\Pelorin.dll"
check "display name under 407" test "$(value "$class_key" 407)" = "REG_SZ Pelorin for Solid Edge"
check "no 409 left" test -z "$(value "$class_key" 409)"
check "help under 407" test "$(value "$class_key\\Help" 407)" = "REG_SZ $bin\\Pelorin.chm"

echo "== unregister"
check "regsvr32 /u exits 0" regsvr /u "$bin\\Pelorin.dll"
check "class key gone" bash -c "! '$WINE' reg query '$class_key' >/dev/null 2>&1"
check "ProgID keys gone" bash -c "! '$WINE' reg query 'HKCR\\CPelorin.SEAddin' >/dev/null 2>&1 && ! '$WINE' reg query 'HKCR\\CPelorin.SEAddin.1' >/dev/null 2>&1"
check "type library stays registered" key_exists "HKCR\\TypeLib\\$libid\\1.0"

echo "== unregister what is not registered"
"$WINE" reg export 'HKCR\CLSID' "$(winepath_out=$("$WINE" winepath -w "$build/hkcr-before.reg" | tr -d '\r'); echo "$winepath_out")" /y >/dev/null 2>&1
check "regsvr32 /u exits 0" regsvr /u "$bin\\Pelorin.dll"
"$WINE" reg export 'HKCR\CLSID' "$("$WINE" winepath -w "$build/hkcr-after.reg" | tr -d '\r')" /y >/dev/null 2>&1
check "nothing changed" cmp -s "$build/hkcr-before.reg" "$build/hkcr-after.reg"

echo "== a module path with an apostrophe"
odd_unix="$build/O'Brien add-ins"
rm -rf "$odd_unix" && mkdir -p "$odd_unix"
cp "$bin_unix"/Pelorin.dll "$bin_unix"/TLMIO.dll "$bin_unix"/TLMGUI.dll "$bin_unix"/Pelorin.chm "$odd_unix"/
odd=$("$WINE" winepath -w "$odd_unix" | tr -d '\r')
check "regsvr32 exits 0" regsvr "$odd\\Pelorin.dll"
check "InprocServer32 spelled as the file system does" test "$(default_value "$class_key\\InprocServer32")" = "REG_SZ $odd\\Pelorin.dll"
check "help beside that module" test "$(value "$class_key\\Help" 409)" = "REG_SZ $odd\\Pelorin.chm"
check "regsvr32 /u exits 0" regsvr /u "$odd\\Pelorin.dll"
check "class key gone" bash -c "! '$WINE' reg query '$class_key' >/dev/null 2>&1"
rm -rf "$odd_unix"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
