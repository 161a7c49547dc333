#!/usr/bin/env bash
# Brevon as a person uses it: refused without the launcher's word; with it,
# a first take of a second that the next F1 replaces (it must be found in
# the desktop's trash, playable), then F1, about two seconds, F1, F4, a
# Chinese file name typed into the save dialog, Enter. The file is then
# checked with sox; F3 plays it.
set -euo pipefail
BREVON=${1:?usage: brevon_e2e.sh path/to/Brevon}
export E2E_SHOT=${E2E_SHOT:-/tmp/brevon-e2e-failure.png}
. "$(dirname "$0")/session.sh"

e2e_start_desktop
e2e_feed_tone 60

echo "== refused without the exact word"
for arg in "" "OLDSTART"; do
    if [ -z "$arg" ]; then "$BREVON" & else "$BREVON" "$arg" & fi
    pid=$!
    box=$(e2e_wait_window '^错误运行$' 15) || e2e_fail "no refusal box for '$arg'"
    [ "$(e2e_capture_streams)" = 0 ] || e2e_fail "a capture device was opened for '$arg'"
    xdotool windowfocus --sync "$box" key Return
    e2e_until 5 '! kill -0 "$pid" 2>/dev/null' || true
    kill -0 "$pid" 2>/dev/null && e2e_fail "Brevon '$arg' still runs after the refusal"
    echo "refused '$arg'"
done

echo "== a take recorded, stopped and saved"
"$BREVON" oldstart &
app=$!
E2E_PIDS+=("$app")
main=$(e2e_wait_window '^录音机标准版$' 15) || e2e_fail "the recorder window did not appear"
xdotool windowfocus --sync "$main"
sleep 1
# The microphone is held only while a take runs.
[ "$(e2e_capture_streams)" = 0 ] || e2e_fail "the microphone is held while the recorder sits idle"
xdotool key F1
sleep 1
xdotool key F1
sleep 0.5
t0=$(date +%s.%N)
xdotool key F1
sleep 1
[ "$(e2e_capture_streams)" = 1 ] || e2e_fail "no capture stream while a take runs"
sleep 1
xdotool key F1
t1=$(date +%s.%N)
xdotool key F4
target="$E2E_WORK/录音 测试.wav"
e2e_save_as "$target"
[ "$(e2e_capture_streams)" = 0 ] || e2e_fail "the microphone is still held after the take"

rate=$(soxi -r "$target"); chans=$(soxi -c "$target"); bits=$(soxi -b "$target")
dur=$(soxi -D "$target")
wanted=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
rms=$(sox "$target" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
echo "saved: ${rate} Hz, ${chans} channels, ${bits} bit, ${dur} s (keys ${wanted} s apart), RMS ${rms}"
[ "$rate" = 44100 ] || e2e_fail "rate $rate"
[ "$chans" = 2 ] || e2e_fail "channels $chans"
[ "$bits" = 16 ] || e2e_fail "bits $bits"
echo "$dur $wanted" | awk '{ d = $1 - $2; if (d < 0) d = -d; exit !(d <= 0.3) }' ||
    e2e_fail "duration $dur is not within 0.3 s of $wanted"
echo "$rms" | awk '{ exit !($1 > 0.05) }' || e2e_fail "the take is silent (RMS $rms)"

trashed=("$XDG_DATA_HOME"/Trash/files/*.wav)
[ -f "${trashed[0]}" ] && [ ${#trashed[@]} = 1 ] || e2e_fail "the replaced take is not in the trash"
gone=$(soxi -D "${trashed[0]}")
echo "in the trash: $(basename "${trashed[0]}"), ${gone} s"
echo "$gone" | awk '{ exit !($1 > 0.7 && $1 < 1.3) }' || e2e_fail "the trashed take lasts $gone s"

echo "== the settings window closed, the keys work without a click"
for _ in 1 2; do
    xdotool windowfocus --sync "$main"
    xdotool key F5
    settings=$(e2e_wait_window '^设置$' 10) || e2e_fail "F5 opened no settings window"
    xdotool windowfocus --sync "$settings" key Escape
    e2e_until 5 '! e2e_window_shown "^设置$"' ||
        e2e_fail "Escape did not close the settings window"
    xdotool key F1
    e2e_until 5 '[ "$(e2e_capture_streams)" = 1 ]' ||
        e2e_fail "F1 did nothing after the settings window closed"
    xdotool key F1
    e2e_until 5 '[ "$(e2e_capture_streams)" = 0 ]' || e2e_fail "F1 did not end the take"
done

echo "== F3 plays the take, then lets the speaker go"
playing() { pactl list short sink-inputs | wc -l; }
others=$(playing) # the tone that stands in for the room
xdotool windowfocus --sync "$main"
xdotool key F3
e2e_until 3 '[ "$(playing)" = $((others + 1)) ]' || e2e_fail "F3 plays nothing"
# The take lasts about 2 s.
e2e_until 5 '[ "$(playing)" = "$others" ]' || e2e_fail "the take's playback did not end with the take"
echo "played"

kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true
echo "1 passed, 0 failed"
