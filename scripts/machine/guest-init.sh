#!/bin/sh
# The emulated machine's first process (init=): mounts what a program needs,
# mounts the host's shared folders at their host paths, starts a virtual X
# display, runs the job and powers the machine off. The job is
# <job folder>/job.sh; its output goes to output.log and its exit code to
# exit-code in the same folder. If this script itself fails it exits, the
# kernel panics (panic=1) and QEMU (-no-reboot) ends: a broken guest ends the
# run instead of hanging it, and the missing exit-code says so.
#
# Kernel command line: zq3r.job=<job folder> and zq3r.shares=<path>[:<path>...],
# the folders shared by the host in mount order; the i-th comes as the 9p
# mount tag share<i>.

PATH=/usr/sbin:/usr/bin:/sbin:/bin
export PATH

fail() {
    echo "zq3r-init: $*" >/dev/console
    exit 1
}

# The initramfs hands over /proc, /sys, /dev and /run already mounted.
mounted() { [ -r /proc/mounts ] && grep -q " $1 " /proc/mounts; }
mounted /proc || mount -t proc proc /proc || fail "cannot mount /proc"
mounted /sys || mount -t sysfs sysfs /sys
mounted /dev || mount -t devtmpfs devtmpfs /dev
mounted /run || mount -t tmpfs tmpfs /run
mkdir -p /dev/pts /dev/shm
mounted /dev/pts || mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
hostname zq3r-machine

job="" shares=""
for word in $(cat /proc/cmdline); do
    case "$word" in
        zq3r.job=*) job="${word#zq3r.job=}" ;;
        zq3r.shares=*) shares="${word#zq3r.shares=}" ;;
    esac
done
[ -n "$job" ] && [ -n "$shares" ] || fail "no zq3r.job= or zq3r.shares= on the kernel command line"

# The shares go through the page cache (cache=loose): read straight from
# the host (cache=none), a large program's code loads partly as zeros under
# Wine, and the program crashes as it starts. Nothing on the host changes
# the folders while the job runs; what the job writes reaches the host when
# the folders are unmounted at the end.
modprobe 9pnet_virtio && modprobe 9p || fail "cannot load the 9p modules"
index=0
old_ifs="$IFS"
IFS=:
for folder in $shares; do
    mkdir -p "$folder"
    mount -t 9p -o trans=virtio,version=9p2000.L,msize=524288,cache=loose "share$index" "$folder" ||
        fail "cannot mount share$index at $folder"
    index=$((index + 1))
done
IFS="$old_ifs"
[ -f "$job/job.sh" ] || fail "no job.sh in $job"

# What every job may rely on: a display, and the 32-bit Wine prefix that
# the image was built with.
export HOME=/root DISPLAY=:0
export WINEARCH=win32 WINEPREFIX=/root/wine32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8
Xvfb :0 -screen 0 1024x768x24 -nolisten tcp >/tmp/xvfb.log 2>&1 &
waited=0
until [ -S /tmp/.X11-unix/X0 ]; do
    [ $waited -lt 60 ] || fail "Xvfb did not start: $(cat /tmp/xvfb.log)"
    sleep 1
    waited=$((waited + 1))
done

cd "$job" || fail "cannot enter $job"
sh ./job.sh >output.log 2>&1 </dev/null
echo $? >exit-code

# Nothing may keep a file open on the disk when it goes read-only.
cd /
kill -TERM -1 2>/dev/null
sleep 1
kill -KILL -1 2>/dev/null
sync
IFS=:
for folder in $shares; do umount "$folder"; done
IFS="$old_ifs"
mount -o remount,ro /
echo o >/proc/sysrq-trigger
# Wait for the power to go without starting another program, which would
# read a disk that is already going away.
while :; do :; done
