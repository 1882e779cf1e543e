#!/bin/bash
# Runs the Windows builds of the plug-in against the real Windows API under
# Wine: the Linux build prepares inputs and the results Windows must match,
# the Windows test host (tests/windows) loads the DLL as an audio host does
# and checks it. The x86_64 build always runs; the shipped i686 build runs
# too where this machine can start 32-bit programs, else it is only built and
# its exports, imports and resources checked. Then the installer in OUT_DIR
# (make release), which is a 32-bit program, where it can run.
# Usage: test-windows.sh NATIVE_BUILD WIN64_BUILD WIN32_BUILD OUT_DIR
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
native=$(cd "$1" && pwd)
win64=$(cd "$2" && pwd)
win32=$(cd "$3" && pwd)
mkdir -p "$4"
out=$(cd "$4" && pwd)
scripts=$source_dir/tests/scripts
work=$win64/windows-check
rm -rf "$work"
mkdir -p "$work"

# Wine's drive Z: is the Linux root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The Linux side: the plug-in finds the same content folder through its
# registry store.
registry=$work/registry
key="$registry/HKEY_LOCAL_MACHINE/Software/Brenmark/Axewright Voltara"
mkdir -p "$key"
printf '%s' "$source_dir/content" > "$key/Install Path"
voltara() { VOLTARA_REGISTRY=$registry "$native/voltara" "$@"; }

voltara info | sed -n 's/^ *[0-9]*[ *] "\(.*\)"$/\1/p' > "$work/programs.txt"

