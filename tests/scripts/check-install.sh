#!/usr/bin/env bash
# make install and make uninstall into a scratch PREFIX with a scratch
# registry store: the installed tool finds its plug-in, libraries and
# content from any directory, and uninstalling removes all of it.
# Usage: check-install.sh SOURCE_DIR BUILD_DIR SCRATCH_DIR
set -euo pipefail

source_dir=$1
build_dir=$2
scratch=$3

rm -rf "$scratch"
mkdir -p "$scratch/elsewhere"
prefix=$scratch/prefix
export VOLTARA_REGISTRY=$scratch/registry
value="$VOLTARA_REGISTRY/HKEY_LOCAL_MACHINE/Software/Brenmark/Axewright Voltara/Install Path"
fail() { echo "FAILED: $*"; exit 1; }
# A step that fails without its own message still says which it was.
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND"' ERR

make -s -C "$source_dir" install PREFIX="$prefix" NATIVE="$build_dir" JOBS=2 > "$scratch/install.log" 2>&1 ||
    { cat "$scratch/install.log"; fail "make install"; }
for file in bin/voltara lib/voltara/voltara_fx.so lib/voltara/libvoltara_platform.so lib/voltara/libvoltara_presenter.so \
            share/voltara/content/Presets/Default.fxb share/voltara/content/Players/Voltara.sty \
            lib/lv2/voltara.lv2/manifest.ttl; do
    [[ -e $prefix/$file ]] || fail "make install did not install $file"
done
[[ $(tr -d '\0' < "$value") = "$prefix/share/voltara/content" ]] || fail "the content folder was not recorded"
# The installed files refer to each other, not to the build tree.
# Each listing is read whole before it is searched: grep -q stops at the first
# match, and the writer's broken pipe would fail the pipeline.
for binary in bin/voltara lib/voltara/voltara_fx.so; do
    dynamic=$(readelf -d "$prefix/$binary")
    [[ $dynamic != *"$build_dir"* ]] || fail "$binary refers to the build tree"
done
libraries=$(ldd "$prefix/lib/voltara/voltara_fx.so")
[[ $libraries == *"$prefix/lib/voltara/libvoltara_platform.so"* ]] ||
    fail "the plug-in does not find the window-system library beside it"

cd "$scratch/elsewhere"
"$prefix/bin/voltara" process --demo out.wav --program "Funk Auto-Wah" --tempo 100 --tail 0 2> err.txt ||
    { cat err.txt; fail "the installed tool cannot run a factory program"; }
[[ ! -s err.txt ]] || { cat err.txt; fail "the installed tool said more than nothing"; }
# Without the recorded value it falls back on the installed content.
"$prefix/bin/voltara" content unset
"$prefix/bin/voltara" info --program "Funk Auto-Wah" > /dev/null 2> err.txt
grep -q "loaded the factory bank $prefix/share/voltara/content/Presets/Default.fxb" err.txt ||
    { cat err.txt; fail "no fall-back on the installed content"; }

# Uninstalling keeps a value that names another folder, and removes its own.
"$prefix/bin/voltara" content set "$source_dir/content" 2> /dev/null
make -s -C "$source_dir" uninstall PREFIX="$prefix" > /dev/null
[[ -e $value ]] || fail "make uninstall removed a value that named another folder"
make -s -C "$source_dir" install PREFIX="$prefix" NATIVE="$build_dir" JOBS=2 > /dev/null 2>&1
make -s -C "$source_dir" uninstall PREFIX="$prefix" > /dev/null
[[ ! -e $value ]] || fail "make uninstall left the recorded content folder"
leftover=$(find "$prefix" -mindepth 2)
[[ -z $leftover ]] || fail "make uninstall left $leftover"

# A staged install puts the files under DESTDIR and records nothing.
make -s -C "$source_dir" install DESTDIR="$scratch/stage" PREFIX=/usr/local NATIVE="$build_dir" JOBS=2 > /dev/null 2>&1
[[ -x $scratch/stage/usr/local/bin/voltara ]] || fail "DESTDIR was not honoured"
[[ ! -e $value ]] || fail "a staged install recorded a content folder"
echo "install and uninstall: 1 passed, 0 failed"
