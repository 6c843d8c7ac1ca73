# The job of the 32-bit test programs in the emulated PC (scripts/machine):
# runs each program named in programs.txt under 32-bit Wine, one after the
# other, with its output in results/<name>.log and its exit code in
# results/<name>.exit. Ends with 0 once every program has run, whatever it
# found: each program's own test reports that.
wine=/usr/lib/wine/wine
mkdir -p results || exit 1
echo "machine: $(uname -m) Linux $(uname -r), $($wine --version), 32-bit prefix"
while read -r name; do
    [ -n "$name" ] || continue
    echo "=== $name"
    started=$(date +%s)
    # A program that hangs must not keep the others from running.
    { timeout 1200 sh "programs/$name.sh"; echo $? >"results/$name.exit"; } 2>&1 | tee "results/$name.log"
    echo "=== $name: exit code $(cat "results/$name.exit"), $(($(date +%s) - started)) s"
done <programs.txt
/usr/lib/wine/wineserver --wait
