#!/usr/bin/env bash
# Takes that must not be lost, with Brevon as a person uses it: killed ten
# seconds into a take, the next start offers the take and saves it (the
# first save, with just a name typed, lands in the user's own folder); the
# microphone taken away in the middle of a take ends it and keeps it; the
# sound server killed in the middle of a take and started again: F1 while
# it is away says so and keeps the take, F1 once it is back records; the
# recorder stopped for 10 s while idle: the next take holds what is heard
# after F1, not the backlog from before the freeze; stopped for 10 s in the
# middle of a take: the take keeps what it heard and ends at its key.
set -euo pipefail
BREVON=${1:?usage: recovery_e2e.sh path/to/Brevon}
export E2E_SHOT=${E2E_SHOT:-/tmp/recovery-e2e-failure.png}
. "$(dirname "$0")/session.sh"

e2e_start_desktop
pulse=${E2E_PIDS[-1]} # the sound server, killed and started again below
e2e_feed_tone 120
# A normal user's home, with no music folder: the recordings folder is
# made there (Music/录音).
export HOME="$E2E_WORK/home" XDG_DATA_HOME="$E2E_WORK/home/.local/share"
export XDG_CONFIG_HOME="$E2E_WORK/home/.config"
mkdir -p "$HOME"

start_brevon() {
    "$BREVON" oldstart &
    app=$!
    E2E_PIDS+=("$app")
    main=$(e2e_wait_window '^录音机标准版$' 15) || e2e_fail "the recorder window did not appear"
}

echo "== killed ten seconds into a take"
start_brevon
xdotool windowfocus --sync "$main"
sleep 3 # the source's first block comes about 1.5 s after it is opened
t0=$(date +%s.%N)
xdotool key F1
sleep 10
t1=$(date +%s.%N)
kill -KILL "$app"
wait "$app" 2>/dev/null || true
left=$(find "$XDG_DATA_HOME/Brevon/recovery" -name '*.wav' | wc -l)
[ "$left" = 1 ] || e2e_fail "$left recovery files after the kill"

start_brevon
box=$(e2e_wait_window '^Brevon$' 15) || e2e_fail "no offer to save the lost take"
xdotool windowfocus --sync "$box" key Return # 是
dialog=$(e2e_wait_window '^保存' 15) || e2e_fail "no save dialog after 是"
xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool type --delay 20 "recovered" # replaces the name offered
xdotool key Return
target="$HOME/Music/录音/recovered.wav"
# Written whole under another name, then renamed: there when it is whole.
e2e_until 10 '[ -f "$target" ]' || e2e_fail "the recovered take is not in the user's folder"
dur=$(soxi -D "$target")
wanted=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
echo "recovered ${dur} s of a take ${wanted} s long when killed; $(soxi -r "$target") Hz, $(soxi -c "$target") channels"
awk -v d="$dur" -v w="$wanted" 'BEGIN { exit !(w - d <= 1.5 && d <= w + 0.3) }' ||
    e2e_fail "the recovered take lost more than 1.5 s"
e2e_check_take "$target" 8
left=$(find "$XDG_DATA_HOME/Brevon/recovery" -name '*.wav' | wc -l)
[ "$left" = 0 ] || e2e_fail "the recovery file stayed after the save"

echo "== the microphone taken away during a take"
kill "$app"
wait "$app" 2>/dev/null || true
# A microphone of its own (a monitor of an output is no device to lose).
mic=$(pactl load-module module-sine-source source_name=mic rate=44100 frequency=440)
pactl set-default-source mic
start_brevon
xdotool windowfocus --sync "$main"
sleep 2
xdotool key F1
e2e_wait_heard Brevon 1.5 15 || e2e_fail "the microphone sent no sound"
pactl unload-module "$mic"
box=$(e2e_wait_window '^Brevon$' 5) || e2e_fail "the lost microphone was not reported"
xdotool windowfocus --sync "$box" key Return
xdotool windowfocus --sync "$main"
xdotool key F4
# A name with double quotes is refused with a word, not saved as another.
dialog=$(e2e_wait_window '^保存' 15) || e2e_fail "no save dialog"
xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool type --delay 20 '"dq"'
xdotool key Return
sleep 1
xdotool key Return # the refusal's OK
sleep 0.5
ls -A "$HOME/Music/录音" | grep -q dq &&
    e2e_fail "a name with quotes was saved as $(ls -A "$HOME/Music/录音" | grep dq)"
