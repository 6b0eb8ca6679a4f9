#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer, UndefinedBehaviorSanitizer and
# warnings as errors, gives every fuzz target a short run, checks the Windows build under Wine
# and the Debian package, and runs every test.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh --test
cmake --preset test
cmake --build --preset test
# A short run of every fuzz target from its seeds; longer runs are described in docs/RELIABILITY.md.
scripts/fuzz-smoke.sh 10
# The core and the command-line tool built for Windows, tested under Wine.
QM_LINUX_CLI="$PWD/build/test/bin/quillmaker-cli" scripts/windows-check.sh
# The Debian package, unpacked into a scratch root and started headless.
scripts/package-check.sh
# Last, so that ctest's summary closes the run.
ctest --preset test "$@"
