#!/usr/bin/env bash
# Installs what is needed, builds, and starts the launcher.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release
exec build/release/bin/Oakhalt
