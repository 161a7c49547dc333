#!/usr/bin/env bash
# The first take after start: N times (20 by default) Brevon is started with
# a sine-wave microphone (PulseAudio's module-sine-source), F1 is pressed as
# soon as the window appears, F1 again 2 s later, and the take is saved.
# Prints each take's length against the time between the keys, and the
# largest difference.
set -euo pipefail
BREVON=${1:-$(dirname "$0")/../build/release/bin/Brevon}
N=${2:-20}
. "$(dirname "$0")/../tests/e2e/session.sh"
e2e_start_desktop
# PipeWire's PulseAudio server (E2E_SOUND=pipewire) has no sine source: a
# tone played into the null sink is the microphone there.
if pactl load-module module-sine-source source_name=mic rate=44100 frequency=440 >/dev/null 2>&1; then
    pactl set-default-source mic
else
    e2e_feed_tone $((N * 10 + 30))
fi
export HOME="$E2E_WORK/home"
mkdir -p "$HOME"

worst=0
for i in $(seq "$N"); do
    "$BREVON" oldstart &
    app=$!
    main=$(e2e_wait_window '^录音机标准版$' 15) || e2e_fail "no recorder window"
    xdotool windowfocus --sync "$main"
    t0=$(date +%s.%N)
    xdotool key F1
    sleep 2
    t1=$(date +%s.%N)
    xdotool key F1
    xdotool key F4
    e2e_save_as "$HOME/take$i.wav" >/dev/null
    kill "$app"
    wait "$app" 2>/dev/null || true
    dur=$(soxi -D "$HOME/take$i.wav")
    diff=$(awk -v a="$t0" -v b="$t1" -v d="$dur" 'BEGIN { printf "%+.3f", d - (b - a) }')
    echo "take $i: ${dur} s for keys $(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }') s apart ($diff s)"
    worst=$(awk -v w="$worst" -v d="$diff" 'BEGIN { if (d < 0) d = -d; print (d > w ? d : w) }')
done
echo "largest difference over $N first takes: $worst s"
