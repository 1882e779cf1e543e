#!/usr/bin/env bash
# Kestrelwave against FLAC on the same generated wave files, in one run:
# encode and decode throughput of `voltara kfr` and of `flac -5` / `flac -d`,
# and the compressed size of each. Goals: decoding at least as fast as flac -d,
# encoding at least half as fast as flac -5. The ratio is information only.
#
# usage: bench/kfr-vs-flac.sh [BUILD_DIR] [SECONDS_PER_FILE]
set -euo pipefail

build=${1:-build}
seconds=${2:-30}
voltara=$(cd "$build" && pwd)/voltara
repeats=3
for tool in sox flac "$voltara"; do
    command -v "$tool" > /dev/null || { echo "missing: $tool" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The corpus: a strummed, slightly driven guitar-like chord pattern, pink noise
# and a mix of the two, at 16 and 24 bits, mono and stereo, 44.1 kHz.
make_guitar() { # channels bits out
    sox -q -n -r 44100 -c "$1" -b "$2" "$3" synth 2 pluck A2 pluck E3 pluck A3 pluck C#4 \
        overdrive 8 gain -n -3 fade q 0.005 2 0.3 repeat $((seconds / 2 - 1))
}
make_noise() {
    sox -q -n -r 44100 -c "$1" -b "$2" "$3" synth "$seconds" pinknoise vol 0.3
}
make_mix() {
    make_guitar "$1" "$2" g.wav
    make_noise "$1" "$2" n.wav
    sox -q -m -v 0.8 g.wav -v 0.1 n.wav -b "$2" "$3"
    rm -f g.wav n.wav
}
mkdir corpus
make_guitar 2 16 corpus/guitar-16-stereo.wav
make_guitar 1 24 corpus/guitar-24-mono.wav
make_noise 2 16 corpus/noise-16-stereo.wav
make_noise 1 24 corpus/noise-24-mono.wav
make_mix 1 16 corpus/mix-16-mono.wav
make_mix 2 24 corpus/mix-24-stereo.wav
files=(corpus/*.wav)
total_wav=$(cat "${files[@]}" | wc -c)

# Best of $repeats runs of "$@" on every file: "cpu wall" seconds, where cpu
# is user + system time of the processes (steady on a machine shared with
# other work), wall the elapsed time.
best_time() {
    local best_cpu="" best_wall=""
    for ((r = 0; r < repeats; ++r)); do
        /usr/bin/time -f '%U %S %e' -o times bash -c 'for f in "${@:2}"; do "$1" "$f"; done' _ "$@" "${files[@]}"
        read -r user system wall < times
        best_cpu=$(awk -v a="$user" -v b="$system" -v best="$best_cpu" 'BEGIN { t = a + b; print (best == "" || t < best) ? t : best }')
        best_wall=$(awk -v t="$wall" -v best="$best_wall" 'BEGIN { print (best == "" || t < best) ? t : best }')
    done
    echo "$best_cpu $best_wall"
}
kfr_encode() { "$voltara" kfr encode "$1" "${1%.wav}.kfr"; }
kfr_decode() { "$voltara" kfr decode "${1%.wav}.kfr" "${1%.wav}.kfr.wav"; }
flac_encode() { flac -5 -s -f -o "${1%.wav}.flac" "$1" 2> /dev/null; }
flac_decode() { flac -d -s -f -o "${1%.wav}.flac.wav" "${1%.wav}.flac" 2> /dev/null; }
export voltara
export -f kfr_encode kfr_decode flac_encode flac_decode

kfr_enc=$(best_time kfr_encode)
kfr_dec=$(best_time kfr_decode)
flac_enc=$(best_time flac_encode)
flac_dec=$(best_time flac_decode)

for f in "${files[@]}"; do
    cmp -s "$f" "${f%.wav}.kfr.wav" || { echo "kfr round trip differs: $f" >&2; exit 1; }
    # flac drops chunks it does not know (sox's "fact"): compare its samples only.
    cmp -s <(sox "$f" -t raw -) <(sox "${f%.wav}.flac.wav" -t raw -) || { echo "flac samples differ: $f" >&2; exit 1; }
done

echo "corpus: ${#files[@]} generated wave files, ${seconds} s each at 44.1 kHz, $total_wav bytes; best of $repeats runs"
echo
printf '%-24s %12s %12s %8s %12s %8s\n' file "wave bytes" "kfr bytes" ratio "flac bytes" ratio
for f in "${files[@]}"; do
    w=$(wc -c < "$f"); k=$(wc -c < "${f%.wav}.kfr"); l=$(wc -c < "${f%.wav}.flac")
    printf '%-24s %12d %12d %8.4f %12d %8.4f\n' "$(basename "$f")" "$w" "$k" "$(echo "$k $w" | awk '{print $1/$2}')" \
        "$l" "$(echo "$l $w" | awk '{print $1/$2}')"
done
total_kfr=$(cat corpus/*.kfr | wc -c)
total_flac=$(cat corpus/*.flac | wc -c)
printf '%-24s %12d %12d %8.4f %12d %8.4f\n' total "$total_wav" "$total_kfr" \
    "$(echo "$total_kfr $total_wav" | awk '{print $1/$2}')" "$total_flac" "$(echo "$total_flac $total_wav" | awk '{print $1/$2}')"
echo
rate() { echo "$total_wav $1" | awk '{ printf "%8.1f", $1 / $2 / 1e6 }'; }
read -r kec kew <<< "$kfr_enc"
read -r kdc kdw <<< "$kfr_dec"
read -r fec few <<< "$flac_enc"
read -r fdc fdw <<< "$flac_dec"
echo "throughput in MB of wave file per second, process start and file I/O included"
printf '%-8s %12s %12s %12s %12s\n' "" "encode cpu" "decode cpu" "encode wall" "decode wall"
printf '%-8s %12s %12s %12s %12s\n' kfr "$(rate "$kec")" "$(rate "$kdc")" "$(rate "$kew")" "$(rate "$kdw")"
printf '%-8s %12s %12s %12s %12s\n' flac "$(rate "$fec")" "$(rate "$fdc")" "$(rate "$few")" "$(rate "$fdw")"
echo
awk -v ke="$kec" -v kd="$kdc" -v fe="$fec" -v fd="$fdc" 'BEGIN {
    printf "decode: kfr is %.2fx as fast as flac -d (cpu; goal: at least 1x)   %s\n", fd / kd, (fd / kd >= 1 ? "met" : "MISSED")
    printf "encode: kfr is %.2fx as fast as flac -5 (cpu; goal: at least 0.5x) %s\n", fe / ke, (fe / ke >= 0.5 ? "met" : "MISSED")
}'
