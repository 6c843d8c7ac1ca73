#!/usr/bin/env bash
# Runs a 64-bit Windows program under Wine on a virtual X display of the
# same size as the headless window system's screen.
export WINEPREFIX="${WINEPREFIX:-$HOME/.cache/zq3r-wineprefix}"
mkdir -p "$(dirname "$WINEPREFIX")"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
exec xvfb-run -a -s "-screen 0 1024x768x24" /usr/lib/wine/wine64 "$@"
