# Sourced: where the 32-bit Wine environment lives (made by tools/wine32-env.sh) and how a script
# enters it. Debian's 32-bit Wine runs in an i386 root file system; every i386 program in it runs
# under qemu-i386, which binfmt_misc starts.

WINE32_CACHE=${PRACTICUM_WINE32_CACHE:-/var/cache/practicum-wine32}
WINE32_ROOT=$WINE32_CACHE/root
WINE32_QEMU=$WINE32_CACHE/qemu-i386
WINE32_PACKAGES=wine32,fonts-wine
# A root made from another recipe is made anew.
WINE32_RECIPE="i386 minbase $WINE32_PACKAGES, recipe 1"
WINE32_RECIPE_FILE=.practicum-recipe

# Runs the rest of the calling script in a mount namespace of its own, in which the root has
# /proc, /dev, the X server's sockets and the given folders (at the same paths as outside, so that
# a path means the same to Wine and to the script). The mounts go away with the script's last
# process, whatever way it ends.
#   enter_wine32_root "$0" "$@" -- folder...
enter_wine32_root() {
    [ -n "${WINE32_ENTERED:-}" ] && return 0
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
    # shellcheck disable=SC2016
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

# Wine's version in the root (tools/wine32-env.sh checks that it starts).
wine32_version() {
    unshare --mount --propagation private -- bash -c '
        mount -t proc proc "$1/proc" && mount --rbind /dev "$1/dev" &&
            chroot "$1" /usr/lib/wine/wine --version' bash "$WINE32_ROOT"
}
