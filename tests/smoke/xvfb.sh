#!/usr/bin/env bash
# Runs a command in a virtual X server of its own. The server picks a free display number itself
# (-displayfd), where "xvfb-run -a" picks one first that a test started at once may take as well.
# -noreset: by default the server resets when its last client leaves, and a program started in that
# moment cannot connect (a test that ends one start and begins the next met this).
set -uo pipefail
number_file=$(mktemp)
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x800x24 3>"$number_file" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$number_file"' EXIT
# The number is written once the server accepts connections.
for _ in $(seq 1 100); do
    [ -s "$number_file" ] && break
    kill -0 "$server" 2>/dev/null || { echo "the virtual X server did not start"; exit 1; }
    sleep 0.05
done
[ -s "$number_file" ] || { echo "the virtual X server did not start within 5 s"; exit 1; }
export DISPLAY=":$(head -n 1 "$number_file")"
"$@"
