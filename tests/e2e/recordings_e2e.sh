#!/usr/bin/env bash
# Her recordings kept and found without typing, as a person uses Brevon: a
# take, a second that replaces it unsaved, F4 and Enter (nothing typed)
# saves into her recordings folder under a name in words; F6 opens
# "我的录音", where 找回 puts the replaced take back from the desktop's
# trash byte for byte, and 发给家人 makes an MP3 of the take's length,
# shown selected by the file manager (a stand-in on a private session bus).
# While a take records, the desktop's screen saver (a stand-in too) is
# asked to hold off sleep and blanking, and let go after the take.
# The accessibility bus presses the window's buttons, as a switch user's
# tool would.
set -euo pipefail
BREVON=${1:?usage: recordings_e2e.sh path/to/Brevon}
HERE=$(cd "$(dirname "$0")" && pwd)
export E2E_SHOT=${E2E_SHOT:-/tmp/recordings-e2e-failure.png}
. "$HERE/session.sh"
atspi() { /usr/bin/python3 "$HERE/atspi.py" "$@"; }

e2e_start_desktop
e2e_start_dbus
export XDG_CONFIG_HOME="$E2E_WORK/config" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
shown="$E2E_WORK/file-manager"
/usr/bin/python3 "$HERE/fake_file_manager.py" "$shown" >"$E2E_WORK/file-manager.log" 2>&1 &
E2E_PIDS+=($!)
# A system bus of the test's own, with logind's stand-in on it.
sysbus="$E2E_WORK/system-bus"
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$sysbus" \
    >"$E2E_WORK/system-bus.log" 2>&1 &
E2E_PIDS+=($!)
e2e_until 5 '[ -s "$sysbus" ]' || true
export DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$sysbus")
login="$E2E_WORK/logind"
/usr/bin/python3 "$HERE/fake_logind.py" "$login" >"$E2E_WORK/logind.log" 2>&1 &
logind=$!
E2E_PIDS+=($logind)
awake="$E2E_WORK/screensaver"
/usr/bin/python3 "$HERE/fake_screensaver.py" "$awake" >"$E2E_WORK/screensaver.log" 2>&1 &
E2E_PIDS+=($!)
gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
    --method org.a11y.Bus.GetAddress >/dev/null || e2e_fail "no accessibility bus"
e2e_until 5 '[ -f "$shown" ] && [ -f "$login" ]' || true
e2e_feed_tone 60
mine="$HOME/Music/录音"

"$BREVON" oldstart >"$E2E_WORK/brevon.log" 2>&1 &
app=$!
E2E_PIDS+=($app)
main=$(e2e_wait_window '^录音机标准版$' 15) || e2e_fail "the recorder window did not appear"
xdotool windowfocus --sync "$main"
sleep 1

echo "== a take replaced unsaved, the next one kept with F4 and Enter"
xdotool key F1
sleep 1.2
xdotool key F1
sleep 0.5
xdotool key F1
sleep 1.5
# While a take records, the desktop may not sleep or blank the screen.
holds() { grep -c -E "^(gnome )?Inhibit " "$awake"; }
releases() { grep -c -E "^(gnome )?(UnInhibit|Uninhibit) " "$awake"; }
[ "$(holds)" = 4 ] && [ "$(releases)" = 2 ] &&
    grep -q "^gnome Inhibit [0-9]* Brevon 12$" "$awake" ||
    e2e_fail "no sleep inhibitor held during the second take: $(cat "$awake")"
logind_holds() { grep -c "^Inhibit sleep:idle Brevon 正在录音 block$" "$login"; }
logind_releases() { grep -c "^released Brevon$" "$login"; }
[ "$(logind_holds)" = 2 ] && [ "$(logind_releases)" = 1 ] ||
    e2e_fail "logind's inhibitor not held during the second take: $(cat "$login")"
