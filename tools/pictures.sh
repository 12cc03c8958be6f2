#!/usr/bin/env bash
# Makes the pictures of the guide: for each deliverable, its main window and its three task windows
# with each task run once, as the release program shows them under 32-bit Wine.
#   tools/pictures.sh [folder]    (docs/pictures by default)
# Needs root where the 32-bit Wine does (tools/wine32-env.sh). The same commit gives the same files.
# Its Wine prefix is its own, so that it can run beside the tests.
set -euo pipefail

usage() {
    sed -n '2,5p' "$0" | sed 's/^# \{0,1\}//'
}
case ${1:-} in
-h | --help)
    usage
    exit 0
    ;;
-*)
    echo "pictures.sh: unknown option '$1'" >&2
    usage >&2
    exit 2
    ;;
esac
[ $# -le 1 ] || { usage >&2; exit 2; }

root=$(cd "$(dirname "$0")/.." && pwd)
target=$(realpath -m "${1:-$root/docs/pictures}")
cd "$root"
source tests/e2e/wine32_root.sh
if [ "$WINE32_MODE" = emulated ] && [ "$(id -u)" -ne 0 ]; then
    echo "pictures.sh: needs root, for the 32-bit Wine in its i386 root" >&2
    exit 2
fi

step_name=pictures.sh
source tools/quiet_step.sh

build=$root/build/mingw-i686
step "installing the missing packages" bash tools/install-deps.sh
step "configuring the i686 build" cmake --preset mingw-i686
step "building the i686 programs" cmake --build --preset mingw-i686
step "making the 32-bit Wine environment" bash tools/wine32-env.sh
mapfile -t programs < <(cut -f1 "$build/release_programs.txt")

# A fresh prefix, as the tests make it: the pictures depend on nothing left from earlier runs.
export WINE_ARCH=32
prefix=$build/wineprefix-pictures
shots=$build/pictures
step "making a Wine prefix" bash tests/e2e/wine_prefix.sh "$prefix"
mkdir -p "$target"
for program in "${programs[@]}"; do
    deliverable=${program%.exe}
    echo "Showing $deliverable..."
    step "showing $deliverable" bash tests/e2e/run_e2e.sh "$prefix" "$build/bin/e2e_driver.exe" \
        "$build/bin/$program" "$deliverable" "$shots" --tour
    step "composing the picture of $deliverable" bash tests/e2e/compose_picture.sh "$shots" \
        "$deliverable" "$target/$deliverable.png"
    echo "  $target/$deliverable.png"
done
# The tests compare the pictures only under the Wine that made them.
printf '%s\n' "$(wine32_package_version)" >"$target/made-with-wine.txt"
