#!/usr/bin/env bash
# How long the launcher takes from its start to its window on screen, with
# the mini home page on and off (N runs each, 5 by default; median and all
# runs printed). The page's address is the build's example host, which does
# not resolve, so no network time is counted.
set -euo pipefail
OAKHALT=${1:-$(dirname "$0")/../build/release/bin/Oakhalt}
N=${2:-5}
. "$(dirname "$0")/../tests/e2e/session.sh"
e2e_start_launcher_display

now_ms() { date +%s%3N; }
for tips in 1 0; do
    printf '[Config]\nShowTips=%s\n' "$tips" >"$XDG_CONFIG_HOME/Oakhalt/Oakhalt.conf"
    times=()
    for _ in $(seq "$N"); do
        t0=$(now_ms)
        "$OAKHALT" &
        app=$!
        e2e_wait_window '^Lumeno录音机$' 20 >/dev/null || e2e_fail "no launcher window"
        times+=($(( $(now_ms) - t0 )))
        kill "$app"; wait "$app" 2>/dev/null || true
    done
    median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
    echo "mini home page $([ "$tips" = 1 ] && echo on || echo off): window after ${times[*]} ms, median $median ms"
done
