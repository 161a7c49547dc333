#!/usr/bin/env bash
# Training the speech recorder on one voice, as a person does it: offered
# training at the first opening, the user says yes; the training window says
# each command word and asks for it three times (synthesised speech
# played into the sink whose monitor is the microphone), "完成" keeps the
# recordings; then that voice, at another speed and pitch, drives the take:
# "录音" starts it, "停止" stops it, "保存" opens the save dialog.
set -euo pipefail
OAKHALT=$(readlink -f "${1:?usage: speech_training_e2e.sh path/to/Oakhalt}")
export E2E_SHOT=${E2E_SHOT:-/tmp/speech-training-e2e-failure.png}
. "$(dirname "$0")/session.sh"
export LANG=zh_CN.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1
export XDG_CONFIG_HOME="$E2E_WORK/config" XDG_DATA_HOME="$E2E_WORK/data"
mkdir -p "$XDG_CONFIG_HOME/Oakhalt"
printf '[Config]\nShowTips=0\n' >"$XDG_CONFIG_HOME/Oakhalt/Oakhalt.conf"
e2e_start_desktop
e2e_feed_room 600

voice=+m5
speak() { # word speed pitch
    espeak-ng -v "cmn-latn-pinyin$voice" -s "$2" -p "$3" -w "$E2E_WORK/say.wav" "$1"
    paplay -d nullsink "$E2E_WORK/say.wav"
    sleep 1.5
}

echo "== speech mode"
e2e_launcher_page_two "$OAKHALT"
xdotool mousemove --window "$main" 130 318 click 1 # 根据语音识别进行录音
xdotool mousemove --window "$main" 472 460 click 1
sdk=$(e2e_wait_window '^语音识别录音机$' 20) || e2e_fail "no speech recorder window"
xdotool windowfocus --sync "$sdk"
sleep 0.5

echo "== training, as offered at the first opening"
offer=$(e2e_wait_window '^口令训练$' 20) || e2e_fail "no offer of training"
xdotool windowfocus --sync "$offer"
sleep 4 # the offer is spoken ("要做口令训练吗？")
xdotool key Return # 现在训练
sleep 1
train=$(e2e_wait_window '^口令训练$' 20) || e2e_fail "no training window"
for w in 录音 暂停 继续 停止 播放 试听 保存 停止识别; do
    sleep 6 # the window says the word first ("请跟我说：…"), and only then listens
    for s in 100 130 160; do speak "$w" "$s" 50; done
done
xdotool mousemove --window "$train" 436 272 click 1 # 完成
sleep 1
takes=$(find "$XDG_DATA_HOME/Oakhalt/voice" -name 'word*_take*.wav' | wc -l)
echo "recordings kept: $takes"
[ "$takes" -eq 24 ] || e2e_fail "expected 24 recordings, found $takes"

# What the window heard: the recognised-text box, copied out.
heard() {
    xdotool mousemove --window "$sdk" 190 436 click 1
    xdotool key ctrl+a ctrl+c ctrl+End
    xclip -o -selection clipboard 2>/dev/null || true
}
obey() { # word check: said once, at another speed and pitch than trained
    local word=$1 check=$2 before after
    [ -z "$check" ] && before=$(heard)
    speak "$word" 115 40
    # With a check of our own the window is not clicked: a dialog the word
    # opened may lie over the text box.
    if [ -n "$check" ]; then "$check" && { echo "obeyed $word"; return 0; }
    else
        after=$(heard)
        [ "${after#"$before"}" = "$word " ] && { echo "heard $word"; return 0; }
    fi
    e2e_fail "\"$word\" was not recognised after training"
}
save_dialog_open() { e2e_wait_window '^保存' 2 >/dev/null; }

echo "== commands by the trained voice"
xdotool mousemove --window "$sdk" 108 184 click 1 # 开始识别
sleep 2
obey 录音 ""
sox -q -n -r 44100 -c 2 -b 16 "$E2E_WORK/tone.wav" synth 2 sine 440 vol 0.3
paplay -d nullsink "$E2E_WORK/tone.wav"
sleep 1 # the tone is an utterance of its own, not the start of the next word
obey 停止 ""
obey 保存 save_dialog_open
target="$E2E_WORK/训练后.wav"
e2e_save_as "$target"
e2e_check_take "$target" 2
echo "1 passed, 0 failed"
