#!/usr/bin/env bash
# Runs the test command on another Debian release, in a root file system of that release on this
# machine; see usage below.
set -euo pipefail
repository=$(cd "$(dirname "$0")/.." && pwd)

usage() {
    cat <<EOF
Usage: tools/debian-root-test.sh [codename]     (as root; trixie, Debian 13, by default)

Runs tools/test.sh on the last commit as it would run on a machine of that Debian release: in a
root file system of the release (debootstrap --variant=minbase from the mirror of this machine's
apt configuration, the release's own suites in place of this machine's), with a fresh clone of
the commit, entered in namespaces of its own (mounts and processes go when the run ends). The
test command installs the packages it needs there itself. Prints the test command's output and
its time.

The root is kept for the next run, in \$PRACTICUM_DEBIAN_ROOT (by default
/var/tmp/practicum-<codename>-root; about 4 GB with the packages and 3 GB of builds); remove it
with: rm -rf --one-file-system <folder>
EOF
}

case ${1:-} in
-h | --help)
    usage
    exit 0
    ;;
-*)
    echo "debian-root-test.sh: unknown option '$1'" >&2
    usage >&2
    exit 2
    ;;
esac
[ $# -le 1 ] || { usage >&2; exit 2; }
codename=${1:-trixie}
root=${PRACTICUM_DEBIAN_ROOT:-/var/tmp/practicum-$codename-root}
[ "$(id -u)" -eq 0 ] || { echo "debian-root-test.sh: needs root (debootstrap, chroot)" >&2; exit 2; }
commit=$(git -C "$repository" rev-parse --verify HEAD)

# This machine's archives ("suite URI"), each with the other release's suite in place of ours.
this_codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
# shellcheck disable=SC2016 # apt's own placeholders, not the shell's
mapfile -t archives < <(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' \
    'Identifier: Packages' | sort -u | sed "s/^$this_codename\([- ]\)/$codename\1/" |
    grep "^${codename}[- ]")
[ ${#archives[@]} -gt 0 ] || { echo "no Debian archive in the apt configuration" >&2; exit 1; }
mirror=$(printf '%s\n' "${archives[@]}" | awk -v suite="$codename" '$1 == suite { print $2 }')
[ -n "$mirror" ] || { echo "no archive of $this_codename in the apt configuration" >&2; exit 1; }

start=$SECONDS
stamp=$root/.practicum-debian-root
if [ ! -f "$stamp" ]; then
    echo "Making a Debian $codename root in $root from $mirror..."
    rm -rf --one-file-system "$root"
    debootstrap --variant=minbase "$codename" "$root" "$mirror" >"$root.log" 2>&1 ||
        { tail -n 30 "$root.log" >&2; echo "debootstrap failed (log: $root.log)" >&2; exit 1; }
    rm -f "$root.log"
    touch "$stamp"
fi
for archive in "${archives[@]}"; do
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] ${archive#* } ${archive%% *} main"
done >"$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"

# A fresh clone of the commit, owned by root there as here.
rm -rf --one-file-system "$root/root/practicum"
git clone -q --no-checkout "$repository" "$root/root/practicum"
git -C "$root/root/practicum" checkout -q --detach "$commit"
echo "Testing commit $commit on Debian $codename (root made or updated in $((SECONDS - start)) s)"

# The release's newest packages, then the test command as CI runs it, in a mount and process
# namespace of its own: /proc, /sys, /dev and an empty /tmp.
# shellcheck disable=SC2016 # expanded by the inner shell, from its arguments
unshare --mount --pid --fork --propagation private -- bash -c '
    root=$1
    mount -t proc proc "$root/proc" && mount --rbind /sys "$root/sys" &&
        mount --rbind /dev "$root/dev" && mount -t tmpfs tmpfs "$root/tmp" || exit 1
    exec chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
        TERM="${TERM:-dumb}" CI=true bash -c "
            export DEBIAN_FRONTEND=noninteractive
            { apt-get update -q && apt-get upgrade -y -q; } >/var/log/practicum-upgrade.log 2>&1 ||
                { cat /var/log/practicum-upgrade.log; exit 1; }
            cd /root/practicum && bash tools/test.sh"' bash "$root" && status=0 || status=$?
echo "Debian $codename: the test command exited with $status after $(((SECONDS - start) / 60)) min" \
    "$(((SECONDS - start) % 60)) s in all"
exit "$status"
