#!/usr/bin/env bash
# voltara live as a player meets it: jackd's dummy driver at 48 kHz with
# 64-frame periods (1.33 ms), all eight modules on, jack_simple_client's
# sine at both inputs. Prints the DSP load of the rack's process callback
# (mean and peak share of the period) and the xruns the server reported over
# SECONDS of playing (default 600; none expected).
# Usage: bash bench/jack-live.sh [BUILD_DIR] [SECONDS]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
[[ $build = /* ]] || build=$root/$build
seconds=${2:-600}
for program in jackd jack_wait jack_connect jack_simple_client; do
    command -v "$program" > /dev/null || { echo "jack-live: $program is not installed (apt-get install jackd2)" >&2; exit 1; }
done

work=$(mktemp -d)
server=voltara-bench-$$
export JACK_DEFAULT_SERVER=$server JACK_NO_START_SERVER=1 JACK_NO_AUDIO_RESERVATION=1 XDG_CONFIG_HOME=$work/config
pids=()
stop_all() { # the clients first, then the server, which then leaves JACK's table of servers
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2> /dev/null || true
        wait "${pids[i]}" 2> /dev/null || true
    done
    rm -rf "$work"
}
trap stop_all EXIT

jackd -n "$server" -d dummy -r 48000 -p 64 -w 1333 > "$work/jackd.log" 2>&1 &
pids+=($!)
jack_wait -w -t 20 > /dev/null 2>&1
"$build/voltara" live --no-window --fresh --name rack --program 29 \
    --set 8=1 --set 16=1 --set 24=1 --set 32=1 --set 40=1 --set 48=1 --set 56=1 --set 64=1 2> "$work/live.log" &
live=$!
pids+=($live)
jack_simple_client > /dev/null 2>&1 &
pids+=($!)
connected=
for _ in $(seq 100); do
    if jack_connect jack_simple_client:output1 rack:in_left 2> /dev/null \
        && jack_connect jack_simple_client:output2 rack:in_right 2> /dev/null; then
        connected=yes
        break
    fi
    sleep 0.1
done
[[ $connected ]] || { echo "jack-live: cannot connect the sine to the rack" >&2; exit 1; }
echo "jack-live: playing $seconds s at 48000 Hz, 64 frames a period, all eight modules on"
sleep "$seconds"
kill -INT "$live" 2> /dev/null || { cat "$work/live.log" >&2; exit 1; }
wait "$live" || true
grep -E "after|xrun" "$work/live.log" | sed 's/^voltara live: /jack-live: /'
