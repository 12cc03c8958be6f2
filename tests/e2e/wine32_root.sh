# shellcheck shell=bash
# Sourced: where the 32-bit Wine environment lives (made by tools/wine32-env.sh), how the i686
# programs run on this machine, and how a script enters the environment.
#
# The machine's kernel runs no 32-bit Linux code, so there are two ways:
#   wow64     the machine's own 64-bit Wine runs the 32-bit Windows code itself (Wine's WoW64
#             mode), with the i386 Windows DLLs of the same Wine package. Wine 10 or newer
#             (Debian 13): needs no root and no emulation.
#   emulated  Debian's 32-bit Wine in an i386 root file system, where every program runs under
#             qemu-i386, which binfmt_misc starts. Older Wines (Debian 12's Wine 8 runs them in
#             WoW64 mode too, but its 32-bit side garbles their Windows-1251 texts).
# PRACTICUM_WINE32_MODE chooses one of them instead.

# A file that installed packages hold, where they put it (not where one release put it).
#   installed_file <root> <test> <package...> -- <name>
# <root> is "" for this machine's own packages; <test> is -x for a program, -f for any file.
installed_file() {
    local root=$1 test=$2 packages=() path
    shift 2
    while [ "$1" != -- ]; do
        packages+=("$1")
        shift
    done
    while IFS= read -r path; do
        [ "${path##*/}" = "$2" ] && [ -f "$root$path" ] &&
            { [ "$test" = -f ] || [ -x "$root$path" ]; } &&
            { echo "$path"; return 0; }
    done < <(dpkg-query --admindir="${root:-}/var/lib/dpkg" -L "${packages[@]}" 2>/dev/null)
    return 1
}
# shellcheck disable=SC2034 # set for the scripts that source this file
{
    WINE64_LOADER=$(installed_file "" -x wine64 libwine wine -- wine64 || true)
    WINE64_SERVER=$(installed_file "" -x libwine wine64 wine -- wineserver || true)
    WINE64_FONTS=$(installed_file "" -f fonts-wine -- marlett.ttf || true)
    WINE64_FONTS=${WINE64_FONTS%/*}
}

if [ -n "${PRACTICUM_WINE32_MODE:-}" ]; then
    WINE32_MODE=$PRACTICUM_WINE32_MODE
elif [ -n "$WINE64_LOADER" ] && [[ $("$WINE64_LOADER" --version 2>/dev/null) =~ ^wine-([0-9]+) ]] &&
    [ "${BASH_REMATCH[1]}" -ge 10 ]; then
    WINE32_MODE=wow64
else
    WINE32_MODE=emulated
fi

# One cache for the machine; only the WoW64 DLLs can be fetched without root, into the user's.
if [ -n "${PRACTICUM_WINE32_CACHE:-}" ]; then
    WINE32_CACHE=$PRACTICUM_WINE32_CACHE
elif [ "$(id -u)" -eq 0 ] || [ "$WINE32_MODE" != wow64 ]; then
    WINE32_CACHE=/var/cache/practicum-wine32
else
    WINE32_CACHE=${XDG_CACHE_HOME:-${HOME:-}/.cache}/practicum-wine32
fi
# shellcheck disable=SC2034 # set for the scripts that source this file
{
    # wow64: the i386 Windows DLLs of the machine's Wine version (WINEDLLPATH).
    WINE32_WOW64_DLLS=$WINE32_CACHE/wow64
    # emulated: the root, qemu-i386 and their registration.
    WINE32_ROOT=$WINE32_CACHE/root
    WINE32_QEMU=$WINE32_CACHE/qemu-i386
    WINE32_PACKAGES=wine32,fonts-wine
    # A root made from another recipe is made anew.
    WINE32_RECIPE="i386 minbase $WINE32_PACKAGES, recipe 1"
    WINE32_RECIPE_FILE=.practicum-recipe
    # The registration of the default cache keeps its name; another cache's has one of its own,
    # so that removing one cache leaves the others' as it is.
    if [ "$WINE32_CACHE" = /var/cache/practicum-wine32 ]; then
        WINE32_BINFMT_ENTRY=practicum-i386
    else
        WINE32_BINFMT_ENTRY=practicum-i386-$(printf '%s' "$WINE32_CACHE" | sha256sum | cut -c1-8)
    fi
}

# Runs the rest of the calling script in a mount namespace of its own, in which the root has
# /proc, /dev, the X server's sockets and the given folders (at the same paths as outside, so that
# a path means the same to Wine and to the script). The mounts go away with the script's last
# process, whatever way it ends. In the wow64 way there is nothing to enter.
#   enter_wine32_root "$0" "$@" -- folder...
enter_wine32_root() {
    [ -n "${WINE32_ENTERED:-}" ] || [ "$WINE32_MODE" = wow64 ] && return 0
    local script=$1 arguments=() folders=()
    shift
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        arguments+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    local folder
    for folder in "$@"; do
        folders+=("$(realpath -m "$folder")")
    done
    if [ "$(id -u)" -ne 0 ]; then
        echo "32-bit Wine: entering the i386 root needs root (chroot and mounts)" >&2
        exit 1
    fi
    # shellcheck disable=SC2016 # expanded by the inner shell, from its arguments
    exec unshare --mount --propagation private -- env WINE32_ENTERED=1 bash -c '
        root=$1 script=$2 count=$3
        shift 3
        mount -t proc proc "$root/proc" && mount --rbind /dev "$root/dev" || exit 1
        mkdir -p "$root/tmp/.X11-unix" /tmp/.X11-unix &&
            mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix" || exit 1
        while [ "$count" -gt 0 ]; do
            mkdir -p "$1" "$root$1" && mount --bind "$1" "$root$1" || exit 1
            shift
            count=$((count - 1))
        done
        exec bash "$script" "$@"' \
        bash "$WINE32_ROOT" "$script" "${#folders[@]}" "${folders[@]}" "${arguments[@]}"
}

# The version of the Wine package that runs the i686 programs (what they look like depends on it).
wine32_package_version() {
    if [ "$WINE32_MODE" = wow64 ]; then
        dpkg-query -W -f '${Version}' libwine
    else
        dpkg-query --admindir="$WINE32_ROOT/var/lib/dpkg" -W -f '${Version}' wine32
    fi
}

# Wine's version in the root (tools/wine32-env.sh checks that it starts).
wine32_version() {
    local loader
    loader=$(installed_file "$WINE32_ROOT" -x wine32 libwine -- wine) || return 1
    # shellcheck disable=SC2016 # expanded by the inner shell, from its arguments
    unshare --mount --propagation private -- bash -c '
        mount -t proc proc "$1/proc" && mount --rbind /dev "$1/dev" &&
            chroot "$1" "$2" --version' bash "$WINE32_ROOT" "$loader"
}
