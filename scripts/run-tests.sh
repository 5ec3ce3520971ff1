#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: on the embedded engine, and on a
# throwaway PostgreSQL cluster on loopback (stopped again however the tests end).
# Then the suite once more in build-san/, built with the address and undefined-behaviour
# sanitizers (NBK_SANITIZE_TESTS=0 leaves that half out).
# NBK_TEST_PG_URI already set: that server is used and no cluster is started.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/deps.sh --dev
scripts/build.sh -DNBK_BUILD_TESTS=ON -DNBK_BUILD_BENCHMARKS=ON

if [ -z "${NBK_TEST_PG_URI:-}" ]; then
  pgdir=$(mktemp -d /tmp/nbk-pg.XXXXXX)
  trap '"$root/scripts/pg-test-cluster.sh" stop "$pgdir"' EXIT
  if uri=$(scripts/pg-test-cluster.sh start "$pgdir"); then
    export NBK_TEST_PG_URI="$uri"
    echo "PostgreSQL test cluster on ${uri##*@}"
  elif [ "${CI:-}" = "true" ]; then
    echo "ERROR: the PostgreSQL test cluster did not start; CI runs every test on both engines" >&2
    exit 1
  else
    echo "" >&2
    echo "*****************************************************************************" >&2
    echo "*  WARNING: no PostgreSQL test cluster could be started.                    *" >&2
    echo "*  Only the embedded half of the database tests runs; install postgresql    *" >&2
    echo "*  (scripts/deps.sh --dev) or set NBK_TEST_PG_URI to test the server half too.    *" >&2
    echo "*****************************************************************************" >&2
    echo "" >&2
  fi
fi

status=0
start=$SECONDS
(cd build && ctest --output-on-failure --timeout 600 -j "$(nproc)") || status=1
echo "plain build's tests: $((SECONDS - start)) s"

if [ "${NBK_SANITIZE_TESTS:-1}" != 0 ]; then
  start=$SECONDS
  NBK_BUILD_DIR=build-san scripts/build.sh -DNBK_SANITIZE=ON -DNBK_BUILD_TESTS=ON -DNBK_BUILD_BENCHMARKS=ON
  echo "sanitizer build: $((SECONDS - start)) s"
  # any finding (a leak included) fails its test
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  start=$SECONDS
  (cd build-san && ctest --output-on-failure --timeout 900 -j "$(nproc)") || status=1
  echo "sanitizer build's tests: $((SECONDS - start)) s"
fi
exit $status
