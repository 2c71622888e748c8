#!/usr/bin/env bash
# Installs what is missing, builds a Debug build with AddressSanitizer and UBSan (warnings are
# errors), and runs the tests headless.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build/debug -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWORKLOAD_SANITIZE=ON -DWORKLOAD_WERROR=ON >/dev/null
cmake --build build/debug

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build/debug
ctest --output-on-failure -j2 "$@"
