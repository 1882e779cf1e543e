#!/bin/bash
# Builds the Windows release from the two Windows builds: OUT/VoltaraSetup-V.exe,
# the installer (NSIS), and OUT/Voltara-V-windows.zip, the same files to
# install by hand. V is the plug-in's version record unless given; the content
# is the checkout's unless given (the installer checks build earlier versions).
# Usage: build.sh WIN32_BUILD WIN64_BUILD OUT_DIR [VERSION [CONTENT_DIR]]
#        build.sh --version          prints the version of the version record
set -euo pipefail
installer=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$installer")
recorded_version=$(sed -n 's/^ *VALUE "ProductVersion", "\(.*\)"$/\1/p' "$source_dir/resources/voltara_fx.rc")
if [ "${1:-}" = --version ]; then
    echo "$recorded_version"
    exit 0
fi
win32=$(cd "$1" && pwd)
win64=$(cd "$2" && pwd)
mkdir -p "$3"
out=$(cd "$3" && pwd)
version=${4:-$recorded_version}
content=$(cd "${5:-$source_dir/content}" && pwd)
if ! [[ $version =~ ^[0-9]+(\.[0-9]+){0,3}$ ]]; then
    echo "build.sh: the version \"$version\" is not up to four numbers separated by dots" >&2
    exit 1
fi
IFS=. read -r major minor patch build <<< "$version"
file_version=${major}.${minor:-0}.${patch:-0}.${build:-0}

# One time for every file of the release, so that the same sources give the
# same bytes: the last commit's.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct 2> /dev/null || echo 946684800)}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
name=Voltara-$version-windows
files=$stage/$name
mkdir -p "$files/32-bit" "$files/64-bit"
# Without the debugging information: exports, imports and resources stay; the
# header's time is SOURCE_DATE_EPOCH.
i686-w64-mingw32-strip --strip-debug -o "$files/32-bit/voltara_fx.dll" "$win32/voltara_fx.dll"
x86_64-w64-mingw32-strip --strip-debug -o "$files/64-bit/voltara_fx.dll" "$win64/voltara_fx.dll"
mkdir -p "$files/content/Presets" "$files/content/Players"
cp "$content/Presets/Default.fxb" "$files/content/Presets/"
cp "$content/Players/Voltara.sty" "$files/content/Players/"
# Texts with Windows line ends.
sed "s/@VERSION@/$version/g; s/\$/\r/" "$installer/ReadMe.txt" > "$files/ReadMe.txt"
sed 's/$/\r/' "$installer/License.txt" > "$files/License.txt"

find "$files" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

setup=$out/VoltaraSetup-$version.exe
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DFILE_VERSION="$file_version" \
    -DDLL32="$files/32-bit/voltara_fx.dll" -DDLL64="$files/64-bit/voltara_fx.dll" -DCONTENT="$files/content" \
    -DTEXTS="$files" -DOUTFILE="$setup" "$installer/Voltara.nsi"

zip=$out/$name.zip
rm -f "$zip"
(cd "$stage" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$zip")
echo "$setup"
echo "$zip"
