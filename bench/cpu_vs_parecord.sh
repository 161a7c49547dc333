#!/usr/bin/env bash
# CPU time of Brevon recording for N seconds (60 by default) from the
# PulseAudio source, against parecord recording the same source for the same
# time, side by side in one run. Prints both and their ratio, and before it
# Brevon's CPU while it sits idle (no take, nothing playing) for 20 s.
# The tone's feed sets the source's pace (a block every few ms) unless
# E2E_FEED_LATENCY_MS asks for more than the recorder's block, as a real
# microphone would: E2E_FEED_LATENCY_MS=400 shows what the recorder's own
# block size costs (parecord then runs at the recorder's pace too).
# Beside them, when libpulse's headers are here, pulse_floor.cpp: a client
# that only copies the source's blocks into memory, the least any recorder
# on this sound server can cost.
set -euo pipefail
BREVON=${1:-$(dirname "$0")/../build/release/bin/Brevon}
SECS=${2:-60}
. "$(dirname "$0")/../tests/e2e/session.sh"
e2e_start_desktop
e2e_feed_tone $((SECS + 30))

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# "name ticks" for every thread of a process (names may hold blanks).
threads() {
    for t in /proc/"$1"/task/*; do
        printf '%s\t%s\n' "$(cat "$t/comm")" "$(sed 's/.*) //' "$t/stat" | awk '{ print $12 + $13 }')"
    done
}
hz=$(getconf CLK_TCK)

"$BREVON" oldstart &
app=$!
E2E_PIDS+=("$app")
main=$(e2e_wait_window '^录音机标准版$' 15) || e2e_fail "no recorder window"
xdotool windowfocus --sync "$main"
sleep 3
i0=$(ticks "$app")
sleep 20
i1=$(ticks "$app")
awk -v t=$((i1 - i0)) -v hz="$hz" 'BEGIN {
    printf "idle 20 s: Brevon %.2f s CPU (%.1f%% of one core)\n", t / hz, 100 * t / hz / 20 }'
floor=
if pkg-config --exists libpulse &&
    g++ -O2 -std=c++20 "$(dirname "$0")/pulse_floor.cpp" $(pkg-config --cflags --libs libpulse) \
        -o "$E2E_WORK/pulse_floor"; then
    "$E2E_WORK/pulse_floor" &
    floor=$!
    E2E_PIDS+=("$floor")
fi
parecord --rate=44100 --channels=2 --format=s16le --file-format=wav "$E2E_WORK/parecord.wav" &
rec=$!
E2E_PIDS+=("$rec")
xdotool key F1
b0=$(ticks "$app"); p0=$(ticks "$rec"); f0=${floor:+$(ticks "$floor")}
threads "$app" > "$E2E_WORK/threads0"
sleep "$SECS"
b1=$(ticks "$app"); p1=$(ticks "$rec"); f1=${floor:+$(ticks "$floor")}
threads "$app" > "$E2E_WORK/threads1"
xdotool key F1
kill -INT "$rec"; wait "$rec" || true
awk -v b=$((b1 - b0)) -v p=$((p1 - p0)) -v hz="$hz" -v s="$SECS" 'BEGIN {
    printf "recording %d s: Brevon %.2f s CPU, parecord %.2f s CPU, ratio %.2f\n",
           s, b / hz, p / hz, (p > 0 ? b / p : 0) }'
[ -z "$floor" ] || awk -v f=$((f1 - f0)) -v p=$((p1 - p0)) -v hz="$hz" 'BEGIN {
    printf "a bare libpulse client (pulse_floor) %.2f s CPU, against parecord %.2f\n",
           f / hz, (p > 0 ? f / p : 0) }'
# Where Brevon's time went, by thread name (threads of one name summed).
awk -F'\t' -v hz="$hz" 'NR == FNR { before[$1] += $2; next } { after[$1] += $2 }
    END { for (n in after) if (after[n] - before[n] > 0)
              printf "  %-16s %.2f s\n", n, (after[n] - before[n]) / hz }' \
    "$E2E_WORK/threads0" "$E2E_WORK/threads1" | sort -k2 -rn
