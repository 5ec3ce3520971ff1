#!/usr/bin/env bash
# Installs the Debian packages that are missing.
#   scripts/deps.sh         what a counter needs to build and run the client and nbk-admin
#                           (Qt's translation tools make the screens' Kannada translations)
#                           (nbk-admin's server backups run pg_dump and pg_restore; Noto's
#                           core fonts draw names typed in Kannada or Devanagari on screen,
#                           paper and PDF, where DejaVu has no glyphs for them)
#   scripts/deps.sh --dev   and what building and running the tests and benchmarks needs
#                           (GoogleTest, Benchmark, a PostgreSQL server, pgbouncer,
#                           pgBackRest, pg_auto_failover, psqlODBC, Poppler's pdftotext, the desktop entry's
#                           and AppStream data's validators)
set -euo pipefail
PACKAGES=(g++ cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-tools-dev qt6-l10n-tools libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc
  libsqlite3-dev libssl-dev unixodbc-dev libpq-dev postgresql-client libqrencode-dev fonts-dejavu-core
  fonts-noto-core)
if [ "${1:-}" = "--dev" ]; then
  PACKAGES+=(libgtest-dev googletest libbenchmark-dev
    postgresql postgresql-contrib pgbouncer pgbackrest odbc-postgresql poppler-utils
    desktop-file-utils appstream postgresql-15-auto-failover pg-auto-failover-cli)
fi
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
