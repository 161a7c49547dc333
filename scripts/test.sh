#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the release build
# (unit, window and end-to-end tests); the Debian package built, installed,
# started and removed; everything but the two spoken end-to-end runs again
# under AddressSanitizer and UndefinedBehaviorSanitizer (suppressions in
# tests/sanitizers); the Qt-free threaded parts under ThreadSanitizer.
# Here a new compiler warning fails the build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh
scripts/check-layers.sh
scripts/build.sh release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
ctest --preset release
scripts/package-check.sh
scripts/build.sh asan -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
ctest --preset asan -E 'speech_(training_)?end_to_end'
scripts/build.sh tsan -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
ctest --preset tsan
