#!/usr/bin/env bash
# Installs the Debian packages of a release into a fresh Debian 12 root with
# apt, as a user would, runs a small host against the library they put in
# /usr/lib/vst (record, audio and chunks against the references, the editor
# opened in an X11 window on a virtual display), asks lv2ls for the LV2
# plug-in when an LV2 package is among them, removes them again with apt,
# and checks that nothing they brought is left behind.
#
#   tests/package/install-test.sh <folder of .deb files> <package_host program>
#
# The root is made once with mmdebstrap (Debian's essential packages and
# apt) and kept as a tarball under ~/.cache/zq3r-machine/, named by a hash of
# its recipe; every run unpacks a fresh copy of it and throws it away.
# Needs root (chroot and mounts, in a mount namespace of its own) and the
# Debian mirror apt uses.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/machine/debian-sources.sh"

say() { echo "install test: $*" >&2; }
die() {
    say "$*"
    exit 1
}

[ $# -eq 2 ] || { echo "usage: $0 <folder of .deb files> <package_host program>" >&2; exit 2; }
debs=$(cd "$1" && pwd)
host_program=$(readlink -f "$2")
[ -x "$host_program" ] || die "no program $2"
[ "$(id -u)" -eq 0 ] || die "needs root (chroot, mounts)"

# Every mount below goes with this namespace when the script ends, however
# it ends.
if [ -z "${ZQ3R_INSTALL_TEST_NAMESPACE:-}" ]; then
    exec unshare --mount --propagation private env ZQ3R_INSTALL_TEST_NAMESPACE=1 "$0" "$@"
fi

# The packages a user installs: every one of the release but the debug symbols.
packages=()
for deb in "$debs"/*.deb; do
    [[ "$deb" == *-dbgsym_* ]] || packages+=("$deb")
done
[ ${#packages[@]} -gt 0 ] || die "no .deb files in $debs"

# --- The pristine root -------------------------------------------------------

recipe=(--mode=root --variant=apt bookworm)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/zq3r-machine
key=$(echo "${recipe[*]}" | sha256sum | cut -c1-16)
tarball=$cache/debian12-root-$key.tar
if [ ! -f "$tarball" ]; then
    mkdir -p "$cache"
    exec 9>"$cache/lock-root"
    flock 9
    if [ ! -f "$tarball" ]; then
        mapfile -t sources < <(debian_sources)
        [ ${#sources[@]} -gt 0 ] || die "apt has no Debian mirror in /etc/apt/sources.list*"
        say "making a Debian 12 root in $tarball (a few minutes, once)"
        mmdebstrap --quiet "${recipe[@]}" "$tarball.new.tar" "${sources[@]}" ||
            die "mmdebstrap failed (is the Debian mirror reachable?)"
        mv "$tarball.new.tar" "$tarball"
        # Roots of other recipes that nobody used for a week go.
        find "$cache" -maxdepth 1 -name 'debian12-root-*.tar' -mtime +7 -delete
    fi
    exec 9>&-
fi
touch "$tarball"

root=$(mktemp -d "${TMPDIR:-/tmp}/zq3r-install-test.XXXXXX")
cleanup() {
    umount -R "$root/proc" "$root/tmp/.X11-unix" 2>/dev/null || true
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT
tar -C "$root" -xf "$tarball"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
# apt-get <command> <arguments...> in the root, showing the lines that match
# the pattern, or all it said when it fails.
apt_in_root() {
    local pattern=$1 command=$2
    shift 2
    if ! in_root apt-get "$command" -y -q "$@" >"$root/tmp/apt.log" 2>&1; then
        cat "$root/tmp/apt.log" >&2
        return 1
    fi
    grep -E "$pattern" "$root/tmp/apt.log" | sed 's/^/  /'
}

# Every file of the root but what the system keeps about its own work: apt's
# package lists, downloads and record of what it installed, logs, backups of
# dpkg's and debconf's databases, and ldconfig's cache.
files_of_root() {
    (cd "$root" && find . -xdev \( -path ./proc -o -path ./tmp -o -path ./var/lib/apt/lists -o \
        -path ./var/cache/apt -o -path ./var/lib/apt/extended_states -o -path ./var/log -o \
        -path './var/lib/dpkg/*-old' -o -path './var/cache/debconf/*-old' -o -path ./var/cache/ldconfig \) \
        -prune -o -print | LC_ALL=C sort)
}

# --- Install, use, remove ----------------------------------------------------

in_root apt-get update -qq || die "apt-get update failed in the root"
files_of_root >"$root/tmp/before.txt"

mkdir -p "$root/tmp/debs"
cp "${packages[@]}" "$root/tmp/debs/"
names=() inside=()
for deb in "${packages[@]}"; do
    names+=("$(dpkg-deb -f "$deb" Package)")
    inside+=("/tmp/debs/$(basename "$deb")")
done
# An LV2 package must be listed by lv2ls, from Debian's lilv-utils, which is
# installed beside it and removed with it.
tools=()
for name in "${names[@]}"; do [[ "$name" != *-lv2 ]] || tools=(lilv-utils); done
echo "=== apt-get install ${names[*]} ${tools[*]}"
apt_in_root "^Setting up " install --no-install-recommends "${inside[@]}" "${tools[@]}" ||
    die "apt-get could not install the packages"
installed_files=$(in_root dpkg -L "${names[@]}" | LC_ALL=C sort -u)

echo "=== a host loads /usr/lib/vst/zq3r-compressor.so and opens it"
mkdir -p "$root/tmp/host" "$root/tmp/.X11-unix"
cp "$host_program" "$here/../winhost/reference-session.txt" "$here/../winhost/reference-chunks.txt" "$root/tmp/host/"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
xvfb-run -a -s "-ac -nolisten tcp" chroot "$root" /tmp/host/package_host /usr/lib/vst/zq3r-compressor.so \
    /tmp/host/reference-session.txt /tmp/host/reference-chunks.txt || die "the host failed with the installed plug-in"

if [ ${#tools[@]} -gt 0 ]; then
    echo "=== lv2ls lists the LV2 plug-in"
    in_root lv2ls | grep -i zq3r || die "lv2ls does not list the plug-in"
fi

echo "=== apt-get purge --autoremove ${names[*]} ${tools[*]}"
apt_in_root "^(Removing|Purging) " purge --autoremove "${names[@]}" "${tools[@]}" ||
    die "apt-get could not remove the packages"
files_of_root >"$root/tmp/after.txt"

left=""
while read -r file; do
    [ "$file" = / ] || [ ! -e "$root$file" ] || [ -d "$root$file" ] || left+="  $file"$'\n'
done <<<"$installed_files"
[ -z "$left" ] || die "files of the packages are still there after their removal:"$'\n'"$left"
if ! changes=$(diff "$root/tmp/before.txt" "$root/tmp/after.txt"); then
    die "the root's files differ from before the installation:"$'\n'"$changes"
fi
echo "=== removed: the root holds the same files as before the installation"
