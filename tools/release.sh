#!/usr/bin/env bash
# Makes a release of the 32-bit programs; see usage below.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    cat <<EOF
Usage: tools/release.sh [--dirty]

Builds the i686 release programs, checks their version information and that a second clean
build gives the same bytes, and makes dist/practicum-VERSION/ (the programs, README.txt and
SHA256SUMS) and dist/practicum-VERSION.zip of that folder. VERSION is the first line of the file
VERSION; the same commit always gives the same zip. Beside it, not in it, the release check for a
Windows machine: dist/practicum-VERSION-check/ and its zip (README.md, "Releases").
  --dirty  release a work tree whose tracked files have uncommitted changes, as VERSION-dirty
           (without it such a tree is refused)
EOF
}

allow_dirty=no
for argument in "$@"; do
    case $argument in
    --dirty) allow_dirty=yes ;;
    -h | --help)
        usage
        exit 0
        ;;
    *)
        echo "tools/release.sh: unknown argument '$argument'" >&2
        echo "Try 'tools/release.sh --help'." >&2
        exit 2
        ;;
    esac
done

fail() {
    echo "tools/release.sh: $*" >&2
    exit 1
}

step_name=tools/release.sh
source tools/quiet_step.sh
# Each step says what it does; its output shows only when it fails.
announced_step() {
    echo "$1..."
    step "$@"
}
unpacked=
trap 'rm -rf $unpacked' EXIT

version=$(head -n 1 VERSION)
commit=$(git rev-parse --verify -q HEAD) ||
    fail "not a git work tree with a commit: a release names the commit it is made from"
changes=$(git status --porcelain --untracked-files=no)
if [ -n "$changes" ]; then
    [ $allow_dirty = yes ] || {
        echo "tools/release.sh: not releasing: tracked files have uncommitted changes:" >&2
        printf '%s\n' "$changes" | sed 's/^/    /' >&2
        fail "commit them first, or give --dirty for a release marked $version-dirty"
    }
    version=$version-dirty
    commit=$commit-dirty
fi

announced_step "Checking the packages it needs" bash tools/install-deps.sh

# The programs are the tested ones: built by the preset, then checked for their version
# information and against a second clean build elsewhere.
bin=build/mingw-i686/bin
announced_step "Configuring the i686 build" cmake --preset mingw-i686
announced_step "Building the i686 programs" cmake --build --preset mingw-i686
announced_step "Checking their version information and building them again elsewhere" \
    ctest --preset mingw-i686
# The programs in the build's order of the deliverables, each with its row of the README's table.
programs=() table_uk="" table_en=""
while IFS=$'\t' read -r program variant function equal_value aggregate_uk aggregate_en; do
    programs+=("$program")
    row=$(printf '  %-19s%-8s%-17s%-12s' "${program%.exe}" "$variant" "$function" "$equal_value")
    table_uk+="$row$aggregate_uk"$'\n'
    table_en+="$row$aggregate_en"$'\n'
done <build/mingw-i686/release_programs.txt

name=practicum-$version
folder=dist/$name
rm -rf "$folder" "dist/$name.zip"
mkdir -p "$folder"
for program in "${programs[@]}"; do
    cp "$bin/$program" "$folder/"
done
# UTF-8 with a byte order mark and CR LF, so that every Notepad shows it right.
readme=$(<tools/release-readme.txt)
readme=${readme//@TABLE_UK@/"${table_uk%$'\n'}"}
readme=${readme//@TABLE_EN@/"${table_en%$'\n'}"}
{
    printf '\xEF\xBB\xBF'
    printf '%s\n' "$readme" | sed -e "s/@VERSION@/$version/g" -e "s/@COMMIT@/$commit/g" \
        -e "s/@EXAMPLE@/${programs[0]}/g" -e 's/$/\r/'
} >"$folder/README.txt"
(cd "$folder" && sha256sum "${programs[@]}" README.txt >SHA256SUMS)

# The same zip from every release of a commit: file times from the commit, one order, no owner
# or extra time fields.
chmod 644 "$folder"/*
touch -d "@$(git log -1 --format=%ct)" "$folder"/*
members=()
for file in "${programs[@]}" README.txt SHA256SUMS; do
    members+=("$name/$file")
done
(cd dist && TZ=UTC0 zip -q -X -D "$name.zip" "${members[@]}")

# Check what was made: the zip unpacks, its sums verify, its programs are the tested ones.
unpacked=$(mktemp -d)
unzip -q "dist/$name.zip" -d "$unpacked"
(cd "$unpacked/$name" && sha256sum -c --quiet SHA256SUMS) ||
    fail "SHA256SUMS does not verify in the zip"
for program in "${programs[@]}"; do
    cmp -s "$unpacked/$name/$program" "$bin/$program" ||
        fail "$program in the zip differs from $bin/$program"
done

# The release check, for whoever hands the release out: the Wine tests' driver, the window
# snapshots and check-release.cmd, to unpack into the release folder on a Windows machine.
check_name=$name-check
rm -rf "dist/$check_name" "dist/$check_name.zip"
mkdir -p "dist/$check_name/check/windows"
cp build/mingw-i686/release-check/check-release.cmd "dist/$check_name/"
cp build/mingw-i686/release-check/check/e2e_driver.exe "dist/$check_name/check/"
for program in "${programs[@]}"; do
    cp "build/mingw-i686/release-check/check/windows/${program%.exe}.txt" \
        "dist/$check_name/check/windows/"
done
find "dist/$check_name" -type f -exec chmod 644 {} + \
    -exec touch -d "@$(git log -1 --format=%ct)" {} +
(cd dist && find "$check_name" -type f | LC_ALL=C sort | TZ=UTC0 zip -q -X -D "$check_name.zip" -@)

echo
echo "Release $version (commit $commit):"
echo "  $folder/"
echo "  dist/$name.zip  sha256 $(sha256sum <"dist/$name.zip" | cut -d' ' -f1)"
echo "The release check for a Windows machine, for whoever hands the release out (not part of it):"
echo "  dist/$check_name/"
echo "  dist/$check_name.zip  sha256 $(sha256sum <"dist/$check_name.zip" | cut -d' ' -f1)"
