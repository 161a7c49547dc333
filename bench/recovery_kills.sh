#!/usr/bin/env bash
# How much of a take a kill loses: Brevon is killed (SIGKILL) N times (20 by
# default) at a random moment 1 to 15 s into a take; each time the recovery
# file left behind is compared with how long the take ran. Prints each gap
# and the largest.
set -euo pipefail
BREVON=${1:-$(dirname "$0")/../build/release/bin/Brevon}
N=${2:-20}
. "$(dirname "$0")/../tests/e2e/session.sh"
e2e_start_desktop
e2e_feed_tone $((N * 25))
export XDG_DATA_HOME="$E2E_WORK/data"
folder="$XDG_DATA_HOME/Brevon/recovery"

worst=0
for i in $(seq "$N"); do
    rm -rf "$folder"
    "$BREVON" oldstart &
    app=$!
    main=$(e2e_wait_window '^录音机标准版$' 15) || e2e_fail "no recorder window"
    xdotool windowfocus --sync "$main"
    sleep 3
    wait_s=$(awk -v r="$RANDOM" 'BEGIN { printf "%.2f", 1 + 14 * r / 32767 }')
    t0=$(date +%s.%N)
    xdotool key F1
    sleep "$wait_s"
    t1=$(date +%s.%N)
    kill -KILL "$app"
    wait "$app" 2>/dev/null || true
    file=$(find "$folder" -name '*.wav' | head -1)
    have=0
    # The header may be a flush behind; what a reader gets is what counts.
    [ -n "$file" ] && have=$(awk -v b="$(stat -c %s "$file")" 'BEGIN { printf "%.3f", (b - 44) / 176400 }')
    gap=$(awk -v a="$t0" -v b="$t1" -v h="$have" 'BEGIN { printf "%.3f", (b - a) - h }')
    hdr=$([ -n "$file" ] && soxi -D "$file" 2>/dev/null || echo 0)
    echo "kill $i after $(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f", b - a }') s: file holds $have s (header says $hdr s), gap $gap s"
    worst=$(awk -v w="$worst" -v g="$gap" 'BEGIN { print (g > w ? g : w) }')
done
echo "largest gap over $N kills: $worst s"
