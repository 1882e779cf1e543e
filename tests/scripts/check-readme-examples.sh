#!/usr/bin/env bash
# Runs every example of README.md and tools/README.md (the lines of their
# ```sh blocks) as a user pastes them into a shell at the top of a checkout
# after `make demo`: in a scratch checkout whose build/, content/ and tools/
# are links to the real ones, with a home of its own and no registry value
# recorded. Lines that run make are the build itself and are skipped.
# Usage: check-readme-examples.sh SOURCE_DIR BUILD_DIR SCRATCH_DIR
set -euo pipefail

source_dir=$1
build_dir=$2
scratch=$3

rm -rf "$scratch"
mkdir -p "$scratch/home"
ln -s "$build_dir" "$scratch/build"
ln -s "$source_dir/content" "$scratch/content"
ln -s "$source_dir/tools" "$scratch/tools"
cd "$scratch"
export HOME=$scratch/home
unset VOLTARA_REGISTRY XDG_CONFIG_HOME

bash tools/demo.sh build > demo.log 2>&1 || { cat demo.log; exit 1; }

failed=0
for readme in README.md tools/README.md; do
    block=0
    while IFS= read -r -d '' example; do
        block=$((block + 1))
        echo "== $readme, example block $block"
        printf '%s\n' "$example"
        if ! bash -euo pipefail -c "$example"; then
            echo "FAILED: $readme, example block $block"
            failed=1
        fi
    done < <(awk '/^```sh$/ { inside = 1; next }
                  /^```$/ && inside { inside = 0; printf "%c", 0; next }
                  inside && $1 != "make" { print }' "$source_dir/$readme")
done
# The examples wrote their outputs where a user would find them.
for file in out/funk.wav out/hall.flac out/dry16.kfr out/footswitch.wav out/clicks.png; do
    [[ -s $file ]] || { echo "FAILED: no $file"; failed=1; }
done
exit $failed
