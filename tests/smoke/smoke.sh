#!/usr/bin/env bash
# Starts the real program in a virtual X server with a file on its command line, checks the main
# window's title and that the file was given to the editor, takes a screenshot, and quits.
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" \
    QUILLORA_TEST_REPORT="$work/report.txt"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
printf '<HTML>\r\n<BODY>smoke</BODY>\r\n</HTML>\r\n' > "$work/smoke page.htm"
unset QT_QPA_PLATFORM
xvfb-run -a -s '-screen 0 1280x800x24' bash -c '
    "$0" "$1" & pid=$!
    for _ in $(seq 1 100); do
        title=$(xdotool search --name "^Quillora \(3\.60\)$" getwindowname 2>/dev/null | head -n 1)
        [ -n "$title" ] && break || sleep 0.1
    done
    sleep 1
    # The document window lives inside the frame, not in the X window list: the screenshot shows it.
    command -v import >/dev/null && import -window root "$2" 2>/dev/null
    kill "$pid"; wait "$pid" 2>/dev/null
    [ "$title" = "Quillora (3.60)" ] || { echo "main window title not found (got: $title)"; exit 1; }
    grep -qxF "$1" "$QUILLORA_TEST_REPORT" || { echo "the file was not given to the editor"; exit 1; }
    echo "main window: $title; opened: $1; screenshot: $2"
' "$1" "$work/smoke page.htm" "${SMOKE_SCREENSHOT:-$work/smoke.png}"
