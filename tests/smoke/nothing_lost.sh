#!/usr/bin/env bash
# The real program in a virtual X server, driven with xdotool, so keys carry the X server's texts
# (Delete "\x7f", Ctrl+Z "\x1a"...). In the saved bytes: Delete, Backspace, Return and "<" over a
# selection replace exactly it and one Ctrl+Z undoes each; Shift+End, Delete keeps the line break. A
# named pipe handed over by a second start is refused at once (that start ends, the editor goes on
# saving); one on the command line does not keep the program from starting. Waits end after 10 s.
set -uo pipefail
. "$(dirname "$0")/private_home.sh"
printf 'abcdefnext\r\nline two\r\n' > "$work/page.htm"
mkfifo "$work/pipe.htm"
"$(dirname "$0")/xvfb.sh" bash -c '
    program=$0 work=$1 page=$1/page.htm failure=""
    # Ctrl+S, then up to 10 s for the file to hold the bytes given.
    saved() {
        xdotool key --delay 50 ctrl+s
        for _ in $(seq 1 100); do [ "$(od -An -c "$page")" = "$(printf "$1" | od -An -c)" ] && return 0; sleep 0.1; done
        failure="after $2 the file holds: $(od -c "$page" | head -n 3)"
        return 1
    }
    # A key over the selection "bc" at the start, then one Ctrl+Z: the bytes after each.
    over_bc() {
        xdotool key --delay 50 ctrl+Home Right shift+Right shift+Right "$1"
        saved "$2" "$1 over the selection \"bc\"" &&
            { xdotool key --delay 50 ctrl+z; saved "abcdefnext\r\nline two\r\n" "Ctrl+Z after $1"; }
    }
    "$program" "$page" & pid=$!
    main=$(program_windows 1 | head -n 1)
    if [ -z "$main" ] || ! timeout 10 xdotool windowfocus --sync "$main"; then
        failure="the main window did not appear or could not be focused"
    else
        sleep 1.5 # the document is laid out and has the keyboard
        xdotool key --delay 50 Right shift+Right shift+Right Delete
        saved "adefnext\r\nline two\r\n" "Delete over the selection \"bc\"" &&
        { xdotool key --delay 50 ctrl+z; saved "abcdefnext\r\nline two\r\n" "one Ctrl+Z"; } &&
        { xdotool key --delay 50 Home shift+End Delete; saved "\r\nline two\r\n" "Shift+End, Delete"; } &&
        { xdotool key --delay 50 ctrl+z; saved "abcdefnext\r\nline two\r\n" "one more Ctrl+Z"; } &&
        over_bc BackSpace "adefnext\r\nline two\r\n" && over_bc Return "a\r\ndefnext\r\nline two\r\n" &&
        over_bc less "a<>defnext\r\nline two\r\n"
        if [ -z "$failure" ]; then
            # A second start hands the pipe over and ends; the refusal shows over the editor.
            if ! timeout 10 "$program" "$work/pipe.htm"; then
                failure="a second start with a named pipe did not end within 10 s"
            else
                box=$(program_windows 2 | grep -vx "$main" | head -n 1)
                if [ -z "$box" ]; then
                    failure="no message about the named pipe appeared"
                else
                    xdotool windowfocus --sync "$box" key --delay 50 Return
                    sleep 1
                    xdotool windowfocus --sync "$main" key --delay 50 Home x
                    saved "xabcdefnext\r\nline two\r\n" "the refusal, typing x" ||
                        failure="the editor did not go on after the refusal: $failure"
                fi
            fi
        fi
    fi
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    if [ -z "$failure" ]; then
        # A first start with the pipe on its command line: its window comes (the refusal first).
        "$program" "$work/pipe.htm" & pid=$!
        program_windows 1 >/dev/null || failure="a start with a named pipe on its command line showed no window"
        kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    fi
    [ -z "$failure" ] || { echo "FAILED: $failure"; exit 1; }
    echo "Delete, Backspace, Return and \"<\" over selections, Shift+End and Ctrl+Z saved the expected bytes; named pipes refused without a hang"
' "$1" "$work"
