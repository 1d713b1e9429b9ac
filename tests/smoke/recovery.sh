#!/usr/bin/env bash
# Crash recovery in a real window: the program is started on a file, words are typed into it and
# into a new Untitled document, the journal interval passes, and the program is killed (SIGKILL).
# Started again, it asks to recover two documents; Yes. The file on disk must be untouched, and
# the recovered texts (as the new instance journals them at once) must be the crashed instance's
# texts, holding the typed words. Ctrl+Q then asks about both documents: Yes saves the file, which
# must then hold the typed text; No drops the Untitled one. No journal may be left behind.
set -uo pipefail
. "$(dirname "$0")/private_home.sh"
printf '<HTML>\r\n<BODY>recovery</BODY>\r\n</HTML>\r\n' > "$work/page.htm"
cp "$work/page.htm" "$work/original"
"$(dirname "$0")/xvfb.sh" bash -c '
    program=$0 work=$1 journals="$XDG_DATA_HOME/Quillora/recovery"
    fail() { echo "FAILED: $*"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null; exit 1; }
    # The visible windows titled as the program (the main window and its message boxes).
    windows() { xdotool search --onlyvisible --name "^Quillora \(3\.60\)$" 2>/dev/null; }
    wait_windows() { # count
        for _ in $(seq 1 100); do [ "$(windows | wc -l)" -ge "$1" ] && return 0; sleep 0.1; done
        return 1
    }
    keys() { # window, keys...
        local window=$1; shift
        timeout 5 xdotool windowfocus --sync "$window" && sleep 0.3 && xdotool "$@"
    }
    # The text part of each journal (what follows the header) as "page" or "untitled".
    texts() { # folder
        for file in "$journals"/*.journal; do
            [ -e "$file" ] || continue
            sed "1,/^\$/d" "$file" > "$1/$(grep -q "^path=\$" "$file" && echo untitled || echo page)"
        done
    }

    "$program" "$work/page.htm" & pid=$!
    wait_windows 1 || fail "the main window did not appear"
    main=$(windows | head -n 1)
    sleep 1
    keys "$main" type --delay 50 "quill ink " || fail "could not type into the file"
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
    wait_windows 2 || fail "no recovery question"
    keys "$(windows | tail -n 1)" key y || fail "could not answer the recovery question"
    for _ in $(seq 1 50); do
        ls "$journals" | grep -q "^$pid-" && ! ls "$journals" | grep -qv "^$pid-" && break || sleep 0.1
    done
    cmp -s "$work/page.htm" "$work/original" || fail "the file on disk was changed by recovery"
    texts "$work/recovered"
    for name in page untitled; do
        cmp -s "$work/crashed/$name" "$work/recovered/$name" || fail "the recovered $name text differs"
    done

    main=$(windows | head -n 1)
    keys "$main" key ctrl+q && wait_windows 2 && keys "$(windows | tail -n 1)" key y &&
        sleep 1 && wait_windows 2 && keys "$(windows | tail -n 1)" key n || fail "could not answer on exit"
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null && sleep 0.1 || break; done
    kill -0 "$pid" 2>/dev/null && fail "the program did not end"
    cmp -s "$work/page.htm" "$work/crashed/page" || fail "saving the recovered file did not write its text"
    [ -z "$(ls "$journals")" ] || fail "journals left after a normal end: $(ls "$journals")"
    echo "typed, killed, recovered: file untouched until saved, both texts as typed, no journals left"
' "$1" "$work"
