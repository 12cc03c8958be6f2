#!/usr/bin/env bash
# Makes the Wine environment that runs the i686 release programs, checks it, or removes it:
#   tools/wine32-env.sh [--check | --remove]
# This machine's kernel runs no 32-bit Linux code. Where the machine's Wine is 10 or newer
# (Debian 13), it runs the 32-bit Windows code itself (WoW64 mode) with the i386 Windows DLLs of
# its own package version, fetched once (about 0.6 GB; no root needed). Elsewhere Debian's 32-bit
# Wine runs in an i386 root file system under qemu-i386 (user-mode emulation), which binfmt_misc
# starts for every i386 program: qemu-user 10 or newer, from the release itself or else from its
# backports (older ones ignore MAP_FIXED_NOREPLACE, and each Wine process then spends about a
# minute reserving its address space), and the root with wine32 and fonts-wine (about 0.9 GB, 7 to
# 10 minutes to make); making it, entering it and registering qemu need root.
#
# Everything lives in one cache outside the clone, because a CI run starts from a fresh clone:
# PRACTICUM_WINE32_CACHE, by default /var/cache/practicum-wine32 (as root) or
# ~/.cache/practicum-wine32. PRACTICUM_WINE32_MODE=wow64 or emulated chooses the way. Each piece
# is made only when it is missing, damaged or out of date; the package mirror is the one of this
# machine's apt configuration. Temporary files go with the script, however it ends.
#   --check   makes nothing (no root needed): the exit status is 1 and the message names the
#             first missing piece
#   --remove  unregisters this cache's qemu-i386 from binfmt_misc and removes the cache
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/e2e/wine32_root.sh

action="make"
case ${1:-} in
"") ;;
--check) action=check ;;
--remove) action=remove ;;
-h | --help)
    sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
    ;;
*)
    echo "usage: tools/wine32-env.sh [--check | --remove]" >&2
    exit 2
    ;;
esac
case $WINE32_MODE in
wow64 | emulated) ;;
*)
    echo "PRACTICUM_WINE32_MODE is '$WINE32_MODE': wow64 or emulated" >&2
    exit 2
    ;;
esac

missing() {
    echo "32-bit Wine environment: $*" >&2
    exit 1
}

is_root() {
    [ "$(id -u)" -eq 0 ]
}

