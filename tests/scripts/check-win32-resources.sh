#!/bin/sh
# The Windows plug-in must carry the editor's sixteen bitmaps, each the size of
# its committed file less the 14-byte file header, and the version record.
# Usage: check-win32-resources.sh DLL BITMAP_DIR
set -eu
dll=$1
bitmaps=$2
# "type id size" for every resource leaf, from the resource directory dump.
leaves=$(i686-w64-mingw32-objdump -p "$dll" | sed -n '/The .rsrc Resource Directory section/,$p' | awk '
    function hex(text,   n, i) {
        sub(/^0x/, "", text); sub(/,$/, "", text)
        n = 0
        for (i = 1; i <= length(text); i++)
            n = n * 16 + index("0123456789abcdef", tolower(substr(text, i, 1))) - 1
        return n
    }
    /^[0-9a-f]+   Entry: ID:/   { type = hex($4) }
    /^[0-9a-f]+     Entry: ID:/ { id = hex($4) }
    /Leaf: Addr:/ { print type, id, hex($6) }')
status=0
for id in 139 153 157 158 159 160 161 162 163 164 165 166 167 170 171 172; do
    expected=$(($(wc -c < "$bitmaps/$id.bmp") - 14))
    size=$(printf '%s\n' "$leaves" | awk -v id="$id" '$1 == 2 && $2 == id { print $3 }')
    if [ -z "$size" ]; then
        echo "missing bitmap $id" >&2
        status=1
    elif [ "$size" -ne "$expected" ]; then
        echo "bitmap $id holds $size bytes, its file $expected" >&2
        status=1
    fi
done
count=$(printf '%s\n' "$leaves" | awk '$1 == 2' | wc -l)
if [ "$count" -ne 16 ]; then
    echo "$count bitmaps instead of 16" >&2
    status=1
fi
if ! printf '%s\n' "$leaves" | awk '$1 == 16 { found = 1 } END { exit !found }'; then
    echo "no version record" >&2
    status=1
fi
texts=$(strings -e l "$dll")
for text in "AW Voltara FX" "Quillet / Brenmark"; do
    if ! printf '%s\n' "$texts" | grep -qx "$text"; then
        echo "version record lacks \"$text\"" >&2
        status=1
    fi
done
[ $status -eq 0 ] && echo "resources of $dll: ok"
exit $status
