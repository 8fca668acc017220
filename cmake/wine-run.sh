#!/bin/sh
# Runs a Windows program under Wine in the project's prefix, quietly.
export WINEDEBUG=-all
export WINEARCH=win32
export WINEPREFIX="${MARVOLEN_WINE_PREFIX:-${HOME}/.cache/marvolen/wine}"
exec wine "$@"
