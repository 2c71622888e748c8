#!/usr/bin/env bash
# Installs what is missing, builds a Release build, creates ./data with a demo store if it has
# none, and starts the program there.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DWORKLOAD_TESTS=OFF >/dev/null
cmake --build build/release --target workload workloadctl

mkdir -p data
if [ ! -f data/workload.sqlite3 ]; then
    ./build/release/src/workloadctl/workloadctl --dir data init --demo
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found; run it under a virtual one: (cd data && xvfb-run -a ../build/release/src/workload/workload)"
    exit 1
fi
cd data
exec ../build/release/src/workload/workload
