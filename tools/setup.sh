#!/usr/bin/env bash
# Shared by ./run and ./test: installs the Debian packages the build needs when any is missing,
# then configures (once) and builds the Release tree in build/ with Ninja. With --packages-only it
# stops after the packages. QUILLORA_EXTRA_PACKAGES names further packages a tool needs.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev qt6-webengine-dev libtidy-dev libhunspell-dev hunspell hunspell-en-us xvfb xauth xdotool imagemagick
          qt6-svg-dev desktop-file-utils appstream dpkg-dev file openbox x11-utils
          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n)
missing=()
for p in "${packages[@]}" ${QUILLORA_EXTRA_PACKAGES:-}; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "${1:-}" = "--packages-only" ] && exit 0

build="$here/build"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j2
