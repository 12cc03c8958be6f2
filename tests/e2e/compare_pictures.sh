#!/usr/bin/env bash
# The i686 programs under 32-bit Wine must look exactly like the x86_64 ones under wine64: each
# screenshot of this run against the one of the same name from the last x86_64 test run.
#   compare_pictures.sh <i686 screenshot folder> <x86_64 screenshot folder>
# Exit status 77 (skipped) when the x86_64 run left no pictures.
set -euo pipefail
mine=$1 theirs=$2
shopt -s nullglob
pictures=("$mine"/*.png)
if [ ! -d "$theirs" ] || [ -z "$(ls "$theirs"/*.png 2>/dev/null)" ]; then
    echo "no pictures of the x86_64 programs in $theirs (run ctest --preset mingw-x86_64 first)"
    exit 77
fi
[ ${#pictures[@]} -gt 0 ] || { echo "no pictures in $mine" >&2; exit 1; }
rm -rf "$mine/differences"
differ=0
for picture in "${pictures[@]}"; do
    name=$(basename "$picture")
    if [ ! -f "$theirs/$name" ]; then
        echo "$name: no x86_64 picture of that name"
        differ=$((differ + 1))
        continue
    fi
    # The number of pixels that differ (a different size is an error of its own); the two and a
    # picture of where they differ are kept.
    pixels=$(compare -metric AE "$picture" "$theirs/$name" null: 2>&1) || true
    if [ "$pixels" != 0 ]; then
        kept=$mine/differences/${name%.png}
        mkdir -p "$mine/differences"
        cp "$picture" "$kept-i686.png"
        cp "$theirs/$name" "$kept-x86_64.png"
        compare "$picture" "$theirs/$name" "$kept-where.png" 2>/dev/null || true
        echo "$name: differs from the x86_64 picture ($pixels pixels; see $kept-*.png)"
        differ=$((differ + 1))
    fi
done
echo "${#pictures[@]} pictures compared, $differ differ"
[ $differ -eq 0 ]
