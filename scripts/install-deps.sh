#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and its benchmarks need; skips what is there.
# Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
    build-essential clang clang-format cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    libsqlite3-dev sqlite3 libpq-dev postgresql libshp-dev pxlib-dev libsodium-dev qt6-charts-dev libqt6opengl6-dev
    fonts-arphic-ukai fonts-arphic-uming
    libxlsxwriter-dev poppler-utils unzip python3-openpyxl
    xvfb xauth time
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
