#!/usr/bin/env bash
# Builds the Debian package from the release build, checks it with lintian,
# installs it with apt, starts `oakhalt` under Xvfb until the launcher's
# window shows, and removes the package again. Installs into this machine:
# run it as root on a machine meant for it (CI does).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
    echo "package-check: needs root (it installs the package); skipped"
    exit 0
fi
(cd build/release && cpack >/dev/null)
deb=$(ls build/release/oakhalt_*_*.deb | head -1)
echo "package: $deb"
# Errors fail; warnings are shown.
lintian --tag-display-limit 0 "$deb" | tee /tmp/lintian.txt || true
if grep -q '^E: ' /tmp/lintian.txt; then
    echo "FAIL: lintian reports errors"
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
export E2E_SHOT=/tmp/package-check-failure.png
. tests/e2e/session.sh
# Whatever happens, the package goes again, after the display and the rest.
trap 'e2e_cleanup; LANG=C apt-get remove -y oakhalt >/dev/null 2>&1 || true' EXIT
LANG=C apt-get install -y --no-install-recommends "./$deb" >/dev/null
[ -x /usr/lib/oakhalt/Oakhalt ] && [ -x /usr/bin/oakhalt ] || e2e_fail "not installed"
export LANG=zh_CN.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1 XDG_CONFIG_HOME="$E2E_WORK/config"
mkdir -p "$XDG_CONFIG_HOME/Oakhalt"
printf '[Config]\nShowTips=0\n' >"$XDG_CONFIG_HOME/Oakhalt/Oakhalt.conf"
e2e_start_display
oakhalt &
app=$!
E2E_PIDS+=("$app")
e2e_wait_window '^Lumeno录音机$' 20 >/dev/null || e2e_fail "the installed launcher showed no window"
kill "$app"
wait "$app" 2>/dev/null || true

LANG=C apt-get remove -y oakhalt >/dev/null
[ ! -e /usr/lib/oakhalt ] && [ ! -e /usr/bin/oakhalt ] || e2e_fail "files left after removal"
echo "package installs, starts and removes: 1 passed, 0 failed"
