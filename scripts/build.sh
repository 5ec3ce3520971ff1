#!/usr/bin/env bash
# Configures and builds into build/ (tests included).
set -euo pipefail
cd "$(dirname "$0")/.."
# share the compiler cache between checkouts of the project
export CCACHE_BASEDIR="$(cd .. && pwd)" CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build --parallel "$(nproc)"
