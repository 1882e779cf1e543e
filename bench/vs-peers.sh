#!/usr/bin/env bash
# Times the rack against sox on the same 60-second stereo input: phaser,
# flanger, chorus, delay, reverb and tremolo in both, then all eight modules
# of the rack. Prints throughputs as multiples of real time (per CPU second).
# Usage: bash bench/vs-peers.sh [BUILD_DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
[[ $build = /* ]] || build=$root/$build
voltara=$build/voltara
command -v sox > /dev/null || { echo "vs-peers: sox is not installed (apt-get install sox)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seconds=60
runs=3

# The demo phrase, repeated to a minute of 32-bit float stereo.
"$voltara" process --demo "$work/phrase.wav" --set 0=1 --tail 0
sox -V1 "$work/phrase.wav" "$work/input.wav" repeat 6 trim 0 "$seconds"

# CPU seconds (user + system) rather than wall time, so that other work on a
# shared machine does not count against either side.
best_time() { # COMMAND...: the fastest of a few runs
    local best= spent
    for _ in $(seq "$runs"); do
        spent=$( { TIMEFORMAT='%3U %3S'; time "$@" > /dev/null; } 2>&1 | tail -n 1)
        best=$(awk -v t="$spent" -v b="$best" \
            'BEGIN { split(t, p, " "); t = p[1] + p[2]; if (b == "" || t < b) b = t; print b }')
    done
    echo "$best"
}

six=(--set 24=1 --set 32=1 --set 40=1 --set 48=1 --set 56=1 --set 64=1)
eight=("${six[@]}" --set 8=1 --set 16=1)
rack=$(best_time "$voltara" process "$work/input.wav" "$work/rack.wav" --tail 0 "${six[@]}")
peer=$(best_time sox -V1 "$work/input.wav" "$work/sox.wav" \
    phaser 0.8 0.74 3 0.4 0.5 -t flanger chorus 0.7 0.9 55 0.4 0.25 2 -t \
    echo 0.8 0.88 350 0.4 reverb 50 tremolo 5 40)
all=$(best_time "$voltara" process "$work/input.wav" "$work/all.wav" --tail 0 "${eight[@]}")

divide() { awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'; }
printf 'input: %d s of 44.1 kHz stereo float; CPU time, best of %d runs\n' "$seconds" "$runs"
printf 'voltara (6 effects): %7.3f s  %8.1f x real time\n' "$rack" "$(divide "$seconds" "$rack")"
printf 'sox     (6 effects): %7.3f s  %8.1f x real time\n' "$peer" "$(divide "$seconds" "$peer")"
printf 'voltara / sox:       %7.2f x\n' "$(divide "$peer" "$rack")"
printf 'voltara (all 8 on):  %7.3f s  %8.1f x real time\n' "$all" "$(divide "$seconds" "$all")"
