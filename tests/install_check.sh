#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the layout, the desktop
# entry and the AppStream metadata.
set -euo pipefail
BUILD=${1:?usage: install_check.sh build-dir}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$BUILD" --prefix "$prefix" >/dev/null
prog="$prefix/lib/oakhalt"
for f in "$prog/Oakhalt" "$prog/Tamsel" "$prog/Brevon" "$prog/wave/Welcome.wav" \
         "$prog/wave/开始录音.wav" "$prefix/bin/oakhalt" \
         "$prefix/share/icons/hicolor/128x128/apps/oakhalt.png"; do
    [ -e "$f" ] || { echo "FAIL: missing $f"; exit 1; }
done
[ "$(ls "$prog/wave" | wc -l)" = 19 ] || { echo "FAIL: wave/ should hold 19 prompts"; exit 1; }
desktop-file-validate "$prefix/share/applications/com.quorvel.Oakhalt.desktop"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/com.quorvel.Oakhalt.metainfo.xml"
echo "1 passed, 0 failed"
