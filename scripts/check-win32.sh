#!/usr/bin/env bash
# What the 32-bit images must be before any of them runs: i386 images, and plug-ins
# whose exports carry no stdcall decoration (the host looks them up by plain name).
set -euo pipefail
build=${1:-build/win32}
# Our images only: the Wine prefixes beside them hold Wine's own (in folders with blanks).
images() { find "$build" -path '*/wineprefix*' -prune -o \( -name '*.exe' -o -name '*.dll' \) -print; }
count=$(images | wc -l)
[ "$count" -gt 0 ] || { echo "win32: nothing was built in $build" >&2; exit 1; }
while IFS= read -r f; do
  i686-w64-mingw32-objdump -f "$f" | grep -q 'file format pei-i386' || { echo "win32: $f is not a 32-bit image" >&2; exit 1; }
done < <(images)
# Plug-ins are looked up by plain export names: none may carry a stdcall decoration.
check_exports() {
  local dll=$1; shift
  local table
  table=$(i686-w64-mingw32-objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
  for name in "$@"; do
    grep -q "\] $name\$" <<<"$table" || { echo "win32: $dll does not export $name" >&2; exit 1; }
  done
  ! grep -q '@' <<<"$table" || { echo "win32: $dll has decorated exports" >&2; exit 1; }
}
for dll in $(find "$build" -name serial.dll); do
  check_exports "$dll" DeviceInfo OnInit OnRelease MonitorDevice OnAbout OnWriteConfig OnReadConfig \
    OnFillSelector OnSetup OnChangeDevice
done
echo "win32: $count images built, all i386"
