#!/usr/bin/env bash
# stl23dm on the bundled STL files, read back by real OpenNURBS against the meshes the library
# reads from the same files; and the converter's exit codes on bad input.
# Usage: check_converter.sh BIN_DIR OUT_DIR STL...
set -uo pipefail
bin="$1" out="$2"; shift 2
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out" && mkdir -p "$out"
failures=0
for stl in "$@"; do
  for version in 3 50; do
    target="$out/$(basename "${stl%.stl}")_v$version.3dm"
    if ! "$bin/stl23dm" "$stl" "$target" --version "$version" >"$target.log" 2>&1; then
      echo "FAIL stl23dm $stl --version $version: $(cat "$target.log")"; failures=$((failures + 1)); continue
    fi
    grep -q "bytes (3DM version $version)" "$target.log" || { echo "FAIL stl23dm printed: $(cat "$target.log")"; failures=$((failures + 1)); }
    "$bin/oracle_stl_expectations" "$stl" "$target" "$version" || failures=$((failures + 1))
  done
done
node "$here/check3dm.js" "$out" || failures=$((failures + 1))

# Bad input: a clear message and exit code 1, usage errors exit code 2, nothing written.
"$bin/stl23dm" "$out/missing.stl" "$out/missing.3dm" >/dev/null 2>"$out/missing.err"
rc=$?
[ $rc -eq 1 ] && grep -q "missing.stl" "$out/missing.err" && [ ! -e "$out/missing.3dm" ] \
  || { echo "FAIL missing input: exit $rc, $(cat "$out/missing.err")"; failures=$((failures + 1)); }
"$bin/stl23dm" "$1" --version 7 >/dev/null 2>"$out/version.err"
rc=$?
[ $rc -eq 1 ] && grep -q "50" "$out/version.err" \
  || { echo "FAIL unsupported version: exit $rc, $(cat "$out/version.err")"; failures=$((failures + 1)); }
"$bin/stl23dm" --crease abc "$1" >/dev/null 2>&1
rc=$?
[ $rc -eq 2 ] || { echo "FAIL bad --crease: exit $rc"; failures=$((failures + 1)); }
echo "$failures failure(s)"
[ $failures -eq 0 ]
