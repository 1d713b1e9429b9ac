#!/usr/bin/env bash
# The real program in a virtual X server with a file on its command line: its main window's title;
# typing, Ctrl+Z and Ctrl+R, each saved (Ctrl+S) and compared in the file's bytes; button faces drawn.
set -uo pipefail
. "$(dirname "$0")/private_home.sh"
printf '<HTML>\r\n<BODY>smoke</BODY>\r\n</HTML>\r\n' > "$work/smoke page.htm"
cp "$work/smoke page.htm" "$work/original"
# Typed at offset 0, before the text; letters and spaces only ("<", ">", quotes, "-" start typing aids).
typed='quill ink '
{ printf '%s' "$typed"; cat "$work/original"; } > "$work/typed"
"$(dirname "$0")/xvfb.sh" bash -c '
    page=$1 work=$3 typed=$4 failure=""
    "$0" "$page" & pid=$!
    window=$(program_windows 1 | head -n 1)
    # Ctrl+S, then up to 5 s for the file to hold the bytes of $work/$1 ("typed" or "original").
    save_as() {
        xdotool key --delay 50 ctrl+s
        for _ in $(seq 1 50); do cmp -s "$page" "$work/$1" && return 0 || sleep 0.1; done
        failure="after $2 the saved file is not the $1 text; it holds: $(od -c "$page" | head -n 4)"
        return 1
    }
    if [ -n "$window" ]; then
        sleep 1
        if ! timeout 5 xdotool windowfocus --sync "$window"; then
            failure="could not focus the main window"
        elif ! { xdotool type --delay 50 "$typed" && save_as typed "typing \"$typed\"" &&
            xdotool key --delay 50 ctrl+z && save_as original "Ctrl+Z (undo)" &&
            xdotool key --delay 50 ctrl+r && save_as typed "Ctrl+R (redo)"; }; then
            failure=${failure:-"xdotool could not send the keys"}
        fi
    fi
    # The document window lives inside the frame, not in the X window list: the screenshot shows it.
    faces="not checked (no ImageMagick)"
    if command -v import >/dev/null && import -window root "$2" 2>/dev/null; then
        # The toolbox row under the menu bar: drawn faces vary; without faces it is one flat colour.
        spread=$(convert "$2" -crop 540x16+190+28 +repage -format "%[fx:standard_deviation]" info: 2>/dev/null)
        if awk -v s="${spread:-0}" "BEGIN { exit !(s > 0.05) }"; then
            faces="drawn (spread $spread)"
        else
            failure=${failure:-"the toolbox shows no button faces (spread ${spread:-none})"}
        fi
    fi
    kill "$pid"; wait "$pid" 2>/dev/null
    [ -n "$window" ] || { echo "no main window titled \"Quillora (3.60)\""; exit 1; }
    [ -z "$failure" ] || { echo "FAILED: $failure"; exit 1; }
    echo "main window: Quillora (3.60); opened: $page; typed, undone, redone and saved as expected; faces: $faces; screenshot: $2"
' "$1" "$work/smoke page.htm" "${SMOKE_SCREENSHOT:-$work/smoke.png}" "$work" "$typed"
