#!/usr/bin/env bash
# Builds a release from a clean copy of the sources and writes it to dist/:
#   - the Debian packages, built by dpkg-buildpackage from debian/ and
#     checked by lintian (no error, no warning), and their source package;
#   - zq3r-compressor-<version>-windows.zip: the 32-bit and the 64-bit DLL,
#     a README for Windows users, the licence and the third-party licences;
#   - SHA256SUMS of them all.
# The copy holds what git tracks, with the working tree's uncommitted changes
# to tracked files. Every file is dated at debian/changelog's last entry
# (SOURCE_DATE_EPOCH), so the same sources give the same bytes.
#
#   scripts/package.sh [--twice] [--test]
#
#   --twice  build a second time in another folder and compare every file
#   --test   then install the packages into a fresh Debian 12 root and use
#            them (tests/package/install-test.sh; needs root)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

twice=no test=no
for option in "$@"; do
    case "$option" in
        --twice) twice=yes ;;
        --test) test=yes ;;
        *) echo "usage: $0 [--twice] [--test]" >&2; exit 2 ;;
    esac
done

die() {
    echo "package: $*" >&2
    exit 1
}
# Runs a command with its output in a log, whose end is shown if it fails.
logged() {
    local log=$1
    shift
    if ! "$@" >"$log" 2>&1; then
        tail -n 30 "$log" >&2
        die "failed: $* (the whole log is in $log)"
    fi
}

scripts/setup.sh

# The sources as git has them, uncommitted changes included.
tree=$(git stash create)
tree=${tree:-HEAD}
untracked=$(git ls-files --others --exclude-standard)
if [ -n "$untracked" ]; then
    echo "=== Not in the release, since git does not track them:"
    echo "$untracked" | sed 's/^/  /'
fi

work=$top/build/package
rm -rf "$work" "$top/dist"
mkdir -p "$work"

# build_release <folder>: the whole release, built in <folder>.
build_release() {
    local folder=$1
    local sources=$folder/zq3r-compressor
    mkdir -p "$sources"
    git archive "$tree" | tar -x -C "$sources"
    SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$sources/debian/changelog" -STimestamp)
    export SOURCE_DATE_EPOCH
    find "$sources" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

    echo "=== Debian packages (dpkg-buildpackage in $sources)"
    (cd "$sources" && logged "$folder/debian-build.log" dpkg-buildpackage -us -uc)

    echo "=== Windows DLLs (presets win32, win64)"
    local preset
    for preset in win32 win64; do
        (cd "$sources" &&
            logged "$folder/$preset-configure.log" cmake --preset "$preset" -DZQ3R_PLUGIN_ONLY=ON &&
            logged "$folder/$preset-build.log" cmake --build --preset "$preset")
    done
    make_windows_zip "$folder" "$sources"
}

# The text files as Windows' own editors show them.
crlf() { sed 's/\r*$/\r/'; }

make_windows_zip() {
    local folder=$1 sources=$2
    local version
    version=$(sed -n 's/^#define ZQ3R_VERSION_TEXT "\(.*\)"$/\1/p' "$sources/build/win64/generated/ProductVersion.h")
    local name=zq3r-compressor-$version-windows
    local content=$folder/zip/$name
    mkdir -p "$content/32-bit" "$content/64-bit"
    i686-w64-mingw32-strip --strip-all -o "$content/32-bit/zq3r-compressor.dll" "$sources/build/win32/zq3r-compressor.dll"
    x86_64-w64-mingw32-strip --strip-all -o "$content/64-bit/zq3r-compressor.dll" "$sources/build/win64/zq3r-compressor.dll"
    sed "s/@VERSION@/$version/g" "$sources/docs/windows/README.txt" | crlf >"$content/README.txt"
    crlf <"$sources/LICENSE" >"$content/LICENSE.txt"
    crlf <"$sources/docs/windows/THIRD-PARTY-LICENSES.txt" >"$content/THIRD-PARTY-LICENSES.txt"
    chmod -R u=rwX,go=rX "$folder/zip"
    find "$folder/zip" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
    (cd "$folder/zip" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$folder/$name.zip")
}

# What goes to dist/: no .changes or .buildinfo, which record the build itself.
release_files() { (cd "$1" && ls ./*.deb ./*.dsc ./*.tar.xz ./*.zip | sed 's|^\./||'); }

build_release "$work/first"

echo "=== lintian"
lintian_log=$work/lintian.txt
lintian --fail-on error,warning --info --pedantic "$work"/first/*.changes >"$lintian_log" 2>&1 || {
    cat "$lintian_log" >&2
    die "lintian found errors or warnings"
}
grep -v '^running with root privileges' "$lintian_log" || echo "lintian: nothing to report"

if [ "$twice" = yes ]; then
    build_release "$work/second"
    echo "=== The second build against the first"
    differ=0
    for file in $(release_files "$work/first"); do
        if cmp -s "$work/first/$file" "$work/second/$file"; then
            echo "  same bytes: $file"
        else
            echo "  DIFFERENT:  $file"
            differ=1
        fi
    done
    [ "$differ" -eq 0 ] || die "two builds of the same sources differ"
fi

mkdir -p dist
for file in $(release_files "$work/first"); do cp "$work/first/$file" dist/; done
(cd dist && sha256sum -- * >SHA256SUMS)
echo "=== dist/"
ls -l dist | tail -n +2

if [ "$test" = yes ]; then
    echo "=== The packages in a fresh Debian 12 root"
    logged "$work/host-configure.log" cmake --preset native
    logged "$work/host-build.log" cmake --build --preset native --target package_host
    tests/package/install-test.sh dist build/native/tests/package/package_host
fi
