#!/bin/sh
# Runs a Windows program under Wine in a private prefix (made on first use)
# and stops that prefix's Wine processes afterwards. Run it under xvfb-run so
# that windows have a display. Exits with the program's status.
# Usage: run-under-wine.sh LOADER PREFIX PROGRAM [ARGUMENT...]
set -u
loader=$1
export WINEPREFIX=$2
shift 2
export WINELOADER="$loader"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers: the checks need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "making the Wine prefix $WINEPREFIX"
    "$loader" wineboot -i > /dev/null 2>&1
fi
# A program that waits for input nobody gives (a dialog left open) fails
# rather than stalls.
timeout --kill-after=10 600 "$loader" "$@"
status=$?
"$(dirname "$loader")/wineserver" -k 2> /dev/null
exit $status
