#!/usr/bin/env bash
# Renders the built-in guitar phrase through a few factory programs into out/,
# and a screenshot of the editor showing one of them.
# Usage: bash tools/demo.sh BUILD_DIR
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
[[ $build = /* ]] || build=$root/$build
voltara=$build/voltara
out=$root/out

mkdir -p "$out"

# Which factory bank the tool loaded is said once, by the first command.
said_bank=
run_voltara() { # ARGUMENTS...: standard output is dropped, messages are shown
    local messages
    messages=$("$voltara" "$@" 2>&1 > /dev/null) || { echo "$messages" >&2; exit 1; }
    [[ -z $said_bank ]] || messages=$(grep -v "loaded the factory bank" <<< "$messages" || true)
    said_bank=yes
    [[ -z $messages ]] || echo "$messages" >&2
}

render() { # FILE-STEM OPTIONS...
    local file=$out/$1.wav
    shift
    run_voltara process --demo "$file" "$@"
    echo "  $file"
}

echo "Rendering the demo phrase into $out:"
program_name() { # NUMBER
    "$voltara" info --program "$1" 2>/dev/null | sed -n "s/^ *$1\* \"\(.*\)\"\$/\1/p"
}

render demo-dry --set 0=1 --tail 0
first=$(program_name 0)
if [[ $first != "default.fxb not found!" && $first != "[nothing loaded]" ]]; then
    for program in 0 3 4 6 9 12 20 29; do
        name=$(program_name "$program")
        slug=$(printf '%s' "$name" | tr -cs 'A-Za-z0-9' '-' | sed 's/-*$//' | tr 'A-Z' 'a-z')
        render "demo-$(printf '%02d' "$program")-$slug" --program "$program"
    done
    shot=$out/editor-29-shoegaze-wash.png
    run_voltara editor --program 29 "$shot"
    echo "  $shot (the editor)"
else
    echo "(the plug-in found no factory bank in $root/content: using settings of the demo's own)"
    render demo-phaser --set 24=1 --set 26=0.3 --set 27=0.6
    render demo-chorus --set 40=1 --set 42=0.6 --set 43=0.3
    render demo-delay --set 48=1 --set 50=0.35 --set 52=0.4 --set 54=0.5
    render demo-reverb --set 56=1 --set 57=0.5 --set 58=0.5 --set 59=0.5
    render demo-tremolo --set 64=1 --set 66=0.35 --set 67=0.8
fi
