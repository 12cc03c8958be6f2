#!/usr/bin/env bash
# Makes the 32-bit Wine environment that runs the i686 release programs, or checks it:
#   tools/wine32-env.sh [--check]
# This machine's kernel runs no 32-bit code, so Debian's 32-bit Wine runs in an i386 root file
# system under qemu-i386 (user-mode emulation), which binfmt_misc starts for every i386 program.
# Only qemu-user 10 or newer will do: older ones ignore MAP_FIXED_NOREPLACE, and each Wine process
# then spends about a minute reserving its address space.
#
# Everything lives in one machine-wide cache outside the clone (PRACTICUM_WINE32_CACHE, by default
# /var/cache/practicum-wine32), because a CI run starts from a fresh clone: qemu-i386 taken from
# the release's backports, and the i386 root with wine32 and fonts-wine (about 0.9 GB, 7 to 10
# minutes to make). Each piece is made only when it is missing, damaged or out of date; the
# package mirror is the one of this machine's apt configuration. With --check nothing is made:
# the exit status is 1 and the message names the first missing piece.
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/e2e/wine32_root.sh

check_only=no
case ${1:-} in
"") ;;
--check) check_only=yes ;;
-h | --help)
    sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
    ;;
*)
    echo "usage: tools/wine32-env.sh [--check]" >&2
    exit 2
    ;;
esac

missing() {
    echo "32-bit Wine environment: $*" >&2
    exit 1
}

# The Debian archive of this machine's own release, from its apt configuration.
mirror_of_release() {
    local codename=$1
    apt-get indextargets --format '$(RELEASE) $(REPO_URI)' 'Identifier: Packages' 2>/dev/null |
        awk -v suite="$codename" '$1 == suite { print $2; exit }'
}

release_codename() {
    (. /etc/os-release && echo "${VERSION_CODENAME:-}")
}

