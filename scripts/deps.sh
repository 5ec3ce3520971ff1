#!/usr/bin/env bash
# Installs the Debian packages the client, the tools and the tests need, when missing.
set -euo pipefail
PACKAGES=(g++ cmake ninja-build ccache pkg-config
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc
  libsqlite3-dev libssl-dev unixodbc-dev odbc-postgresql libpq-dev
  libgtest-dev googletest libbenchmark-dev
  postgresql postgresql-contrib pgbouncer poppler-utils fonts-dejavu-core
  libqrencode-dev)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
