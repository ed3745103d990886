#!/usr/bin/env bash
# What the 32-bit images must be before any of them runs: i386 images, and plug-ins
# whose exports carry no stdcall decoration (the host looks them up by plain name).
set -euo pipefail
build=${1:-build/win32}
# The build's own images: the Wine prefix of an earlier test run holds Wine's, in folders with blanks.
images=()
while IFS= read -r -d '' f; do images+=("$f"); done < <(
  find "$build" -path '*/wineprefix*' -prune -o \( -name '*.exe' -o -name '*.dll' \) -print0)
count=${#images[@]}
[ "$count" -gt 0 ] || { echo "win32: nothing was built in $build" >&2; exit 1; }
for f in "${images[@]}"; do
  i686-w64-mingw32-objdump -f "$f" | grep -q 'file format pei-i386' || { echo "win32: $f is not a 32-bit image" >&2; exit 1; }
done
# Plug-ins are looked up by plain export names: none may carry a stdcall
# decoration, and each exports exactly what its .def names.
export_table() {
  i686-w64-mingw32-objdump -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p'
}
check_exports() {
  local dll=$1; shift
  local table
  table=$(export_table "$dll")
  for name in "$@"; do
    grep -q "\] $name\$" <<<"$table" || { echo "win32: $dll does not export $name" >&2; exit 1; }
  done
  ! grep -q '@' <<<"$table" || { echo "win32: $dll has decorated exports" >&2; exit 1; }
}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
for def in "$root"/plugins/*/win/*.def; do
  plugin=$(basename "$def" .def)
  wanted=$(sed -n '/^EXPORTS/,$p' "$def" | tail -n +2 | awk 'NF {print $1}' | sort)
  dlls=$(find "$build" -path "$build/wineprefix" -prune -o -name "$plugin.dll" -print)
  [ -n "$dlls" ] || { echo "win32: plug-in $plugin.dll was not built" >&2; exit 1; }
  for dll in $dlls; do
    # shellcheck disable=SC2086
    check_exports "$dll" $wanted
    exported=$(export_table "$dll" | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort)
    [ "$exported" = "$wanted" ] || { echo "win32: $dll exports $(echo $exported), not $(echo $wanted)" >&2; exit 1; }
  done
done
# The outside modules' stand-ins are looked up by plain names too.
for dll in $(find "$build" -path "$build/wineprefix" -prune -o -path '*/modules/*' -name '*.dll' -print); do
  case $(basename "$dll") in
    vexanet.dll) check_exports "$dll" SetOptions StartServer SendCommand StopServer ;;
    tapmod.dll) check_exports "$dll" InstallHook UnHook InstallMouseHook UnHookMouse InstallMsgHook InstallWndProcHook UnHookMsg ;;
    gen_vexa.dll) check_exports "$dll" VexaInit VexaConfig WinAmpQuit ;;
  esac
done
# The hardware-access library: exactly its exports, plain names, ordinal 3 left empty.
hwport_exports=(ReadPort ReadPortW ReadPortL WritePort WritePortW WritePortL MemMap MemUnmap MemRead MemWrite
                MemMapEx MemAlloc MemFree pciGetCommonConfig pciGetHardwareResources)
for dll in $(find "$build" -path "$build/wineprefix" -prune -o -name hwport.dll -print); do
  check_exports "$dll" "${hwport_exports[@]}"
  dump=$(i686-w64-mingw32-objdump -p "$dll")
  names=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | grep -cE '^\s*\[ *[0-9]+\] ')
  [ "$names" -eq "${#hwport_exports[@]}" ] || { echo "win32: $dll exports $names names" >&2; exit 1; }
  slots=$(sed -n '/^Export Address Table -- Ordinal Base 1$/,/^$/p' <<<"$dump")
  grep -q '+base\[  16\]' <<<"$slots" && ! grep -q '+base\[   3\]' <<<"$slots" ||
    { echo "win32: $dll does not leave ordinal 3 empty" >&2; exit 1; }
done
# Every module we ship names its version (the error log quotes it); test programs need none.
for module in vexa/shell/vexa.exe vexa/shell/devices/serial.dll vexa/shell/devices/irbox.dll \
              vexa/shell/devices/carrio.dll vexa/shell/devices/lirc.dll vexa/shell/devices/padrem.dll \
              vexa/shell/devices/tunerbox.dll \
              vexa/shell/vexanet.dll vexa/shell/tapmod.dll vexa/shell/hwport.dll \
              modules/gen_vexa/gen_vexa.dll tools/vexacfg/vexacfg.exe tools/vwindow/vwindow.exe; do
  [ -f "$build/$module" ] || { echo "win32: $module was not built" >&2; exit 1; }
  texts=$(strings -el "$build/$module")
  for text in VS_VERSION_INFO 040904b0 FileVersion; do
    grep -qx "$text" <<<"$texts" || { echo "win32: $module has no $text in its version resource" >&2; exit 1; }
  done
done
echo "win32: $count images built, all i386, shipped modules with version resources"
