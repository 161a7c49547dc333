#!/usr/bin/env bash
# Configures and builds one preset (release unless named); further
# arguments go to the configure step (-DNAME=VALUE).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-release}
cmake --preset "$preset" "${@:2}" >/dev/null
cmake --build --preset "$preset"
