#!/usr/bin/env bash
# Kestrelwave against FLAC on the same generated wave files, in one run:
# encode and decode throughput of `voltara kfr` and of `flac -5` / `flac -d`,
# and the compressed size of each, on two sets: the corpus (guitar-like
# chords, pink noise and a mix of the two, 16 and 24 bits, mono and stereo,
# 44.1 kHz) and a 24-bit 96 kHz stereo file. Goals on each set: encoding at
# least 1.5x as fast as flac -5, decoding at least 2.5x as fast as flac -d.
# Every file must come back from each codec with its samples, and from
# Kestrelwave byte for byte; given a second build folder (another revision,
# such as main), its encoder must write the same bytes. The ratios are
# information only.
#
# usage: bench/kfr-vs-flac.sh [BUILD_DIR] [SECONDS_PER_FILE] [BASELINE_BUILD_DIR]
set -euo pipefail

build=${1:-build}
seconds=${2:-30}
voltara=$(cd "$build" && pwd)/voltara
baseline=${3:+$(cd "$3" && pwd)/voltara}
repeats=5
for tool in sox flac "$voltara" ${baseline:+"$baseline"}; do
    command -v "$tool" > /dev/null || { echo "missing: $tool" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

make_guitar() { # rate channels bits out
    sox -q -n -r "$1" -c "$2" -b "$3" "$4" synth 2 pluck A2 pluck E3 pluck A3 pluck C#4 \
        overdrive 8 gain -n -3 fade q 0.005 2 0.3 repeat $((seconds / 2 - 1))
}
make_noise() {
    sox -q -n -r "$1" -c "$2" -b "$3" "$4" synth "$seconds" pinknoise vol 0.3
}
make_mix() {
    make_guitar "$1" "$2" "$3" g.wav
    make_noise "$1" "$2" "$3" n.wav
    sox -q -m -v 0.8 g.wav -v 0.1 n.wav -b "$3" "$4"
    rm -f g.wav n.wav
}
mkdir corpus hires
make_guitar 44100 2 16 corpus/guitar-16-stereo.wav
make_guitar 44100 1 24 corpus/guitar-24-mono.wav
make_noise 44100 2 16 corpus/noise-16-stereo.wav
make_noise 44100 1 24 corpus/noise-24-mono.wav
make_mix 44100 1 16 corpus/mix-16-mono.wav
make_mix 44100 2 24 corpus/mix-24-stereo.wav
make_mix 96000 2 24 hires/mix-24-stereo-96k.wav

# Best of $repeats runs of a command on every file of a set: "cpu wall"
# seconds, where cpu is user + system time of the processes (steady on a
# machine shared with other work), wall the elapsed time.
best_time() { # COMMAND FILE...
    local best_cpu="" best_wall="" spent user system wall
    for ((r = 0; r < repeats; ++r)); do
        spent=$( { TIMEFORMAT='%3U %3S %3R'; time for f in "${@:2}"; do "$1" "$f"; done; } 2>&1)
        read -r user system wall <<< "$spent"
        best_cpu=$(awk -v a="$user" -v b="$system" -v best="$best_cpu" 'BEGIN { t = a + b; print (best == "" || t < best) ? t : best }')
        best_wall=$(awk -v t="$wall" -v best="$best_wall" 'BEGIN { print (best == "" || t < best) ? t : best }')
    done
    echo "$best_cpu $best_wall"
}
kfr_encode() { "$voltara" kfr encode "$1" "${1%.wav}.kfr"; }
kfr_decode() { "$voltara" kfr decode "${1%.wav}.kfr" "${1%.wav}.kfr.wav"; }
flac_encode() { flac -5 -s -f -o "${1%.wav}.flac" "$1" 2> /dev/null; }
flac_decode() { flac -d -s -f -o "${1%.wav}.flac.wav" "${1%.wav}.flac" 2> /dev/null; }

echo "$seconds s per file; throughput in MB of wave file per second, process start and file I/O included;" \
    "best of $repeats runs"
status=0
for set in corpus hires; do
    files=("$set"/*.wav)
    # The codecs take turns, so that a shared machine's load falls on both alike.
    kfr_enc=$(best_time kfr_encode "${files[@]}")
    flac_enc=$(best_time flac_encode "${files[@]}")
    kfr_dec=$(best_time kfr_decode "${files[@]}")
    flac_dec=$(best_time flac_decode "${files[@]}")

    for f in "${files[@]}"; do
        cmp -s "$f" "${f%.wav}.kfr.wav" || { echo "kfr round trip differs: $f" >&2; exit 1; }
        # flac drops chunks it does not know (sox's "fact"): compare its samples only.
        cmp -s <(sox "$f" -t raw -) <(sox "${f%.wav}.flac.wav" -t raw -) || { echo "flac samples differ: $f" >&2; exit 1; }
        if [[ -n $baseline ]]; then
            "$baseline" kfr encode "$f" "${f%.wav}.baseline.kfr"
            cmp -s "${f%.wav}.kfr" "${f%.wav}.baseline.kfr" || { echo "kfr bytes differ from the baseline's: $f" >&2; exit 1; }
        fi
    done

    echo
    printf '%-24s %12s %12s %8s %12s %8s\n' "$set" "wave bytes" "kfr bytes" ratio "flac bytes" ratio
    total_wav=0 total_kfr=0 total_flac=0
    for f in "${files[@]}"; do
        w=$(wc -c < "$f"); k=$(wc -c < "${f%.wav}.kfr"); l=$(wc -c < "${f%.wav}.flac")
        total_wav=$((total_wav + w)) total_kfr=$((total_kfr + k)) total_flac=$((total_flac + l))
        printf '%-24s %12d %12d %8.4f %12d %8.4f\n' "$(basename "$f")" "$w" "$k" "$(echo "$k $w" | awk '{print $1/$2}')" \
            "$l" "$(echo "$l $w" | awk '{print $1/$2}')"
    done
    printf '%-24s %12d %12d %8.4f %12d %8.4f\n' total "$total_wav" "$total_kfr" \
        "$(echo "$total_kfr $total_wav" | awk '{print $1/$2}')" "$total_flac" "$(echo "$total_flac $total_wav" | awk '{print $1/$2}')"
    rate() { echo "$total_wav $1" | awk '{ printf "%8.1f", $1 / $2 / 1e6 }'; }
    read -r kec kew <<< "$kfr_enc"
    read -r kdc kdw <<< "$kfr_dec"
    read -r fec few <<< "$flac_enc"
    read -r fdc fdw <<< "$flac_dec"
    printf '%-8s %12s %12s %12s %12s\n' "" "encode cpu" "decode cpu" "encode wall" "decode wall"
    printf '%-8s %12s %12s %12s %12s\n' kfr "$(rate "$kec")" "$(rate "$kdc")" "$(rate "$kew")" "$(rate "$kdw")"
    printf '%-8s %12s %12s %12s %12s\n' flac "$(rate "$fec")" "$(rate "$fdc")" "$(rate "$few")" "$(rate "$fdw")"
    verdicts=$(awk -v ke="$kec" -v kd="$kdc" -v fe="$fec" -v fd="$fdc" -v set="$set" 'BEGIN {
        printf "%s decode: kfr is %.2fx as fast as flac -d (cpu; goal: at least 2.5x) %s\n", set, fd / kd, (fd / kd >= 2.5 ? "met" : "MISSED")
        printf "%s encode: kfr is %.2fx as fast as flac -5 (cpu; goal: at least 1.5x) %s\n", set, fe / ke, (fe / ke >= 1.5 ? "met" : "MISSED")
    }')
    echo "$verdicts"
    grep -q MISSED <<< "$verdicts" && status=1
done
echo
[[ -n $baseline ]] && echo "kfr files byte for byte the same as the baseline's"
[[ $status = 0 ]] && echo "kfr-vs-flac: every goal met" || echo "kfr-vs-flac: goals MISSED (above)"
