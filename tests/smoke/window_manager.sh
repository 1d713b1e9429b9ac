#!/usr/bin/env bash
# window_manager.sh PROGRAM [TEST FUNCTIONS...]: runs a test program in a virtual X server under openbox
# through the X11 platform, where placement, activation and the middle button behave as on a desktop.
set -uo pipefail
command -v openbox >/dev/null || { echo "openbox is not installed"; exit 1; }
. "$(dirname "$0")/private_home.sh"
export QT_QPA_PLATFORM=xcb
"$(dirname "$0")/xvfb.sh" bash -c '
    openbox >/dev/null 2>&1 & wm=$!
    # The window manager is ready once it has claimed the screen.
    ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
    for _ in $(seq 1 100); do ready && break; sleep 0.1; done
    ready || { echo "openbox did not start within 10 s"; kill $wm 2>/dev/null; exit 1; }
    "$@"; status=$?
    kill $wm 2>/dev/null
    exit $status
' bash "$@"
