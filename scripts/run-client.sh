#!/usr/bin/env bash
# Installs what is missing, builds, and starts the client. Arguments go to the client
# (for example --database /path/to/file.db).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
exec build/bin/nbk-reservation "$@"
