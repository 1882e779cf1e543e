#!/bin/sh
# The committed bitmaps must be exactly what the artwork generator draws now:
# a change to the drawing that was not regenerated (make artwork) fails here.
# Usage: check-artwork.sh VOLTARA_ARTWORK BITMAP_DIR SCRATCH_DIR
set -eu
generator=$1
committed=$2
scratch=$3
rm -rf "$scratch"
mkdir -p "$scratch"
"$generator" generate "$scratch" > /dev/null
status=0
for file in "$scratch"/*.bmp; do
    if ! cmp -s "$file" "$committed/$(basename "$file")"; then
        echo "$(basename "$file") differs from what the generator draws; run make artwork" >&2
        status=1
    fi
done
[ $status -eq 0 ] && echo "committed bitmaps match the generator"
exit $status
