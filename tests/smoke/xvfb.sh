#!/usr/bin/env bash
# Runs a command in a virtual X server of its own: xvfb.sh [-s "SERVER ARGUMENTS"] COMMAND...
# Unlike "xvfb-run -a", which picks a display number before its server takes it (two tests started
# at once may pick the same one, and one then talks to the other's server), the server here picks a
# free number itself and says which (-displayfd).
set -uo pipefail
server_args="-screen 0 1280x800x24"
if [ "${1:-}" = "-s" ]; then
    server_args=$2
    shift 2
fi
number_file=$(mktemp)
# shellcheck disable=SC2086 # the server arguments are words
Xvfb -displayfd 3 -nolisten tcp $server_args 3>"$number_file" 2>/dev/null &
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
