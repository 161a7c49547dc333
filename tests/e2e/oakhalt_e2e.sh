#!/usr/bin/env bash
# Oakhalt as a person meets it on a first start: the mini home page first,
# over the launcher; after OK, page one; "繁體中文" turns the title; the
# setting written by the check box holds at the next start.
set -euo pipefail
OAKHALT=${1:?usage: oakhalt_e2e.sh path/to/Oakhalt}
export E2E_SHOT=${E2E_SHOT:-/tmp/oakhalt-e2e-failure.png}
. "$(dirname "$0")/session.sh"
export LANG=zh_CN.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1 XDG_CONFIG_HOME="$E2E_WORK/config"
e2e_start_display

"$OAKHALT" >"$E2E_WORK/oakhalt.log" 2>&1 &
app=$!
E2E_PIDS+=("$app")
tip=$(e2e_wait_window '^Lumeno录音机迷你首页$' 30) || e2e_fail "no mini home page on the first start"
e2e_wait_window '^Lumeno录音机$' 5 >/dev/null || e2e_fail "the launcher is not visible behind it"
xdotool windowfocus --sync "$tip"
sleep 1
# Clear "启动时显示迷你首页" (at 8, 264 in the page), then OK (512, 264).
xdotool mousemove --window "$tip" 20 274 click 1
sleep 0.5
grep -q 'ShowTips=0' "$XDG_CONFIG_HOME/Oakhalt/Oakhalt.conf" || e2e_fail "clearing the box did not store 0"
xdotool mousemove --window "$tip" 570 276 click 1
sleep 1
main=$(e2e_wait_window '^Lumeno录音机$' 5) || e2e_fail "no launcher window after OK"
xdotool windowfocus --sync "$main"
# "繁體中文" sits at 352, 248 in the window (161 x 41).
xdotool mousemove --window "$main" 400 268 click 1
e2e_wait_window '^Lumeno錄音機$' 5 >/dev/null || e2e_fail "the title did not turn Traditional"
kill "$app"; wait "$app" 2>/dev/null || true

"$OAKHALT" >>"$E2E_WORK/oakhalt.log" 2>&1 &
app=$!
E2E_PIDS+=("$app")
e2e_wait_window '^Lumeno录音机$' 30 >/dev/null || e2e_fail "the launcher did not start again"
sleep 2
if e2e_wait_window '迷你首页$' 1 >/dev/null; then e2e_fail "the mini home page opened although switched off"; fi
echo "1 passed, 0 failed"
