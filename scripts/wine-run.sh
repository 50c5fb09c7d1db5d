#!/usr/bin/env bash
# Runs a Windows program of the cross-compiled tree under Wine, quietly.
# A private Wine prefix keeps test runs apart from the user's own.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX=${WINEPREFIX:-${TESSARO_WINEPREFIX:-$HOME/.cache/tessaro/wine}}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
mkdir -p "$WINEPREFIX"
exec wine "$@"
