#!/usr/bin/env bash
# Installs what is needed, builds, and starts the launcher.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release
if [ "$(id -u)" = 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    # Run through sudo for the installation: the launcher is started as the
    # user who asked, with her own settings, recordings and desktop session.
    uid=$(id -u "$SUDO_USER")
    home=$(getent passwd "$SUDO_USER" | cut -d: -f6)
    exec runuser -u "$SUDO_USER" -- env HOME="$home" USER="$SUDO_USER" LOGNAME="$SUDO_USER" \
        XDG_RUNTIME_DIR="/run/user/$uid" "$PWD/build/release/bin/Oakhalt"
fi
exec build/release/bin/Oakhalt