# Audio: a plucked two-note input at two rates, run through the rack on Linux.
sox -n -r 44100 -c 2 -b 32 -e floating-point "$work/in-44100.wav" synth 2 pluck A2 pluck E3 gain -3
sox -n -r 48000 -c 2 -b 32 -e floating-point "$work/in-48000.wav" synth 2 pluck D3 pluck A3 gain -3
plan=$work/plan.txt
{
    printf 'content\t%s\n' "$(windows_path "$source_dir/content")"
    printf 'programs\tprograms.txt\n'
    printf 'bitmaps\t%s\n' "$(windows_path "$source_dir/resources/bitmaps")"
} > "$plan"
# name, rate, frames per call, tempo, program, parameter values on top. The
# delay's flutter (55) draws from the C library's random numbers, which
# differ between systems, so it stays at 0.
while IFS=' ' read -r name rate block tempo program values; do
    sets=()
    for pair in ${values//,/ }; do
        sets+=(--set "$pair")
    done
    voltara process "$work/in-$rate.wav" "$work/expected-$name.wav" --program "$program" --block "$block" \
        --tempo "$tempo" --tail 0.5 "${sets[@]}"
    printf 'audio\t%s\tin-%s.wav\texpected-%s.wav\t%s\t%s\t%s\t%s\n' "$name" "$rate" "$name" "$block" "$tempo" \
        "$program" "$values" >> "$plan"
done <<'CASES'
modulation 44100 512 120 31 24=1,32=1,40=1,64=1,65=1
wah-filter-plate 48000 333 97 31 8=1,9=1,16=1,56=1,58=0.5,63=1
ping-pong-hall 44100 64 140 7 55=0,56=1,58=1
slow-phaser 48000 1024 120 3
CASES

# Kestrelwave: wave files encoded on Linux, one with a chunk after the samples.
append_chunk() { # FILE ID TEXT (of even length)
    local file=$1 size=${#3}
    printf '%s' "$2" >> "$file"
    printf "\\x$(printf %02x $((size & 255)))\\x$(printf %02x $((size >> 8 & 255)))\\x00\\x00" >> "$file"
    printf '%s' "$3" >> "$file"
    local riff=$(($(stat -c %s "$file") - 8))
    printf "\\x$(printf %02x $((riff & 255)))\\x$(printf %02x $((riff >> 8 & 255)))\\x$(printf %02x $((riff >> 16 & 255)))\\x$(printf %02x $((riff >> 24 & 255)))" |
        dd of="$file" bs=1 seek=4 conv=notrunc status=none
}
sox -n -r 44100 -c 2 -b 16 "$work/stereo16.wav" synth 3 pluck A2 pluck E3
append_chunk "$work/stereo16.wav" note "Voltara on Windows"
sox -n -r 48000 -c 1 -b 24 "$work/mono24.wav" synth 2 pluck G2
for name in stereo16 mono24; do
    voltara kfr encode "$work/$name.wav" "$work/$name.kfr"
    printf 'kfr\t%s\t%s.wav\t%s.kfr\n' "$name" "$name" "$name" >> "$plan"
done

# The editor: the script played on Linux, what it changed there (index=value)
# and what it changed in edits, for the Windows host to match; the capture
# comes back to be compared with the Linux rendering of the same state.
editor_program=31
cp "$source_dir/tests/windows/editor.script" "$work/editor.script"
voltara editor "$work/linux-editor.png" --program $editor_program --play 0 --script "$work/editor.script" \
    > "$work/linux-editor.txt"
changes=$(sed -n '/^parameters changed:/,/^host calls:/s/^ *\([0-9][0-9]*\) .* -> \([-0-9.]*\) .*/\1=\2/p' \
    "$work/linux-editor.txt" | paste -sd, -)
edited=$(sed -n 's/^ *begin edit *\([0-9][0-9]*\) .*/\1/p' "$work/linux-editor.txt" | sort -un | paste -sd, -)
printf 'editor\teditor.script\twindows-editor.bmp\t%s\t%s\t%s\n' $editor_program "$changes" "$edited" >> "$plan"

# A bank for the editor's bank button (at 526, 89): the factory programs in
# reverse order, and their names as the Linux build loads them.
awk '/^program [0-9]+ /{ $2 = 31 - $2 } 1' "$source_dir/content/Presets/Default.bank.txt" > "$work/reversed.bank.txt"
voltara bank build "$work/reversed.bank.txt" "$work/reversed.fxb"
voltara info --bank "$work/reversed.fxb" | sed -n 's/^ *[0-9]*[ *] "\(.*\)"$/\1/p' > "$work/reversed-programs.txt"
printf 'bank\treversed.fxb\treversed-programs.txt\t526\t89\n' >> "$plan"

compare_editor() { # ARCHITECTURE
    cp "$work/windows-editor.bmp" "$out/windows-editor-$1.bmp"
    "$native/voltara_capture_compare" "$work/linux-editor.png" "$out/windows-editor-$1.bmp" \
        "$out/windows-editor-$1-comparison.png"
}

run_host() { # LOADER PREFIX BUILD
    xvfb-run -a -s "-screen 0 1280x1024x24" "$scripts/run-under-wine.sh" "$1" "$2" "$3/voltara_winhost.exe" \
        "$(windows_path "$3/voltara_fx.dll")" "$(windows_path "$plan")"
}

status=0
echo "== x86_64 Windows build ($win64) under Wine"
run_host /usr/lib/wine/wine64 "$win64/wine-prefix" "$win64" && compare_editor x86_64 || status=1

echo "== i686 Windows build ($win32): exports, imports and resources"
"$scripts/check-win32-exports.sh" "$win32/voltara_fx.dll" || status=1
"$scripts/check-win32-resources.sh" "$win32/voltara_fx.dll" "$source_dir/resources/bitmaps" || status=1
if "$scripts/runs-32bit.sh"; then
    ran_i686="ran under Wine"
    echo "== i686 Windows build ($win32) under Wine"
    WINEARCH=win32 run_host /usr/lib/wine/wine "$win32/wine-prefix" "$win32" && compare_editor i686 || status=1
else
    ran_i686="built and checked, not run: this machine cannot start 32-bit programs"
fi

setup=$out/VoltaraSetup-$("$source_dir/installer/build.sh" --version).exe
if "$scripts/runs-32bit.sh"; then
    ran_setup="ran under Wine"
    "$scripts/check-windows-installer.sh" "$setup" "$win32" "$win64" "$work" || status=1
else
    ran_setup="built, not run: this machine cannot start 32-bit programs"
fi

echo "== builds: x86_64 (build-win64) ran under Wine; i686 (build-win32) $ran_i686; installer $ran_setup"
[ $status -eq 0 ] && echo "test-windows: passed" || echo "test-windows: FAILED"
exit $status
