#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the release build
# (unit, window and end-to-end tests), then the engine tests under
# ThreadSanitizer; the Debian package is built, installed, started and
# removed in between. Here a new compiler warning fails the build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh
scripts/build.sh release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
ctest --preset release
scripts/package-check.sh
scripts/build.sh tsan -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
ctest --preset tsan
