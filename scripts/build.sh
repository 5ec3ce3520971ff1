#!/usr/bin/env bash
# Configures and builds into build/ (tests included); NBK_BUILD_DIR names another folder.
set -euo pipefail
cd "$(dirname "$0")/.."
# share the compiler cache between checkouts of the project
export CCACHE_BASEDIR="$(cd .. && pwd)" CCACHE_NOHASHDIR=1
dir=${NBK_BUILD_DIR:-build}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
