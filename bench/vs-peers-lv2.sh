#!/usr/bin/env bash
# Each module of the rack against the peer plug-ins that do the same job
# (Debian's guitarix-lv2 and calf-plugins, installed when missing), all timed
# under lv2bench in one run: 60 s of stereo at 44.1 kHz in 512-frame blocks,
# every plug-in at its defaults, a mono peer counted twice (one instance per
# channel). Ours run as variants of the build's LV2 bundle, one per module,
# with that module alone switched on; two more have every module off and
# every module on. Prints nanoseconds per stereo frame and, per module, how
# many times faster it is than the fastest peer (goal: 3x). Given a second
# build folder (another revision built beside this one, such as main), it
# also times that build's rack with every module on and prints how many times
# faster this one is (goal: 1.5x), and each of its modules against the same
# fastest peer. The plug-ins take turns, round after round,
# so that the load of a shared machine falls on all alike; each one's best
# round counts.
#
# usage: bench/vs-peers-lv2.sh [BUILD_DIR] [BASELINE_BUILD_DIR]
#   RUNS: rounds (default 5)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
absolute() { [[ $1 = /* ]] && echo "$1" || echo "$root/$1"; }
build=$(absolute "${1:-build}")
baseline=${2:+$(absolute "$2")}
runs=${RUNS:-5}
frames=2646000 # 60 s at 44.1 kHz
block=512
uri=urn:brenmark:axewright-voltara-fx

# A build's bundle: in its folder of bundles, or (older revisions) beside the build.
bundle() {
    local b
    for b in "$1/lv2-bundles/voltara.lv2" "$1/voltara.lv2"; do
        [[ -f $b/manifest.ttl ]] && { echo "$b"; return; }
    done
    echo "vs-peers-lv2: no LV2 bundle in $1 (make native)" >&2
    exit 1
}
for b in "$build" ${baseline:+"$baseline"}; do
    bundle "$b" > /dev/null
done
command -v lv2bench > /dev/null || { echo "vs-peers-lv2: lv2bench is missing (apt-get install lilv-utils)" >&2; exit 1; }
missing=$(for p in guitarix-lv2 calf-plugins; do
    dpkg-query -W -f='${Status}\n' "$p" 2> /dev/null | grep -q 'install ok installed' || echo "$p"; done)
if [[ -n $missing ]]; then
    if [[ $(id -u) = 0 ]]; then
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
    else
        echo "vs-peers-lv2: missing peers; run as root: apt-get install -y" $missing >&2
        exit 1
    fi
fi

# The peers by job, as lv2ls names them.
gx=http://guitarix.sourceforge.net/plugins
calf=http://calf.sourceforge.net/plugins
declare -A peers=(
    [wah]="$gx/gxautowah#wah $gx/gx_colwah_#_colwah_"
    [filter]="$calf/EnvelopeFilter $gx/gxautowah#autowah"
    [phaser]="$gx/gx_phaser#_phaser $calf/Phaser"
    [flanger]="$gx/gx_flanger#_flanger $calf/Flanger"
    [chorus]="$gx/gx_chorus_stereo#_chorus_stereo $calf/MultiChorus"
    [delay]="$gx/gx_delay_stereo#_delay_stereo $gx/gx_echo_stereo#_echo_stereo $gx/gx_digital_delay_st_#_digital_delay_st_ $gx/gxtubedelay#tubedelay $calf/VintageDelay"
    [reverb]="$gx/gx_reverb_stereo#_reverb_stereo $gx/gx_zita_rev1_stereo#_zita_rev1_stereo $calf/Reverb"
    [tremolo]="$gx/gx_tremolo#_tremolo $gx/gx_switched_tremolo_#_switched_tremolo_ $gx/gxtubetremelo#tubetremelo $calf/Pulsator"
)
modules=(wah filter phaser flanger chorus delay reverb tremolo)
declare -A onPort=([wah]=wah_on [filter]=fil_on [phaser]=phs_on [flanger]=fla_on [chorus]=cho_on [delay]=del_on
    [reverb]=rev_on [tremolo]=trm_on)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A copy of a build's bundle in a folder of its own (LV2_PATH) whose on
# switches default to 1 for the given ports and 0 for the others; without its
# presets.
variant() { # NAME BUILD PORTS...
    local name=$1 from to=$work/$1/voltara.lv2
    from=$(bundle "$2")
    shift 2
    mkdir -p "$to"
    cp "$from"/*.so "$from/voltara.ttl" "$to/"
    awk 'BEGIN { RS = ""; ORS = "\n\n" } !/pset:Preset/' "$from/manifest.ttl" > "$to/manifest.ttl"
    awk -v on=" $* " '
        /lv2:symbol "[a-z]+_on"/ { match($0, /"[a-z]+_on"/); symbol = substr($0, RSTART + 1, RLENGTH - 2) }
        /lv2:default/ && symbol != "" {
            sub(/lv2:default [^ ;]+/, "lv2:default " (index(on, " " symbol " ") ? "1.0" : "0.0")); symbol = ""
        }
        { print }' "$from/voltara.ttl" > "$to/voltara.ttl"
}
for m in "${modules[@]}"; do
    variant "$m" "$build" "${onPort[$m]}"
done
variant none "$build"
variant all "$build" "${onPort[@]}"
if [[ -n $baseline ]]; then
    for m in "${modules[@]}"; do
        variant "baseline-$m" "$baseline" "${onPort[$m]}"
    done
    variant baseline-all "$baseline" "${onPort[@]}"
fi

# Stereo instances: two for a plug-in with one audio input.
declare -A instances
for m in "${modules[@]}"; do
    for p in ${peers[$m]}; do
        inputs=$(lv2info "$p" | awk '/^\tPort [0-9]+:/ { audio = input = 0 }
            /lv2core#AudioPort/ { audio = 1 } /lv2core#InputPort/ { input = 1 }
            /^\t\tSymbol:/ { if (audio && input) n++ } END { print n + 0 }')
        [[ $inputs -ge 1 ]] || { echo "vs-peers-lv2: $p has no audio input" >&2; exit 1; }
        instances[$p]=$(( inputs >= 2 ? 1 : 2 ))
    done
done

# lv2bench prints the seconds of run() calls for the whole input.
seconds() { # LV2_PATH URI
    LV2_PATH=$1 lv2bench -n "$frames" -b "$block" "$2" 2> /dev/null | awk -v u="$2" '$2 == u { print $1 }'
}
declare -A best
keep() { # KEY SECONDS
    [[ -n $2 ]] || { echo "vs-peers-lv2: lv2bench gave no time for $1" >&2; exit 1; }
    if [[ -z ${best[$1]:-} ]] || awk -v a="$2" -v b="${best[$1]}" 'BEGIN { exit !(a < b) }'; then
        best[$1]=$2
    fi
}
ours=("${modules[@]}" none all)
[[ -n $baseline ]] && ours+=("${modules[@]/#/baseline-}" baseline-all)
for ((r = 0; r < runs; ++r)); do
    for v in "${ours[@]}"; do
        keep "$v" "$(seconds "$work/$v" "$uri")"
    done
    for m in "${modules[@]}"; do
        for p in ${peers[$m]}; do
            keep "$p" "$(seconds /usr/lib/lv2 "$p")"
        done
    done
done

ns() { awk -v s="$1" -v n="${2:-1}" -v f="$frames" 'BEGIN { printf "%.2f", s * n * 1e9 / f }'; }
printf 'lv2bench, %d frames (60 s at 44.1 kHz) in blocks of %d, defaults; best of %d rounds\n' "$frames" "$block" "$runs"
printf 'ns per stereo frame (a mono peer counted twice)\n\n'
printf '%-8s %8s  %-60s %8s %8s' module voltara "fastest peer" peer "faster"
[[ -n $baseline ]] && printf '  %8s %8s' baseline "faster"
echo
status=0
for m in "${modules[@]}"; do
    mine=$(ns "${best[$m]}")
    fastest= fastestNs=
    for p in ${peers[$m]}; do
        t=$(ns "${best[$p]}" "${instances[$p]}")
        if [[ -z $fastest ]] || awk -v a="$t" -v b="$fastestNs" 'BEGIN { exit !(a < b) }'; then
            fastest=$p fastestNs=$t
        fi
    done
    ratio=$(awk -v a="$fastestNs" -v b="$mine" 'BEGIN { printf "%.2f", a / b }')
    verdict=$(awk -v r="$ratio" 'BEGIN { print (r >= 3 ? "met" : "MISSED") }')
    [[ $verdict = met ]] || status=1
    printf '%-8s %8s  %-60s %8s %7sx  %-6s' "$m" "$mine" \
        "${fastest#http://}$([[ ${instances[$fastest]} = 2 ]] && echo ' (x2)')" "$fastestNs" "$ratio" "$verdict"
    # The other build's module against the same peer.
    [[ -n $baseline ]] && printf '  %8s %7sx' "$(ns "${best[baseline-$m]}")" \
        "$(awk -v a="$fastestNs" -v b="$(ns "${best[baseline-$m]}")" 'BEGIN { printf "%.2f", a / b }')"
    echo
done
echo
printf '%-32s %8s\n' "voltara, every module off" "$(ns "${best[none]}")"
printf '%-32s %8s\n' "voltara, every module on" "$(ns "${best[all]}")"
if [[ -n $baseline ]]; then
    printf '%-32s %8s\n' "baseline, every module on" "$(ns "${best[baseline-all]}")"
    ratio=$(awk -v a="${best[baseline-all]}" -v b="${best[all]}" 'BEGIN { printf "%.2f", a / b }')
    verdict=$(awk -v r="$ratio" 'BEGIN { print (r >= 1.5 ? "met" : "MISSED") }')
    [[ $verdict = met ]] || status=1
    printf 'rack, every module on: %sx as fast as the baseline (goal: 1.5x)  %s\n' "$ratio" "$verdict"
fi
echo
echo "peers timed (ns per stereo frame):"
for m in "${modules[@]}"; do
    for p in ${peers[$m]}; do
        printf '  %-8s %-64s %8s\n' "$m" "${p#http://}" "$(ns "${best[$p]}" "${instances[$p]}")"
    done
done
[[ $status = 0 ]] && echo "vs-peers-lv2: every goal met" || echo "vs-peers-lv2: goals MISSED (above)"
