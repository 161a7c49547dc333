#!/usr/bin/env bash
# Tamsel as a person uses it: the welcome prompt sounds before the window
# appears; F1 speaks its prompt and only then records (the take is shorter
# than the time between the keys by the prompt's length); a pause and a
# resume in the middle, whose prompts are not recorded either; "繁" turns
# the window title to Traditional script.
set -euo pipefail
TAMSEL=${1:?usage: tamsel_e2e.sh path/to/Tamsel}
WAVE_DIR="$(dirname "$TAMSEL")/wave"
export E2E_SHOT=${E2E_SHOT:-/tmp/tamsel-e2e-failure.png}
. "$(dirname "$0")/session.sh"

e2e_start_desktop
e2e_feed_tone 120 0
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

echo "== the welcome prompt before the window"
heard="$E2E_WORK/heard.wav"
parec -d nullsink.monitor --rate=44100 --channels=2 --format=s16le --file-format=wav "$heard" &
listener=$!
E2E_PIDS+=("$listener")
sleep 0.5
t_listen=$(now)
"$TAMSEL" oldstart &
app=$!
E2E_PIDS+=("$app")
main=$(e2e_wait_window '^语音提示录音机$' 30) || e2e_fail "the recorder window did not appear"
t_window=$(now)
kill -INT "$listener"; wait "$listener" || true
# What the sink played up to the moment the window appeared.
before=$(sox "$heard" -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}')
echo "window after $(elapsed "$t_listen" "$t_window") s; loudest sound before it: ${before}"
awk -v m="$before" 'BEGIN { exit !(m > 0.1) }' || e2e_fail "no sound before the window appeared"

echo "== F1: the prompt, then the capture; F2 twice: paused, prompt, resumed"
xdotool windowfocus --sync "$main"
sleep 2
prompt=$(soxi -D "$WAVE_DIR/开始录音.wav")
resume=$(soxi -D "$WAVE_DIR/暂停录音.wav")
t0=$(now)
xdotool key F1
sleep 4
tp=$(now)
xdotool key F2
sleep 3 # the pause prompt
xdotool key F2
tr=$(now)
# Long enough that a resume which records nothing cannot pass for the
# starts' own delay.
sleep 5
xdotool key F1
t1=$(now)
sleep 3 # the stop prompt
xdotool key F4
sleep 3 # the save prompt, then the dialog
target="$E2E_WORK/take.wav"
e2e_save_as "$target"
dur=$(soxi -D "$target")
# Recorded: from after the start prompt to the pause, and from after the
# resume's prompt to the stop.
keys=$(awk -v a="$t0" -v b="$t1" -v p="$tp" -v r="$tr" -v q="$resume" 'BEGIN { printf "%.3f", b - a - (r - p) - q }')
peak=$(sox "$target" -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}')
echo "keys ${keys} s apart (less the pause and its prompt), prompt ${prompt} s, take ${dur} s, peak ${peak}"
# Each of the two starts comes after its prompt has been pushed through
# the output's buffers and a device opened and closed for it: measured
# 0.36-0.44 s a start, up to half a second on a loaded machine under the
# sanitizers.
awk -v d="$dur" -v k="$keys" -v p="$prompt" 'BEGIN { exit !(d < k - p + 0.5 && d > k - p - 1.3) }' ||
    e2e_fail "the take (${dur} s) does not start after the prompt"
awk -v m="$peak" 'BEGIN { exit !(m < 0.05) }' || e2e_fail "a prompt was recorded (peak $peak)"

echo "== 繁 switches the title"
xdotool windowfocus --sync "$main"
# "繁" sits at 302-335, 61-94 in the window (its banner starts 48 pixels left of it).
xdotool mousemove --window "$main" 318 77 click 1
e2e_wait_window '^語音提示錄音機$' 10 >/dev/null || e2e_fail "the title did not change to 語音提示錄音機"

echo "1 passed, 0 failed"
