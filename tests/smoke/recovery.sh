#!/usr/bin/env bash
# Crash recovery in a real window: typed into a file and a new document, killed (SIGKILL) after the
# journal interval, started again, recovered (Yes): the file is untouched and the recovered texts are
# the crashed ones, with the words typed; Ctrl+Q, Yes saves the file, No drops the other; no journal left.
set -uo pipefail
. "$(dirname "$0")/private_home.sh"
printf '<HTML>\r\n<BODY>recovery</BODY>\r\n</HTML>\r\n' > "$work/page.htm"
cp "$work/page.htm" "$work/original"
"$(dirname "$0")/xvfb.sh" bash -c '
    program=$0 work=$1 journals="$XDG_DATA_HOME/Quillora/recovery"
    fail() { echo "FAILED: $*"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null; exit 1; }
    keys() { timeout 5 xdotool windowfocus --sync "$1" && sleep 0.3 && xdotool "${@:2}"; } # window, keys...
    # The text part of each journal (what follows the header) as "page" or "untitled".
    texts() { # folder
        for file in "$journals"/*.journal; do
            [ -e "$file" ] || continue
            sed "1,/^\$/d" "$file" > "$1/$(grep -q "^path=\$" "$file" && echo untitled || echo page)"
        done
    }

    "$program" "$work/page.htm" & pid=$!
    main=$(program_windows 1 | head -n 1)
    sleep 1
    keys "$main" type --delay 50 "quill ink " || fail "could not type into the file (main window: ${main:-none})"
    keys "$main" key --delay 50 ctrl+n && sleep 0.5 && keys "$main" type --delay 50 "fresh words" ||
        fail "could not type into a new document"
    sleep 11
    [ "$(stat -c %a "$journals")" = 700 ] || fail "the journal folder is not owner-only"
    kill -9 "$pid"; wait "$pid" 2>/dev/null; pid=""
    mkdir "$work/crashed" "$work/recovered" && texts "$work/crashed"
    { printf "quill ink "; cat "$work/original"; } | cmp -s - "$work/crashed/page" ||
        fail "the journal of the file does not hold the typed text"
    grep -q "fresh words" "$work/crashed/untitled" || fail "the journal of the new document lacks the typed words"

    "$program" & pid=$!
    keys "$(program_windows 2 | tail -n 1)" key y || fail "no recovery question to answer"
    for _ in $(seq 1 50); do
        ls "$journals" | grep -q "^$pid-" && ! ls "$journals" | grep -qv "^$pid-" && break || sleep 0.1
    done
    cmp -s "$work/page.htm" "$work/original" || fail "the file on disk was changed by recovery"
    texts "$work/recovered"
    for name in page untitled; do
        cmp -s "$work/crashed/$name" "$work/recovered/$name" || fail "the recovered $name text differs"
    done

    main=$(program_windows 1 | head -n 1)
    keys "$main" key ctrl+q && keys "$(program_windows 2 | tail -n 1)" key y &&
        sleep 1 && keys "$(program_windows 2 | tail -n 1)" key n || fail "could not answer on exit"
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null && sleep 0.1 || break; done
    kill -0 "$pid" 2>/dev/null && fail "the program did not end"
    cmp -s "$work/page.htm" "$work/crashed/page" || fail "saving the recovered file did not write its text"
    [ -z "$(ls "$journals")" ] || fail "journals left after a normal end: $(ls "$journals")"
    echo "typed, killed, recovered: file untouched until saved, both texts as typed, no journals left"
' "$1" "$work"
