#!/usr/bin/env bash
# The built Setting.dll read as a file, with binutils' own readers: what host programs and the
# platform rely on without running it. Its machine, its one export, its by-ordinal imports of
# the product's libraries and no runtime library of the compiler, and its resources (dialog
# templates, version, manifest) exactly as Setting.resources.rc lists them.
# Usage: check-module.sh <x86_64|i686> <path of Setting.dll>
# After an intended change of the resources:  <triple>-windres -i Setting.dll -O rc > Setting.resources.rc
set -uo pipefail
arch=$1 dll=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
objdump=$arch-w64-mingw32-objdump
windres=$arch-w64-mingw32-windres
status=0
fail() { echo "FAIL: $*"; status=1; }

[ -f "$dll" ] || { echo "FAIL: no module at $dll"; exit 1; }
case $arch in
    x86_64) format="pei-x86-64" ;;
    i686) format="pei-i386" ;;
esac
private=$("$objdump" -p "$dll")
grep -q "file format $format" <<<"$private" || fail "not a $format file"
sed -n '/^Characteristics/,/^$/p' <<<"$private" | grep -qx $'\tDLL' || fail "not a DLL"

# The export table: Setting.dll with ShowDlgSetting alone, undecorated on both architectures.
exports=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$private" | sed -n 's/^\t\[.*\] //p')
[ "$exports" = "ShowDlgSetting" ] || fail "exports: $(echo $exports)"
grep -q "^Name .*Setting.dll" <<<"$private" || fail "the export table does not name Setting.dll"

# The imports: each library, and for the product's its ordinals (by-ordinal entries have no
# name, objdump shows "<none>"); a named entry of a product library is a fault.
declare -A ordinals named
current=""
while read -r first second third rest; do
    if [ "$first $second" = "DLL Name:" ]; then current=$third; named[$current]=${named[$current]:-}; continue; fi
    [ -n "$current" ] || continue
    if [ -z "$first" ]; then current=""; continue; fi
    if [ "$third" = "<none>" ]; then
        # The thunk's low 16 bits are the ordinal (its top bit marks an import by ordinal).
        ordinals[$current]+=" $((16#${first: -4}))"
    elif [[ $first =~ ^[0-9a-f]+$ && -n $third ]]; then
        named[$current]=yes
    fi
done <<<"$private"
product=""
for library in Marrowick.dll Pellucid.dll Tessvane.dll; do
    [ -n "${named[$library]:-}" ] && fail "$library is imported by name"
    product+="$library by ordinal:$(tr ' ' '\n' <<<"${ordinals[$library]:-}" | sort -n | tr '\n' ' ' | sed 's/ *$//')"$'\n'
done
expected_product="Marrowick.dll by ordinal: 25
Pellucid.dll by ordinal: 2 3 5 6 8 20 21 22 23 30 31 32 33 36 37 38
Tessvane.dll by ordinal: 1"
[ "${product%$'\n'}" = "$expected_product" ] || fail "product imports:
$product
expected:
$expected_product"
imports=$(printf '%s\n' "${!named[@]}")
runtime=$(grep -iE '^(libstdc\+\+|libgcc|libwinpthread|mingwm)' <<<"$imports")
[ -z "$runtime" ] || fail "imports a compiler runtime: $runtime"

# Resources: templates 102, 103, 131 and 132, the version and the manifest.
if ! resources=$(diff <("$windres" -i "$dll" -O rc) "$here/Setting.resources.rc"); then
    fail "resources differ from Setting.resources.rc:
$resources"
fi

[ $status -eq 0 ] && echo "Setting.dll ($arch): export, imports and resources as expected"
exit $status
