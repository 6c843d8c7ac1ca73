# Sourced by the scripts that build Debian roots with mmdebstrap (the
# emulated PC's image, the package test's root): the files of apt's Debian
# archive here (deb822 or one-line format), one a line, for mmdebstrap to use
# the same mirror as apt.
debian_sources() {
    local file
    for file in /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list /etc/apt/sources.list; do
        [ -f "$file" ] && grep -Eq '^[^#]*(debian-archive-keyring|/debian/?( |$))' "$file" && echo "$file"
    done
    return 0
}
