#!/usr/bin/env bash
# Fails, naming the files, when a C or C++ file under src/, tests/ or bench/ is not formatted as
# .clang-format says (`clang-format -i FILE` formats one).
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z -- 'src/*.cpp' 'src/*.h' 'src/*.c' 'tests/*.cpp' 'tests/*.h' 'tests/*.c' 'bench/*.cpp' 'bench/*.h' 'bench/*.c' |
    xargs -0 clang-format --dry-run --Werror