xdotool key F1
e2e_until 5 '[ "$(releases)" = 4 ]' || e2e_fail "the sleep inhibitors were not let go: $(cat "$awake")"
[ "$(logind_releases)" = 2 ] || e2e_fail "logind's descriptor was not closed: $(cat "$login")"
trashed=("$XDG_DATA_HOME"/Trash/files/*.wav)
[ -f "${trashed[0]}" ] || e2e_fail "the replaced take is not in the trash"
before=$(md5sum <"${trashed[0]}")
xdotool key F4
dialog=$(e2e_wait_window '^保存' 15) || e2e_fail "no save dialog"
xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool key Return
e2e_until 10 'compgen -G "$mine/*.wav" >/dev/null' || true
saved=("$mine"/*.wav)
[ -f "${saved[0]}" ] && [ ${#saved[@]} = 1 ] || e2e_fail "F4 and Enter saved nothing in $mine"
name=$(basename "${saved[0]}")
echo "saved as \"$name\""
printf '%s\n' "$name" | LC_ALL=C.UTF-8 grep -qE '^[0-9]+月[0-9]+日 (凌晨|上午|中午|下午|晚上)[0-9]+点[0-9]{2}分\.wav$' ||
    e2e_fail "the name offered is not the take's time in words: $name"
e2e_check_take "${saved[0]}" 1

echo "== 我的录音: the replaced take put back, a copy for phones"
xdotool windowfocus --sync "$main"
xdotool key F6
e2e_wait_window '^我的录音$' 15 >/dev/null || e2e_fail "F6 did not open 我的录音"
atspi wait Brevon 找回 20 || e2e_fail "no 找回 in 我的录音"
atspi press Brevon 找回
e2e_until 5 '[ "$(ls "$mine"/*.wav | wc -l)" = 2 ]' || e2e_fail "找回 put nothing back into $mine"
back=$(ls "$mine"/*.wav | grep -v -F "$name")
[ "$(md5sum <"$back")" = "$before" ] || e2e_fail "the take put back is not the one thrown away"
[ -e "${trashed[0]}" ] && e2e_fail "the take put back is still in the trash"
echo "put back as \"$(basename "$back")\", byte for byte"

atspi press Brevon 发给家人
mp3="${saved[0]%.wav}.mp3"
e2e_until 10 '[ -s "$mp3" ] && grep -qF "ShowItems" "$shown"' || true
[ -s "$mp3" ] || e2e_fail "发给家人 made no MP3"
wav_s=$(soxi -D "${saved[0]}")
mp3_s=$(soxi -D "$mp3")
echo "MP3: $(stat -c %s "$mp3") bytes, ${mp3_s} s for a take of ${wav_s} s"
awk -v a="$wav_s" -v b="$mp3_s" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= 0.1) }' ||
    e2e_fail "the MP3 lasts $mp3_s s, the take $wav_s s"
grep -qF "ShowItems file://" "$shown" || e2e_fail "the file manager was not asked to show the copy"
grep -F "ShowItems" "$shown" | grep -qF ".mp3" || e2e_fail "the file manager showed $(cat "$shown")"
echo "== a stall in a take is said; a trash that refuses keeps the take for the next start"
e2e_feed_tone 60
xdotool windowfocus --sync "$main"
xdotool key F1
sleep 1
kill -STOP "$app"
sleep 8 # longer than the sound server keeps a stopped client's sound
kill -CONT "$app"
said=$(atspi match Brevon '^录音中断了[0-9]+秒：电脑太忙了$' 5) ||
    e2e_fail "the stall's lost sound was not said"
echo "said: $said"
xdotool key F1
recovery="$XDG_DATA_HOME/Brevon/recovery"
e2e_until 5 '[ "$(ls "$recovery" | wc -l)" = 1 ]' || e2e_fail "no recovery copy of the unsaved take"
mv "$XDG_DATA_HOME/Trash" "$E2E_WORK/trash-was"
echo "not a folder" >"$XDG_DATA_HOME/Trash" # as a broken desktop can leave it
xdotool key F1 # a new take over the unsaved one
atspi match Brevon '上一段没有保存的录音没能放进回收站.*' 2 ||
    e2e_fail "the take the trash refused was not told of"
xdotool key F1
cwd=$(readlink "/proc/$app/cwd")
[ -e "$cwd/files" ] || [ -e "$cwd/info" ] && e2e_fail "a trash was made in the working folder $cwd"
[ "$(ls "$recovery" | wc -l)" = 2 ] || e2e_fail "the refused take is not in the recovery folder"

echo "== a closed lid ends the take and keeps it; a kill lets logind's hold go"
xdotool key F1
sleep 1
kill -USR1 "$logind"
box=$(e2e_wait_window '^Brevon$' 5) || e2e_fail "the sleep that ended the take was not said"
xdotool windowfocus --sync "$box" key Return
[ "$(ls "$recovery" | wc -l)" = 3 ] || e2e_fail "the take ended by the sleep is not kept"
xdotool windowfocus --sync "$main"
xdotool key F1
sleep 1
kill -KILL "$app"
wait "$app" 2>/dev/null || true
e2e_until 5 '[ "$(logind_holds)" = "$(logind_releases)" ]' ||
    e2e_fail "logind's hold outlived the program: $(cat "$login")"
"$BREVON" oldstart >"$E2E_WORK/brevon2.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait_window '^Brevon$' 15 >/dev/null || e2e_fail "the refused take was not offered at the next start"
echo "1 passed, 0 failed"
