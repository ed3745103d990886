#!/usr/bin/env bash
# The release archive of one Windows build ($1: win64 or win32), as a person
# meets it: it holds what the program needs and nothing that only tests use,
# needs no MinGW runtime DLL, and once unpacked into "C:\Program Files" of a
# fresh Wine prefix it starts and runs a press of the simulated serial receiver.
set -uo pipefail
arch=${1:?usage: release_archive_test.sh win64|win32}
root=${VEXA_SOURCE:?}
build=$root/build/$arch
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; exit 1; }
version=$(sed -n 's/^#define VEXA_VERSION_TEXT "\(.*\)"/\1/p' "$build/vexa/shell/vexa_version.h")
archive=$work/out/vexa-$version-$arch.zip
[ -f "$archive" ] || { ls "$work/out"; fail "no $archive"; exit 1; }
listing=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$archive")

# Every entry lies in the one folder "Vexa".
outside=$(grep -v '^Vexa/' <<<"$listing")
[ -z "$outside" ] && grep -q '^Vexa/' <<<"$listing" || fail "entries outside Vexa/: $outside"
for needed in vexa.exe vk.key tapmod.dll vexanet.dll hwport.dll README.txt LICENSE.txt devices/serial.dll \
              devices/irbox.dll devices/carrio.dll devices/lirc.dll devices/padrem.dll devices/tunerbox.dll \
              "presets/Sample Preset.vcp" "presets/Sample Preset.vdp" apps/ help/ winamp/gen_vexa.dll; do
  grep -qxF "Vexa/$needed" <<<"$listing" || fail "Vexa/$needed is missing"
done
# Test programs, probes, simulators, import libraries and drivers stay out.
test_only=$(grep -iE 'test|probe|fake|sim|record|marker|vwindow|\.a$|\.lib$|\.sys$|\.pdb$' <<<"$listing")
[ -z "$test_only" ] || fail "test-only files in the archive: $test_only"

mkdir -p "$work/prefix/drive_c/Program Files"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
  "$archive" "$work/prefix/drive_c/Program Files"
folder="$work/prefix/drive_c/Program Files/Vexa"

# Linked statically: no MinGW runtime needed beside the program.
case $arch in win64) objdump=x86_64-w64-mingw32-objdump ;; *) objdump=i686-w64-mingw32-objdump ;; esac
while IFS= read -r -d '' module; do
  runtime=$("$objdump" -p "$module" | grep -iE 'DLL Name: *(libgcc|libstdc|libwinpthread|libssp)')
  [ -z "$runtime" ] || fail "${module#"$folder"/} needs $runtime"
done < <(find "$folder" \( -name '*.exe' -o -name '*.dll' \) -print0)

# A fresh prefix, the program started from the unpacked folder, one press of "1"
# (the sample configuration starts Notepad on it).
out=$work/run.log
env -u DISPLAY VEXA_RUN_ARCH="$arch" VEXA_RUN_PREFIX="$work/prefix" VEXA_EXE="$folder/vexa.exe" \
  VEXA_RUN_KEYS=1 VEXA_RUN_KEY_GAP=3 timeout 240 "$root/scripts/run.sh" </dev/null >"$out" 2>&1
rc=$?
echo "--- the run printed:"
cat "$out"
[ "$rc" -eq 0 ] || fail "the run ended with $rc"
grep -q "^Pressed 1: .*Executed application notepad.exe" "$out" ||
  fail "the press of 1 did not run its command from the unpacked program"
[ "$failures" -eq 0 ] && echo "release archive $arch: all checks passed"
exit $((failures > 0))
