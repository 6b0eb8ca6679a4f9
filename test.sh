#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer, UndefinedBehaviorSanitizer and
# warnings as errors, gives every fuzz target a short run, and runs every test.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh --test
cmake --preset test
cmake --build --preset test
# A short run of every fuzz target from its seeds; longer runs are described in docs/RELIABILITY.md.
scripts/fuzz-smoke.sh 10
ctest --preset test "$@"