qemu_is_current() {
    [ -x "$WINE32_QEMU" ] || return 1
    local major
    major=$("$WINE32_QEMU" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p')
    [ -n "$major" ] && [ "$major" -ge 10 ]
}

# qemu-i386 from the release's backports, unpacked into the cache: the machine's own qemu-user
# (which the 32-bit test build runs under) stays as it is, and so does its apt configuration.
fetch_qemu() {
    local codename=$1 mirror=$2 work
    work=$(mktemp -d)
    mkdir -p "$work/lists/partial" "$work/archives/partial"
    printf 'deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] %s %s-backports main\n' \
        "$mirror" "$codename" >"$work/sources.list"
    local apt_options=(-o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=-"
        -o "Dir::State::Lists=$work/lists" -o "Dir::Cache::Archives=$work/archives"
        -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache=" -o "APT::Default-Release=")
    if ! apt-get -q "${apt_options[@]}" update >"$work/log" 2>&1 ||
        ! (cd "$work" && apt-get -q "${apt_options[@]}" download "qemu-user/$codename-backports" \
            >>"$work/log" 2>&1); then
        cat "$work/log" >&2
        rm -rf "$work"
        missing "cannot download qemu-user from $codename-backports of $mirror (no network?)"
    fi
    mkdir -p "$(dirname "$WINE32_QEMU")"
    dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb | tar -x -C "$work" ./usr/bin/qemu-i386
    mv "$work/usr/bin/qemu-i386" "$WINE32_QEMU"
    rm -rf "$work"
    qemu_is_current || missing "the qemu-i386 of $codename-backports is older than 10"
}

# binfmt_misc starts qemu-i386 for every i386 program, also inside the root: the F flag opens the
# (static) interpreter now, so it need not exist in the root. Registered anew after a new qemu was
# fetched (the old registration holds the old file open) or when another registration of i386
# programs is newer (the kernel tries the latest first).
register_binfmt() {
    local renew=$1
    local folder=/proc/sys/fs/binfmt_misc
    if [ ! -f "$folder/register" ]; then
        [ $check_only = yes ] && missing "binfmt_misc is not mounted on $folder"
        mount -t binfmt_misc binfmt_misc "$folder" 2>/dev/null ||
            missing "binfmt_misc cannot be mounted on $folder (no kernel support, or mounts are" \
                "not allowed here)"
    fi
    local entry=$folder/practicum-i386
    if [ $check_only = yes ]; then
        [ -f "$entry" ] && grep -qx "interpreter $WINE32_QEMU" "$entry" && grep -qx 'flags: F' "$entry" ||
            missing "qemu-i386 is not registered with binfmt_misc"
        [ "$(newest_i386_registration)" = "$entry" ] ||
            missing "$(newest_i386_registration) is a newer registration of i386 programs"
        return
    fi
    if [ -f "$entry" ] && [ $renew = no ] && grep -qx "interpreter $WINE32_QEMU" "$entry" &&
        grep -qx 'flags: F' "$entry" && [ "$(newest_i386_registration)" = "$entry" ]; then
        return
    fi
    [ -f "$entry" ] && echo -1 >"$entry"
    # ELF, 32-bit, little-endian, executable or shared object, i386.
    local magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf ':practicum-i386:M::%s:%s:%s:F' "$magic" "$mask" "$WINE32_QEMU" >"$folder/register" ||
        missing "qemu-i386 cannot be registered with binfmt_misc"
}

# The registration of i386 ELF programs that the kernel tries first.
newest_i386_registration() {
    local entry newest=""
    for entry in $(ls -t /proc/sys/fs/binfmt_misc 2>/dev/null); do
        entry=/proc/sys/fs/binfmt_misc/$entry
        grep -q '^magic 7f454c4601010100000000000000000002000300' "$entry" 2>/dev/null || continue
        newest=$entry
        break
    done
    echo "$newest"
}

# The root is usable when its recipe is the current one and Wine starts in it; intact when, in
# addition, every file of every package in it is as installed (dpkg's checksums, 10-20 s).
root_is_usable() {
    [ -f "$WINE32_ROOT/$WINE32_RECIPE_FILE" ] &&
        [ "$(cat "$WINE32_ROOT/$WINE32_RECIPE_FILE")" = "$WINE32_RECIPE" ] &&
        wine32_version >/dev/null 2>&1
}

root_is_intact() {
    root_is_usable || return 1
    local changed
    changed=$(dpkg --root="$WINE32_ROOT" --verify 2>&1) || return 1
    if [ -n "$changed" ]; then
        echo "The i386 root in $WINE32_ROOT is damaged:" >&2
        head -n 5 <<<"$changed" >&2
        return 1
    fi
}

make_root() {
    local codename=$1 mirror=$2
    local building=$WINE32_ROOT.building
    echo "Making the i386 root with 32-bit Wine in $WINE32_ROOT (about 0.9 GB, 7 to 10 minutes)..."
    if ! command -v debootstrap >/dev/null; then
        apt-get install -y -q --no-install-recommends debootstrap >/dev/null 2>&1 ||
            missing "cannot install debootstrap"
    fi
    rm -rf "$building"
    local log
    log=$(mktemp)
    if ! debootstrap --arch=i386 --variant=minbase --include="$WINE32_PACKAGES" "$codename" \
        "$building" "$mirror" >"$log" 2>&1; then
        tail -n 30 "$log" >&2
        [ -f "$building/debootstrap/debootstrap.log" ] && tail -n 30 "$building/debootstrap/debootstrap.log" >&2
        rm -f "$log"
        missing "debootstrap of an i386 $codename root from $mirror failed (the output is above)"
    fi
    rm -f "$log"
    # What apt downloaded is not needed again.
    rm -rf "$building"/var/cache/apt/archives/*.deb "$building"/var/lib/apt/lists/*_Packages
    echo "$WINE32_RECIPE" >"$building/$WINE32_RECIPE_FILE"
    rm -rf "$WINE32_ROOT"
    mv "$building" "$WINE32_ROOT"
}

[ "$(id -u)" -eq 0 ] || missing "not root: making and entering the i386 root needs root (chroot," \
    "mounts, binfmt_misc)"
codename=$(release_codename)
[ -n "$codename" ] || missing "no release code name in /etc/os-release"

fetched=no
if ! qemu_is_current; then
    [ $check_only = yes ] && missing "no qemu-i386 10 or newer in $WINE32_QEMU"
    mirror=$(mirror_of_release "$codename")
    [ -n "$mirror" ] || missing "the apt configuration names no archive of $codename"
    echo "Fetching qemu-i386 from $codename-backports into $WINE32_QEMU..."
    fetch_qemu "$codename" "$mirror"
    fetched=yes
fi
register_binfmt $fetched
if { [ $check_only = yes ] && ! root_is_usable; } || { [ $check_only = no ] && ! root_is_intact; }; then
    [ $check_only = yes ] && missing "no usable i386 root in $WINE32_ROOT"
    mirror=$(mirror_of_release "$codename")
    [ -n "$mirror" ] || missing "the apt configuration names no archive of $codename"
    make_root "$codename" "$mirror"
    root_is_usable || missing "Wine does not start in the new root $WINE32_ROOT"
fi
echo "32-bit Wine environment: $(wine32_version) in $WINE32_ROOT under $("$WINE32_QEMU" --version | head -n 1)"
