#!/usr/bin/env bash
# hostile_exit.sh PROGRAM HOSTILE_PAGES_FOLDER: under a window manager, driven with xdotool, a page alerting
# without end, then one busy for ever, shown by Open in Browser (Ctrl+W); Exit (Ctrl+Q) ends within 2 s.
set -uo pipefail
pages=$(mktemp -d)
trap 'rm -rf "$pages"' EXIT
cp "$2/dialogs.htm" "$pages/alerts.htm"
cp "$2/busy.htm" "$pages/busy.htm"
"$(dirname "$0")/window_manager.sh" bash -c '
    program=$0 work=$1 failure=""
    for page in alerts.htm busy.htm; do
        "$program" "$work/$page" & pid=$!
        main=$(program_windows 1 400 | head -n 1) # up to 40 s: a build with the sanitizers starts slowly
        if [ -z "$main" ] || ! timeout 10 xdotool windowfocus --sync "$main"; then
            failure="$page: the main window did not appear"
        else
            sleep 1.5 # the document is laid out and has the keyboard
            xdotool key --delay 50 ctrl+w
            sleep 3 # the page loaded and its loop under way
            start=$(date +%s%N)
            xdotool key --delay 50 ctrl+q
            for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
            took=$((($(date +%s%N) - start) / 1000000))
            if kill -0 "$pid" 2>/dev/null; then
                failure="$page: the program still runs 5 s after Ctrl+Q"
            elif [ "$took" -ge 2000 ]; then
                failure="$page: Exit took $took ms"
            else
                echo "$page: Exit took $took ms"
            fi
        fi
        kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
        [ -z "$failure" ] || break
    done
    [ -z "$failure" ] || { echo "FAILED: $failure"; exit 1; }
' "$1" "$pages"
