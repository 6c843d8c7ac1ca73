#!/usr/bin/env bash
# Runs a job in the emulated PC and returns its output and exit code:
#
#   run-job.sh [--image DIR] [--writable] [--timeout SECONDS] <job folder> [<folder>...]
#
# The machine boots, runs <job folder>/job.sh with the job folder as its
# working directory, a virtual X display on :0 and the 32-bit Wine prefix
# (see guest-init.sh), and powers off. The job folder and every further
# folder are shared with the machine at their own paths, read-write, so
# paths compiled into programs hold inside too. The job's output is printed
# as it reaches the host and kept in output.log; its exit code is this
# script's. When the machine ends without finishing the job, the console's
# last lines are printed and the exit code is 3.
#
# --image     the image's folder (default: build-image.sh's, built if needed)
# --writable  keep what the job writes to the disk (default: a throwaway
#             snapshot, so runs repeat and may overlap)
# --timeout   power the machine off after this many seconds (default 1800)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

say() { echo "machine: $*" >&2; }
usage() {
    echo "usage: $(sed -n 4p "$0" | sed 's/^# *//')" >&2
    exit 2
}

image="" snapshot="-snapshot" timeout_s=1800
while [ $# -gt 0 ]; do
    case "$1" in
        --image) image=${2:-}; shift 2 || usage ;;
        --writable) snapshot=""; shift ;;
        --timeout) timeout_s=${2:-}; shift 2 || usage ;;
        --) shift; break ;;
        -*) usage ;;
        *) break ;;
    esac
done
[ $# -ge 1 ] || usage
[[ "$timeout_s" =~ ^[0-9]+$ ]] || usage

folders=()
for folder in "$@"; do
    [ -d "$folder" ] || { say "no folder $folder"; exit 2; }
    folder=$(cd "$folder" && pwd -P)
    # The guest finds the paths on its kernel command line.
    [[ "$folder" =~ ^/[^[:space:]:]*$ ]] || { say "cannot share $folder: its path has a space or a colon"; exit 2; }
    folders+=("$folder")
done
job=${folders[0]}
[ -f "$job/job.sh" ] || { say "no job.sh in $job"; exit 2; }

# A folder inside another shared one is seen through it: sharing it as well
# would hide it under the outer folder's mount.
outermost() {
    local folder kept inside
    for folder in "$@"; do
        inside=no
        for kept in "$@"; do
            [[ "$folder" == "$kept"/* ]] && inside=yes
        done
        [ $inside = yes ] || echo "$folder"
    done | awk '!seen[$0]++'
}
mapfile -t folders < <(outermost "${folders[@]}")

if [ -z "$image" ]; then
    image=$("$here/build-image.sh") || { say "no machine image, so the job did not run"; exit 3; }
fi
for file in vmlinuz initrd.img disk.img; do
    [ -f "$image/$file" ] || { say "the image in $image has no $file"; exit 3; }
done

# Software emulation unless this machine's /dev/kvm really runs a stock
# kernel: some offer a paravirtual one on which QEMU aborts or hangs. The
# probe boots the kernel without a root disk and waits for its panic: "yes"
# when the kernel got that far, "no" when QEMU ended without it, "unsure"
# when the probe ran out of time (a busy machine boots slowly, a hanging
# one never). Only a certain answer holds until the host reboots; after an
# unsure one this run emulates and the next probes again.
kvm_probe() {
    local log status
    log=$(mktemp)
    timeout 10 qemu-system-x86_64 -accel kvm -cpu host -m 256 -display none -monitor none -no-reboot \
        -serial "file:$log" -kernel "$image/vmlinuz" -append "console=ttyS0 panic=-1" >/dev/null 2>&1
    status=$?
    if grep -q "Kernel panic" "$log"; then
        echo yes
    elif [ $status -eq 124 ]; then
        echo unsure
    else
        echo no
    fi
    rm -f "$log"
}
kvm_works() {
    [ -r /dev/kvm ] && [ -w /dev/kvm ] || return 1
    local kept probed
    kept=$(dirname "$image")/kvm-works-$(cat /proc/sys/kernel/random/boot_id)
    if [ -f "$kept" ]; then
        probed=$(cat "$kept")
    else
        probed=$(kvm_probe)
        [ "$probed" = unsure ] || echo "$probed" >"$kept"
    fi
    [ "$probed" = yes ]
}
if kvm_works; then
    accel=(-accel kvm -cpu host)
    accel_name=KVM
else
    # SMAP off: with it, QEMU 7.2's emulation faults on the iret back to
    # 32-bit user mode, and the guest kernel kills every 32-bit program.
    accel=(-accel tcg,thread=multi -cpu max,-smap)
    accel_name="software emulation"
fi

shares=() share_paths=""
for index in "${!folders[@]}"; do
    shares+=(-fsdev "local,id=share$index,path=${folders[$index]},security_model=none"
             -device "virtio-9p-pci,fsdev=share$index,mount_tag=share$index")
    share_paths+="${share_paths:+:}${folders[$index]}"
done

rm -f "$job/output.log" "$job/exit-code" "$job/console.log"
: >"$job/output.log"
cpus=$(nproc)
[ "$cpus" -le 4 ] || cpus=4
say "booting with $accel_name, $cpus processors; job $job/job.sh"
started=$(date +%s)
timeout --foreground --kill-after=10 "$timeout_s" qemu-system-x86_64 "${accel[@]}" -smp "$cpus" -m 3072 \
    -display none -monitor none -no-reboot -serial "file:$job/console.log" \
    -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 quiet panic=1 init=/sbin/zq3r-init zq3r.job=$job zq3r.shares=$share_paths" \
    -drive "file=$image/disk.img,format=raw,if=virtio" $snapshot "${shares[@]}" >&2 &
machine=$!
tail -n +1 -f --pid=$machine "$job/output.log" 2>/dev/null &
follower=$!
# Whoever stops this script (CTest at its time-out, a person) stops the machine.
trap 'kill $machine $follower 2>/dev/null; exit 130' INT TERM
wait $machine
machine_status=$?
wait $follower
elapsed=$(($(date +%s) - started))

if [ ! -s "$job/exit-code" ]; then
    if [ $machine_status -eq 124 ]; then
        say "the job did not finish within $timeout_s s; the machine was stopped"
    else
        say "the machine ended after $elapsed s without finishing the job; its console's last lines:"
        tail -n 25 "$job/console.log" >&2
    fi
    exit 3
fi
status=$(cat "$job/exit-code")
say "the job ended with exit code $status, $elapsed s after the boot began"
exit "$status"
