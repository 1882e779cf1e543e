#!/usr/bin/env bash
# The plug-in's own UI in a real host, as a user meets it: jalv.gtk3 (Debian's
# jalv) with the build's bundle, on an X server and a JACK server (dummy
# backend) of this check's own, each on a name no other run uses, stopped at
# the end. The editor shows in jalv's window, exactly as `voltara editor`
# renders the same state (the lamps aside: the rack runs in jalv, so they
# blink); a click on a module's button switches the module on, and its lamp
# output moves (jalv --print-controls); jalv closed while a knob is held ends
# cleanly.
# Usage: check-jalv.sh SOURCE_DIR BUILD_DIR SCRATCH_DIR
set -euo pipefail

source_dir=$1
build_dir=$2
scratch=$3
rm -rf "$scratch"
mkdir -p "$scratch"
fail() { echo "FAILED: $*"; cat "$scratch"/*.log 2>/dev/null | tail -n 40; exit 1; }

pids=()
stop_all() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap stop_all EXIT

# An X server on a display number it picks itself.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3> "$scratch/display" 2> "$scratch/xvfb.log" &
pids+=($!)
for _ in $(seq 200); do [[ -s $scratch/display ]] && break; sleep 0.1; done
[[ -s $scratch/display ]] || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$scratch/display")

# A JACK server of this run's own name; no client may start one elsewhere.
export JACK_DEFAULT_SERVER=voltara-check-$$-$RANDOM JACK_NO_START_SERVER=1
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 > "$scratch/jackd.log" 2>&1 &
pids+=($!)
timeout 20 jack_wait -w > /dev/null || fail "jackd did not start"

export LV2_PATH=$build_dir/lv2-bundles VOLTARA_REGISTRY=$scratch/registry
"$build_dir/voltara" content set "$source_dir/content" > /dev/null

jalv.gtk3 --print-controls urn:brenmark:axewright-voltara-fx > "$scratch/jalv.out" 2> "$scratch/jalv.log" &
jalv=$!
pids+=($jalv)
editor=$(timeout 30 xdotool search --sync --class '^voltara$' | head -n 1) || fail "jalv shows no editor"
sleep 1.5 # painted by then, and the lamps have run

# What jalv shows against the same state rendered by voltara editor (factory
# program 0, as jalv starts), the six lamps masked in both.
import -window "$editor" "$scratch/jalv.png"
"$build_dir/voltara" editor --program 0 --play 0 "$scratch/voltara.png" > /dev/null
lamps=(-fill black -draw "rectangle 166,287 173,294" -draw "rectangle 281,287 288,294"
       -draw "rectangle 401,287 408,294" -draw "rectangle 516,287 523,294"
       -draw "rectangle 401,139 408,146" -draw "rectangle 115,78 119,82")
convert "$scratch/jalv.png" "${lamps[@]}" "$scratch/jalv-masked.png"
convert "$scratch/voltara.png" "${lamps[@]}" "$scratch/voltara-masked.png"
differing=$(compare -metric AE "$scratch/jalv-masked.png" "$scratch/voltara-masked.png" "$scratch/difference.png" 2>&1 || true)
[[ $differing == 0 ]] || fail "jalv's editor differs from voltara editor's rendering in $differing pixels (see $scratch)"

# The phaser's on button: the rack runs the phaser, its lamp output moves.
grep -q 'phs_lamp = [1-9]' "$scratch/jalv.out" && fail "the phaser's lamp ran before it was switched on"
xdotool mousemove --window "$editor" 300 290 click 1 sleep 2
grep -q 'phs_lamp = [1-9]' "$scratch/jalv.out" || fail "the phaser's lamp output did not move after the click"

# Closed while a knob is held: jalv asked to quit mid-drag, the button let go after.
xdotool mousemove --window "$editor" 276 199 mousedown 1 sleep 0.2 mousemove --window "$editor" 276 150 sleep 0.2
kill -INT "$jalv"
sleep 0.5
xdotool mouseup 1 || true
status=0
timeout 20 tail --pid="$jalv" -f /dev/null || fail "jalv did not end"
wait "$jalv" || status=$?
[[ $status -lt 128 ]] || fail "jalv ended by signal $((status - 128))"
echo "jalv: 3 passed, 0 failed"
