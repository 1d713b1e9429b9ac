# Sourced by the real-window tests: a fresh folder in $work (removed on exit) holding the home, data,
# settings and runtime folders of the program under test, so no test touches the user's own or
# another test's; and the real X11 platform rather than the offscreen one CTest may have set.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
