#!/usr/bin/env bash
# Builds the programs a second time, cleanly, from a copy of the sources in another folder, and
# compares their SHA-256 with the programs of this build.
# rebuild_and_compare.sh SOURCE_DIR TOOLCHAIN(relative) BUILD_TYPE BIN_DIR DELIVERABLE...
set -euo pipefail
source_dir=$1 toolchain=$2 build_type=$3 bin_dir=$4
shift 4

work=$(mktemp -d "${TMPDIR:-/tmp}/practicum-second-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Other paths, of other lengths, for both the sources and the build.
sources=$work/sources-copy
mkdir "$sources"
tar -C "$source_dir" --exclude=./.git --exclude=./build --exclude=./out --exclude=./dist -cf - . |
    tar -C "$sources" -xf -
cmake -S "$sources" -B "$work/b" -G Ninja --toolchain "$sources/$toolchain" \
    -DCMAKE_BUILD_TYPE="$build_type" -DPRACTICUM_TESTS=OFF >/dev/null
nice cmake --build "$work/b" --target "$@" >/dev/null

status=0
for deliverable in "$@"; do
    first=$(sha256sum <"$bin_dir/$deliverable.exe" | cut -d' ' -f1)
    second=$(sha256sum <"$work/b/bin/$deliverable.exe" | cut -d' ' -f1)
    if [ "$first" = "$second" ]; then
        echo "same      $first  $deliverable.exe"
    else
        echo "DIFFERENT $first  $deliverable.exe"
        echo "          $second  (second build)"
        cmp -l "$bin_dir/$deliverable.exe" "$work/b/bin/$deliverable.exe" | head -5 || true
        status=1
    fi
done
exit $status