# What this run made and has not finished: removed however the script ends.
temporary=()
cleanup() {
    local path
    for path in "${temporary[@]}"; do
        remove_tree "$path"
    done
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Removes a folder without following a mount out of it: what is mounted inside (debootstrap
# mounts /proc and /sys while it works) is unmounted first, and rm does not cross into another
# file system.
remove_tree() {
    local tree=$1 mounted
    [ -e "$tree" ] || return 0
    tree=$(realpath "$tree")
    if is_root; then
        while IFS= read -r mounted; do
            umount --lazy "$mounted" 2>/dev/null || true
        done < <(findmnt --list --noheadings --output TARGET |
            awk -v tree="$tree/" 'index($0, tree) == 1' | sort -r)
    fi
    rm -rf --one-file-system "$tree"
}

# new_temporary_folder <variable>: a folder that goes with the script, in that variable.
new_temporary_folder() {
    local folder
    folder=$(mktemp -d)
    temporary+=("$folder")
    printf -v "$1" '%s' "$folder"
}

binfmt=/proc/sys/fs/binfmt_misc

# The cache goes first: the registration holds its qemu-i386 open and serves until it goes too.
if [ $action = remove ]; then
    own=$binfmt/$WINE32_BINFMT_ENTRY
    registered=no
    [ -f "$own" ] && [ "$(sed -n 's/^interpreter //p' "$own")" = "$WINE32_QEMU" ] && registered=yes
    if [ $registered = yes ] && ! is_root; then
        missing "not root: unregistering $own from binfmt_misc needs root"
    fi
    if [ -e "$WINE32_CACHE" ]; then
        remove_tree "$WINE32_CACHE" || true
        [ ! -e "$WINE32_CACHE" ] || missing "$WINE32_CACHE could not be removed whole"
        echo "removed $WINE32_CACHE"
    fi
    if [ $registered = yes ]; then
        echo -1 >"$own"
        echo "unregistered $own"
    fi
    exit 0
fi

# The archives of this machine's apt configuration, as "suite URI" lines.
configured_archives() {
    # shellcheck disable=SC2016 # apt's own placeholders, not the shell's
    apt-get indextargets --format '$(RELEASE) $(REPO_URI)' 'Identifier: Packages' 2>/dev/null |
        sort -u
}

mirror_of_release() {
    configured_archives | awk -v suite="$1" '$1 == suite { print $2; exit }'
}

release_codename() {
    (. /etc/os-release && echo "${VERSION_CODENAME:-}")
}

# apt on a configuration of its own in a temporary folder: the machine's stays as it is.
#   private_apt <folder> <architecture> -- <"suite URI" line...>, then "${apt_options[@]}"
private_apt() {
    local work=$1 architecture=$2 line
    shift 3
    mkdir -p "$work/lists/partial" "$work/archives/partial"
    for line in "$@"; do
        printf 'deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] %s %s main\n' \
            "${line#* }" "${line%% *}"
    done >"$work/sources.list"
    apt_options=(-o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=-"
        -o "Dir::State::Lists=$work/lists" -o "Dir::Cache::Archives=$work/archives"
        -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache=" -o "APT::Default-Release="
        -o "APT::Architecture=$architecture" -o "APT::Architectures::=$architecture"
        -o "Debug::NoLocking=1" -o "APT::Sandbox::User=$(id -un)")
    apt-get -q "${apt_options[@]}" update >"$work/log" 2>&1 || {
        cat "$work/log" >&2
        missing "cannot read the package lists of $* (no network?)"
    }
}

# Downloads one package into the current folder (the private apt's).
download() {
    apt-get -q "${apt_options[@]}" download "$1" >>"$work/log" 2>&1 || {
        cat "$work/log" >&2
        missing "cannot download $1 (no network, or the archive no longer has that version?)"
    }
}

# ---- WoW64: the i386 Windows DLLs of the machine's own Wine version ----

# The DLLs are Windows code only (libwine:i386's i386-windows folder); the 64-bit Unix side they
# call is the machine's, which Wine looks for beside them.
wow64_version_file=$WINE32_WOW64_DLLS/.libwine-version

wow64_needed() {
    local unix_side
    unix_side=$(installed_file "" -f libwine -- ntdll.so) || missing "Wine is not installed"
    # A Wine built with its i386 side has nothing to fetch.
    [ ! -f "$(dirname "$(dirname "$unix_side")")/i386-windows/ntdll.dll" ]
}

wow64_current() {
    [ -f "$WINE32_WOW64_DLLS/i386-windows/ntdll.dll" ] && [ -d "$WINE32_WOW64_DLLS/x86_64-unix" ] &&
        [ "$(cat "$wow64_version_file" 2>/dev/null)" = "$(dpkg-query -W -f '${Version}' libwine)" ]
}

make_wow64() {
    local version unix_side work
    version=$(dpkg-query -W -f '${Version}' libwine)
    unix_side=$(dirname "$(installed_file "" -f libwine -- ntdll.so)")
    echo "Fetching the i386 Windows DLLs of Wine $version into $WINE32_WOW64_DLLS..."
    new_temporary_folder work
    mapfile -t archives < <(configured_archives)
    [ ${#archives[@]} -gt 0 ] || missing "the apt configuration names no Debian archive"
    private_apt "$work" i386 -- "${archives[@]}"
    (cd "$work" && download "libwine:i386=$version")
    dpkg-deb -x "$work"/libwine_*_i386.deb "$work/unpacked"
    local building=$WINE32_WOW64_DLLS.building
    temporary+=("$building")
    remove_tree "$building"
    mkdir -p "$building"
    mv "$work"/unpacked/usr/lib/*/wine/i386-windows "$building/"
    ln -s "$unix_side" "$building/x86_64-unix"
    echo "$version" >"$building/.libwine-version"
    remove_tree "$WINE32_WOW64_DLLS"
    mv "$building" "$WINE32_WOW64_DLLS"
}

if [ "$WINE32_MODE" = wow64 ]; then
    if wow64_needed && ! wow64_current; then
        [ $action = check ] && missing "no i386 Windows DLLs of this Wine in $WINE32_WOW64_DLLS"
        mkdir -p "$WINE32_CACHE" 2>/dev/null || missing "cannot make $WINE32_CACHE"
        make_wow64
    fi
    echo "32-bit Wine environment: $("$WINE64_LOADER" --version) in its WoW64 mode" \
        "(no emulation)"
    exit 0
fi

# ---- emulated: qemu-i386, its registration and the i386 root ----

# A qemu-i386 of 10 or newer at the given path.
qemu_is_current() {
    [ -x "$1" ] || return 1
    local major
    major=$("$1" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p')
    [ -n "$major" ] && [ "$major" -ge 10 ]
}

# qemu-i386 from the release itself when its qemu is new enough, else from its backports,
# unpacked into the cache: the machine's own qemu-user (which the 32-bit test build runs under)
# stays as it is, and so does its apt configuration.
fetch_qemu() {
    local codename=$1 mirror=$2 work suite
    new_temporary_folder work
    private_apt "$work" "$(dpkg --print-architecture)" -- "$codename $mirror" \
        "$codename-backports $mirror"
    suite=$codename
    if ! apt-cache "${apt_options[@]}" madison qemu-user |
        awk -F'|' -v suite="$codename/main" '$3 ~ " " suite " " { print $2 }' |
        sed 's/^ *\([0-9]*:\)\{0,1\}//' | awk -F. '$1 >= 10 { found = 1 } END { exit !found }'; then
        suite=$codename-backports
    fi
    echo "Fetching qemu-i386 from $suite into $WINE32_QEMU..."
    (cd "$work" && download "qemu-user/$suite")
    mkdir -p "$(dirname "$WINE32_QEMU")"
    dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb | tar -x -C "$work" ./usr/bin/qemu-i386
    mv "$work/usr/bin/qemu-i386" "$WINE32_QEMU"
    qemu_is_current "$WINE32_QEMU" || missing "the qemu-i386 of $suite is older than 10"
}

# The registration of i386 ELF programs that the kernel tries first (the newest).
newest_i386_registration() {
    local entry
    while IFS= read -r entry; do
        entry=$binfmt/$entry
        grep -q '^magic 7f454c4601010100000000000000000002000300' "$entry" 2>/dev/null || continue
        echo "$entry"
        return
    done < <(ls -t "$binfmt" 2>/dev/null)
}

# The registration that starts i386 programs, when it is one of ours (this cache's or another's)
# that serves: flag F, so that the (static) interpreter was opened when it was registered and need
# not exist inside the root, and a qemu-i386 of 10 or newer.
serving_registration() {
    local entry
    entry=$(newest_i386_registration)
    [[ ${entry##*/} == practicum-i386* ]] && grep -qx 'flags: F' "$entry" &&
        qemu_is_current "$(sed -n 's/^interpreter //p' "$entry")" || return 1
    echo "$entry"
}

# binfmt_misc starts qemu-i386 for every i386 program, also inside the root. This cache registers
# its qemu only when no registration of ours serves; its own is registered anew after a new qemu
# was fetched (it holds the old file open) or when another registration of i386 programs is
# newer (the kernel tries the latest first).
register_binfmt() {
    local renewed=$1 own=$binfmt/$WINE32_BINFMT_ENTRY
    if [ ! -f "$binfmt/status" ]; then
        [ $action = check ] && missing "binfmt_misc is not mounted on $binfmt"
        mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
            missing "binfmt_misc cannot be mounted on $binfmt (no kernel support, or mounts are" \
                "not allowed here)"
    fi
    [ "$renewed" = yes ] && [ -f "$own" ] && echo -1 >"$own"
    serving_registration >/dev/null && return
    [ $action = check ] && missing "no qemu-i386 of 10 or newer is registered with binfmt_misc" \
        "with the flag F as the first to start i386 programs"
    [ -f "$own" ] && echo -1 >"$own"
    # ELF, 32-bit, little-endian, executable or shared object, i386.
    local magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf ':%s:M::%s:%s:%s:F' "$WINE32_BINFMT_ENTRY" "$magic" "$mask" "$WINE32_QEMU" \
        >"$binfmt/register" || missing "qemu-i386 cannot be registered with binfmt_misc"
    serving_registration >/dev/null || missing "the registration of qemu-i386 does not serve"
}

# The root is usable when its recipe is the current one and Wine starts in it (without root: its
# loader is there); intact when, in addition, every file of every package in it is as installed
# (dpkg's checksums, 10-20 s).
root_is_usable() {
    [ -f "$WINE32_ROOT/$WINE32_RECIPE_FILE" ] &&
        [ "$(cat "$WINE32_ROOT/$WINE32_RECIPE_FILE")" = "$WINE32_RECIPE" ] || return 1
    if is_root; then
        wine32_version >/dev/null 2>&1
    else
        installed_file "$WINE32_ROOT" -x wine32 libwine -- wine >/dev/null
    fi
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
    command -v debootstrap >/dev/null ||
        missing "debootstrap is not installed (tools/install-deps.sh installs it)"
    echo "Making the i386 root with 32-bit Wine in $WINE32_ROOT (about 0.9 GB, 7 to 10 minutes)..."
    temporary+=("$building")
    remove_tree "$building"
    local log_folder
    new_temporary_folder log_folder
    local log=$log_folder/log
    if ! debootstrap --arch=i386 --variant=minbase --include="$WINE32_PACKAGES" "$codename" \
        "$building" "$mirror" >"$log" 2>&1; then
        tail -n 30 "$log" >&2
        [ -f "$building/debootstrap/debootstrap.log" ] &&
            tail -n 30 "$building/debootstrap/debootstrap.log" >&2
        missing "debootstrap of an i386 $codename root from $mirror failed (the output is above)"
    fi
    # What apt downloaded is not needed again.
    rm -rf "$building"/var/cache/apt/archives/*.deb "$building"/var/lib/apt/lists/*_Packages
    echo "$WINE32_RECIPE" >"$building/$WINE32_RECIPE_FILE"
    remove_tree "$WINE32_ROOT"
    mv "$building" "$WINE32_ROOT"
}

if [ $action = make ] && ! is_root; then
    missing "not root: making the i386 root and registering qemu-i386 need root (chroot," \
        "mounts, binfmt_misc)"
fi
codename=$(release_codename)
[ -n "$codename" ] || missing "no release code name in /etc/os-release"

fetched=no
if ! qemu_is_current "$WINE32_QEMU"; then
    [ $action = check ] && missing "no qemu-i386 10 or newer in $WINE32_QEMU"
    mirror=$(mirror_of_release "$codename")
    [ -n "$mirror" ] || missing "the apt configuration names no archive of $codename"
    fetch_qemu "$codename" "$mirror"
    fetched=yes
fi
register_binfmt $fetched
if [ $action = check ]; then
    root_is_usable || missing "no usable i386 root in $WINE32_ROOT"
elif ! root_is_intact; then
    mirror=$(mirror_of_release "$codename")
    [ -n "$mirror" ] || missing "the apt configuration names no archive of $codename"
    make_root "$codename" "$mirror"
    root_is_usable || missing "Wine does not start in the new root $WINE32_ROOT"
fi
if is_root; then
    version=$(wine32_version)
else
    version=$(dpkg-query --admindir="$WINE32_ROOT/var/lib/dpkg" -W -f 'wine32 ${Version}' wine32)
fi
echo "32-bit Wine environment: $version in $WINE32_ROOT under" \
    "$("$WINE32_QEMU" --version | head -n 1) ($(serving_registration))"
