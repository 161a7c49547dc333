#!/usr/bin/env bash
# The suite on Wayland (weston, headless, Qt's wayland platform), driven
# through the accessibility bus, since a Wayland desktop takes no synthetic
# input: the launcher opens; its magnifier, which cannot read the screen
# there, switches on GNOME's own zoom at its factor (GNOME's settings in a
# private dconf database) and follows the window's control; the launcher
# hands over to Brevon, and the user's own zoom settings are back; Brevon
# records a take; on KDE the magnifier zooms through KWin's shortcuts (a
# stand-in for KWin answers on the session bus); Tamsel opens.
set -euo pipefail
BIN=$(dirname "${1:?usage: wayland_e2e.sh path/to/Oakhalt}")
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/session.sh"
atspi() { /usr/bin/python3 "$HERE/atspi.py" "$@"; }

export LANG=zh_CN.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1 XDG_CONFIG_HOME="$E2E_WORK/config"
mkdir -p "$XDG_CONFIG_HOME/Oakhalt"
e2e_start_pulse
e2e_start_dbus
weston --backend=headless-backend.so --use-pixman --socket=wl-e2e --width=1280 --height=1024 \
    --idle-time=0 >"$E2E_WORK/weston.log" 2>&1 &
E2E_PIDS+=($!)
e2e_until 5 '[ -S "$XDG_RUNTIME_DIR/wl-e2e" ]' || true
[ -S "$XDG_RUNTIME_DIR/wl-e2e" ] || e2e_fail "weston did not start"
export WAYLAND_DISPLAY=wl-e2e QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset DISPLAY
# The accessibility bus is started before the programs, which join it as
# they start.
gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
    --method org.a11y.Bus.GetAddress >/dev/null || e2e_fail "no accessibility bus"

export XDG_CURRENT_DESKTOP=GNOME
zoom() { gsettings get org.gnome.desktop.a11y.applications screen-magnifier-enabled; }
factor() { gsettings get org.gnome.desktop.a11y.magnifier mag-factor; }
gsettings set org.gnome.desktop.a11y.magnifier mag-factor 1.5 # the user's own
[ "$(zoom)" = false ] || e2e_fail "GNOME's zoom is on before the test"

echo "== the launcher and its magnifier"
"$BIN/Oakhalt" >"$E2E_WORK/oakhalt.log" 2>&1 &
E2E_PIDS+=($!)
atspi wait Oakhalt 放大镜 30 || e2e_fail "the launcher did not open"
atspi press Oakhalt 放大镜
e2e_until 5 '[ "$(zoom)" = true ]' || true
[ "$(zoom)" = true ] || e2e_fail "GNOME's zoom was not switched on"
[ "$(factor)" = 2.0 ] || e2e_fail "GNOME's zoom is at $(factor), not the window's 2"
atspi value Oakhalt 放大倍数 5
e2e_until 5 '[ "$(factor)" = 5.0 ]' || true
[ "$(factor)" = 5.0 ] || e2e_fail "the window's factor did not reach GNOME's zoom ($(factor))"
echo "GNOME's zoom on at 2, then 5"

echo "== the launcher hands over to Brevon"
atspi press Oakhalt 下一步
atspi press Oakhalt 普通录音模式
atspi press Oakhalt 下一步
atspi gone Oakhalt 20 || e2e_fail "the launcher did not hand over"
[ "$(zoom)" = false ] || e2e_fail "GNOME's zoom stayed on after the launcher"
[ "$(factor)" = 1.5 ] || e2e_fail "the user's zoom factor was not put back ($(factor))"
echo "the user's zoom settings are back"
atspi wait Brevon "录 音" 30 || e2e_fail "Brevon did not open"
# A real microphone sends its first sound within a few hundredths of a
# second of being opened; an idle null sink's monitor only after about
# 1.5 s. The room a microphone hears keeps the sink running like one, and
# the take ends once it holds two seconds of it, however slow the start.
e2e_feed_room 30
sleep 1
atspi press Brevon "录 音"
e2e_wait_heard Brevon 2 15 || e2e_fail "Brevon heard nothing"
[ "$(e2e_capture_streams)" = 1 ] || e2e_fail "Brevon is not recording"
atspi press Brevon "停 止" # what the button reads, and is named, while a take runs
sleep 1
# About two seconds of sound or more: each press is a new client on the
# accessibility bus, which a loaded machine can slow by a second or two.
take=$(atspi match Brevon "0:0[1-9]" 5) ||
    e2e_fail "no take of about two seconds ($(atspi match Brevon '.*[0-9]:[0-9][0-9]' 1) shown)"
[ "$(e2e_capture_streams)" = 0 ] || e2e_fail "the microphone is still held after the take"
echo "Brevon recorded a take ($take)"
# Started by the launcher, not by us: ended by the process behind it.
kill "$(atspi pid Brevon)" 2>/dev/null || true

echo "== the magnifier on KDE: KWin's zoom (a stand-in for KWin on the session bus)"
kwin_state="$E2E_WORK/kwin-zoom"
/usr/bin/python3 "$HERE/fake_kwin.py" "$kwin_state" &
E2E_PIDS+=($!)
kwin() { cat "$kwin_state" 2>/dev/null; }
e2e_until 5 '[ "$(kwin)" = "unloaded 1.00" ]' || true
[ "$(kwin)" = "unloaded 1.00" ] || e2e_fail "the stand-in for KWin did not start"
XDG_CURRENT_DESKTOP=KDE "$BIN/Oakhalt" >"$E2E_WORK/oakhalt-kde.log" 2>&1 &
E2E_PIDS+=($!)
atspi wait Oakhalt 放大镜 30 || e2e_fail "the launcher did not open on KDE"
atspi press Oakhalt 放大镜
e2e_until 5 '[ "$(kwin)" = "loaded 2.07" ]' || true
[ "$(kwin)" = "loaded 2.07" ] || e2e_fail "KWin's zoom is not at the window's 2 ($(kwin))"
atspi value Oakhalt 放大倍数 5
e2e_until 5 '[ "$(kwin)" = "loaded 5.16" ]' || true
[ "$(kwin)" = "loaded 5.16" ] || e2e_fail "KWin's zoom did not follow the window to 5 ($(kwin))"
atspi press Oakhalt 下一步
atspi press Oakhalt 普通录音模式
atspi press Oakhalt 下一步
atspi gone Oakhalt 20 || e2e_fail "the launcher did not hand over on KDE"
[ "$(kwin)" = "unloaded 1.00" ] || e2e_fail "KWin's zoom stayed on after the launcher ($(kwin))"
echo "KWin's zoom on at 2, then 5, then off and its effect unloaded"
atspi wait Brevon "录 音" 30 && kill "$(atspi pid Brevon)" 2>/dev/null || true

echo "== Tamsel"
"$BIN/Tamsel" oldstart >"$E2E_WORK/tamsel.log" 2>&1 &
E2E_PIDS+=($!)
atspi wait Tamsel "录 音" 30 || e2e_fail "Tamsel did not open"
echo "1 passed, 0 failed"
