#!/usr/bin/env bash
# The suite from the launcher, as a person uses it: page two, "下一步" starts
# Brevon and the launcher ends; then the speech mode, where spoken "录音"
# (played into the sink whose monitor is the microphone) starts a take,
# "停止" stops it and "保存" opens the save dialog; the file holds the take.
set -euo pipefail
OAKHALT=$(readlink -f "${1:?usage: speech_e2e.sh path/to/Oakhalt}")
export E2E_SHOT=${E2E_SHOT:-/tmp/speech-e2e-failure.png}
. "$(dirname "$0")/session.sh"
export LANG=zh_CN.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1 XDG_CONFIG_HOME="$E2E_WORK/config"
mkdir -p "$XDG_CONFIG_HOME/Oakhalt"
printf '[Config]\nShowTips=0\n' >"$XDG_CONFIG_HOME/Oakhalt/Oakhalt.conf"
e2e_start_display
e2e_start_pulse
e2e_feed_room 600

start_launcher() {
    (cd / && exec "${1:-$OAKHALT}") >>"$E2E_WORK/oakhalt.log" 2>&1 &
    launcher=$!
    E2E_PIDS+=("$launcher")
    main=$(e2e_wait_window '^Lumeno录音机$' 30) || e2e_fail "no launcher window"
    xdotool windowfocus --sync "$main"
    sleep 0.5
    xdotool mousemove --window "$main" 464 468 click 1 # page one: 下一步
    sleep 1
}

echo "== standard mode starts Brevon and ends the launcher"
# From a folder whose name has blanks, quotes and Chinese, started elsewhere.
odd="$E2E_WORK/录 音 'q'"
mkdir -p "$odd"
cp "$OAKHALT" "$(dirname "$OAKHALT")/Brevon" "$odd/"
start_launcher "$odd/Oakhalt"
xdotool mousemove --window "$main" 472 460 click 1 # page two: 下一步 (普通录音模式 is chosen)
e2e_wait_window '^录音机标准版$' 20 >/dev/null || e2e_fail "Brevon did not start"
for _ in $(seq 50); do kill -0 "$launcher" 2>/dev/null || break; sleep 0.1; done
kill -0 "$launcher" 2>/dev/null && e2e_fail "the launcher still runs after starting Brevon"
pkill -f "$odd/Brevon" || true

# What the window heard: the recognised-text box, copied out.
heard() {
    xdotool mousemove --window "$sdk" 190 436 click 1
    xdotool key ctrl+a ctrl+c ctrl+End
    xclip -o -selection clipboard 2>/dev/null || true
}
save_dialog_open() { e2e_wait_window '^保存' 2 >/dev/null; }

# Says $1 with synthesised voices until it has been obeyed: the window shows
# the phrase, or, with $2 a check of our own, that check holds. The voices are
# ones the recogniser takes for the word (bench/speech_accuracy.sh says how
# often that is).
say() {
    local word=$1 check=$2; shift 2
    local before after spec
    for spec in "$@"; do
        [ -z "$check" ] && before=$(heard)
        set -- $spec # speed, pitch, voice variant
        espeak-ng -v "cmn-latn-pinyin${3:-}" -s "$1" -p "$2" -w "$E2E_WORK/say.wav" "$word"
        paplay -d nullsink "$E2E_WORK/say.wav"
        sleep 1.5
        if [ -n "$check" ]; then
            "$check" && { echo "obeyed $word"; return 0; }
        else
            after=$(heard)
            [ "${after#"$before"}" = "$word " ] && { echo "heard $word"; return 0; }
        fi
    done
    echo "\"$word\" was not recognised with any of the voices"
    return 1
}

sox -q -n -r 44100 -c 2 -b 16 "$E2E_WORK/tone.wav" synth 2 sine 440 vol 0.3

# Recognition of synthesised speech is far from certain (bench/speech_accuracy.sh),
# so a session whose words were not taken is tried again from the start, up
# to three times.
speech_session() {
    echo "== speech mode"
    start_launcher
    xdotool mousemove --window "$main" 130 318 click 1 # 根据语音识别进行录音
    xdotool mousemove --window "$main" 472 460 click 1
    sdk=$(e2e_wait_window '^语音识别录音机$' 20) || e2e_fail "no speech recorder window"
    xdotool windowfocus --sync "$sdk"
    sleep 0.5
    xdotool mousemove --window "$sdk" 108 184 click 1 # 开始识别
    sleep 2
    say 录音 "" "130 50" "100 50 +m1" "160 50 +f1" "100 50" "160 50 +m3" || return 1
    paplay -d nullsink "$E2E_WORK/tone.wav"
    say 停止 "" "110 30 +m1" "100 30 +m1" "100 20 +m7" "110 20 +m2" "110 40 +m3" "100 20 +f1" ||
        return 1
    say 保存 save_dialog_open "130 50 +f2" "160 50 +f1" "160 50 +f2" "130 50 +f1" "140 50 +f2" \
        "140 50 +f3" || return 1
}

for attempt in 1 2 3; do
    speech_session && break
    [ "$attempt" = 3 ] && e2e_fail "the spoken commands were not obeyed in three sessions"
    kill "$launcher" 2>/dev/null || true
    wait "$launcher" 2>/dev/null || true
done
target="$E2E_WORK/语音录音.wav"
e2e_save_as "$target"
e2e_check_take "$target" 2
echo "1 passed, 0 failed"
