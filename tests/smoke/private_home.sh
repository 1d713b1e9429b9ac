# Sourced by the real-window tests: a fresh folder $work (removed on exit) for the home, data, settings
# and runtime folders of the program under test, and the X11 platform rather than CTest's offscreen one.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
# Prints the windows titled as the program once $1 are shown; waits up to $2 (else 100) tenths of a second.
program_windows() {
    for _ in $(seq 1 "${2:-100}"); do
        found=$(xdotool search --onlyvisible --name "^Quillora \(3\.60\)$" 2>/dev/null)
        [ "$(printf "%s" "$found" | grep -c .)" -ge "$1" ] && { printf "%s\n" "$found"; return 0; }
        sleep 0.1
    done
    return 1
}
export -f program_windows