xdotool windowfocus --sync "$dialog" key ctrl+a
LC_ALL=C.UTF-8 xdotool type --delay 20 "$HOME/after-loss.wav"
xdotool key Return
e2e_until 10 '[ -f "$HOME/after-loss.wav" ]' || e2e_fail "no file was saved after the refusal"
e2e_check_take "$HOME/after-loss.wav" 1

echo "== the sound server killed during a take, then started again"
xdotool windowfocus --sync "$main"
xdotool key F1
sleep 3
kill -KILL "$pulse" || e2e_fail "no sound server to kill"
box=$(e2e_wait_window '^Brevon$' 5) || e2e_fail "the lost server was not reported"
xdotool windowfocus --sync "$box" key Return
sleep 0.5
kept=$(find "$XDG_DATA_HOME/Brevon/recovery" -name '*.wav')
kept_bytes=$(stat -c %s "$kept")
xdotool windowfocus --sync "$main"
xdotool key F1
box=$(e2e_wait_window '^Brevon$' 5) || e2e_fail "F1 with no sound server said nothing"
xdotool windowfocus --sync "$box" key Return
[ "$(stat -c %s "$kept")" = "$kept_bytes" ] || e2e_fail "F1 with no sound server touched the kept take"
e2e_start_pulse
e2e_feed_tone 30
restart_tone=${E2E_PIDS[-1]}
sleep 3 # SDL notices the server again
xdotool windowfocus --sync "$main"
xdotool key F1
sleep 3
e2e_wait_window '^Brevon$' 1 >/dev/null && e2e_fail "the take after the restart failed"
xdotool key F1
xdotool key F4
e2e_save_as "$HOME/after-restart.wav"
e2e_check_take "$HOME/after-restart.wav" 2.5
trashed=$(find "$XDG_DATA_HOME/Trash/files" -name '*.wav' | wc -l)
[ "$trashed" = 1 ] || e2e_fail "$trashed takes in the trash, not the one kept before the restart"

echo "== stopped for 10 s while idle"
e2e_kill_tree "$restart_tone" # the only tone still playing (the first died with its server)
e2e_feed_tone 30 0             # silence until the freeze ends, then a tone
sleep 1
kill -STOP "$app"
sleep 10
kill -CONT "$app"
e2e_feed_tone 40 0.5
sleep 1
xdotool windowfocus --sync "$main"
xdotool key F1
e2e_wait_heard Brevon 2.9 15 || e2e_fail "nothing heard after the freeze"
xdotool key F1
xdotool key F4
e2e_save_as "$HOME/after-freeze.wav"
e2e_check_take "$HOME/after-freeze.wav" 2.5

echo "== stopped for 10 s during a take"
xdotool windowfocus --sync "$main"
xdotool key F1
t0=$(date +%s.%N)
e2e_wait_heard Brevon 1.9 15 || e2e_fail "nothing heard before the freeze"
kill -STOP "$app"
sleep 10
kill -CONT "$app"
e2e_wait_heard Brevon 3.8 15 || e2e_fail "nothing heard after the freeze"
xdotool key F1
t1=$(date +%s.%N)
xdotool key F4
e2e_save_as "$HOME/frozen.wav"
# What was heard before and after the freeze is kept, and the take still
# ends at its key: it is no longer than the time between the keys.
e2e_check_take "$HOME/frozen.wav" 3.5
awk -v d="$(soxi -D "$HOME/frozen.wav")" -v a="$t0" -v b="$t1" 'BEGIN { exit !(d <= b - a + 0.3) }' ||
    e2e_fail "the take outlasts its keys"

kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true
echo "1 passed, 0 failed"
