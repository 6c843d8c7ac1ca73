#!/usr/bin/env bash
# Builds the emulated PC that runs our 32-bit Windows programs: Debian 12 for
# amd64 with i386 added, Debian's own kernel (which runs 32-bit programs, as
# the build machines' kernel does not), 32-bit Wine with a 32-bit prefix made
# in a first boot, and a virtual X server. Prints the image's folder (kernel,
# initrd, disk) on stdout; progress and errors go to stderr.
#
# The image is kept outside the clone, under ~/.cache/zq3r-machine/, named by
# a hash of this script, the one it sources and the guest's init: an
# unchanged recipe reuses it, a changed one builds anew. Building needs root
# for mmdebstrap's root mode and the disk made from its tree (through sudo, as
# setup.sh, for anyone else; the image then belongs to them) and the Debian
# mirror that apt uses.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/zq3r-machine
key=$(cat "$here/build-image.sh" "$here/debian-sources.sh" "$here/guest-init.sh" | sha256sum | cut -c1-16)
image=$cache/image-$key

say() { echo "machine image: $*" >&2; }
die() {
    say "$*"
    exit 1
}

reuse() {
    touch "$image/ready"
    echo "$image"
    exit 0
}

[ -f "$image/ready" ] && reuse
as_root=""
if [ "$(id -u)" -ne 0 ]; then
    as_root="sudo"
    command -v sudo >/dev/null || die "cannot build $image: it needs root, and there is no sudo"
fi
"$here/../setup.sh" >&2 || die "cannot install the packages that build it"

# One build at a time; whoever waited finds the image ready.
mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9
[ -f "$image/ready" ] && reuse

# The Debian archive as apt here knows it.
source "$here/debian-sources.sh"
mapfile -t sources < <(debian_sources)
[ ${#sources[@]} -gt 0 ] || die "cannot build: apt has no Debian mirror in /etc/apt/sources.list*"

work=$cache/building-$key
$as_root rm -rf "$work"
mkdir -p "$work"
trap '$as_root rm -rf "$work"' EXIT
started=$(date +%s)

# X client libraries for both architectures: Wine's display driver loads
# them at run time, so no package depends on them.
x_libraries="libx11-6 libxext6 libxrender1 libxrandr2 libxi6 libxcursor1 libxfixes3 libxinerama1
             libxcomposite1 libxxf86vm1"
packages="linux-image-amd64 initramfs-tools kmod mount wine wine64 wine32:i386 xvfb xauth"
for library in $x_libraries; do packages="$packages $library:amd64 $library:i386"; done

# The guest has no udev: the initramfs loads exactly the modules that reach
# the root disk. Both files are in place before the kernel's package makes
# the initramfs, and neither is a package's conffile.
initramfs_hook='mkdir -p "$1/etc/initramfs-tools/conf.d" "$1/usr/share/initramfs-tools/modules.d"
  echo MODULES=list > "$1/etc/initramfs-tools/conf.d/zq3r-machine"
  printf "%s\n" virtio_pci virtio_blk crc32c_generic ext4 > "$1/usr/share/initramfs-tools/modules.d/zq3r-machine"'

say "building $image from ${sources[*]} (several minutes)"
$as_root mmdebstrap --mode=root --variant=apt --architectures=amd64,i386 \
    --include="$(echo $packages | tr ' ' ',')" \
    --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
    --dpkgopt='path-exclude=/usr/share/locale/*' \
    --essential-hook="$initramfs_hook" \
    --customize-hook="upload $here/guest-init.sh /sbin/zq3r-init" \
    --customize-hook='chmod 755 "$1/sbin/zq3r-init"' \
    bookworm "$work/rootfs" "${sources[@]}" >&2 ||
    die "cannot build: mmdebstrap failed (is the Debian mirror reachable?)"

# The tree is root's, and so is what is made from it, until it is handed
# to whoever runs the machine.
$as_root cp "$work"/rootfs/boot/vmlinuz-* "$work/vmlinuz"
$as_root cp "$work"/rootfs/boot/initrd.img-* "$work/initrd.img"
# Room for the Wine prefix and the programs' temporary files.
size_mb=$(($($as_root du -sm "$work/rootfs" | cut -f1) + 1024))
$as_root mke2fs -q -t ext4 -L zq3r-root -d "$work/rootfs" "$work/disk.img" "${size_mb}M" >&2 ||
    die "cannot make the disk"
$as_root rm -rf "$work/rootfs"
$as_root chown "$(id -u):$(id -g)" "$work/vmlinuz" "$work/initrd.img" "$work/disk.img"

# The first boot writes the image: Wine makes its 32-bit prefix (and
# fontconfig its cache), which every later boot finds ready.
say "first boot: making the 32-bit Wine prefix"
mkdir -p "$work/prefix-job"
cat >"$work/prefix-job/job.sh" <<'EOF'
set -e
/usr/lib/wine/wine wineboot --init
# A crash prints its backtrace and ends the program: no dialog that waits
# for a click nobody will make.
/usr/lib/wine/wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
/usr/lib/wine/wineserver --wait
grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg"
echo "$(/usr/lib/wine/wine --version): 32-bit prefix in $WINEPREFIX, $(du -sm "$WINEPREFIX" | cut -f1) MB"
test -f "$WINEPREFIX/system.reg"
EOF
"$here/run-job.sh" --image "$work" --writable --timeout 1800 "$work/prefix-job" >&2 ||
    die "cannot build: the first boot did not make the Wine prefix"
rm -rf "$work/prefix-job"

echo "built in $(($(date +%s) - started)) s on $(date -u +%Y-%m-%dT%H:%MZ)" >"$work/ready"
mv "$work" "$image"
trap - EXIT
say "$(cat "$image/ready"), $(du -sh "$image" | cut -f1) in $image"

# Images of other recipes that nobody has used for a week go.
find "$cache" -maxdepth 2 -path "$cache/image-*/ready" -mtime +7 -printf '%h\n' | xargs -r rm -rf
echo "$image"
