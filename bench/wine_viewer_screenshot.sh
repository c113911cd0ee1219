#!/usr/bin/env bash
# Plays a synthesised movie with the Windows korvane.exe under Wine on a
# virtual X display (Xvfb) and keeps a screenshot taken while it plays. It
# also reports, from Wine's DirectDraw and DirectSound traces, the display
# mode the viewer set, its surfaces, the first flip and the sound buffer.
# Kept out of the CI step: it depends on Wine's graphics under Xvfb.
#
# Usage: bench/wine_viewer_screenshot.sh [OUTPUT.png]
# Needs: the Windows build (build-win32) and the Linux build's mkdisc
# (build-winlinux), as scripts/wine_tests.sh makes them; wine, xvfb,
# x11-apps (xwd), ffmpeg for the PNG.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

shot=${1:-$root/wine_viewer_screenshot.png}
korvane=$root/build-win32/src/app/korvane.exe
mkdisc=$root/build-winlinux/tools/mkdisc
readonly kPlaySeconds=60   # bound of the whole playback under Wine
readonly kShots=20         # screenshots taken, one a second
for tool in wine Xvfb xwd; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done
[ -f "$korvane" ] && [ -x "$mkdisc" ] || { echo "run scripts/wine_tests.sh first" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
viewer_pid=
cleanup() {
  [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null || true
  WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Sixteen seconds of the sample picture at 15 frames a second with sound.
cat > "$work/long.desc" <<'EOF'
output image
volume WINE_VIEWER
file MOVIE/LONG.STR
movie width=320 height=240 frames=240 version=2 pattern=sample sectors-per-frame=10 audio=37800 stereo=yes sound=sweep
EOF
"$mkdisc" build "$work/long.desc" "$work/LONG.IMG" >/dev/null
cp "$korvane" "$work/"

# Without a sound card ALSA's null device stands in, so DirectSound opens.
cat > "$work/asound.conf" <<'EOF'
pcm.!default { type null }
ctl.!default { type hw card 0 }
EOF

display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

export WINEPREFIX=$work/prefix WINEARCH=win32 DISPLAY=":$display" WINEDLLOVERRIDES="mscoree,mshtml="
export ALSA_CONFIG_PATH=$work/asound.conf
mkdir -p "$WINEPREFIX"
WINEDEBUG=-all wineserver -p
WINEDEBUG=-all wineboot -i >/dev/null 2>&1
# Drive Q: is a CD-ROM drive, so the name on the image goes through the disc lookup.
ln -sfn "$work" "$WINEPREFIX/dosdevices/q:"
WINEDEBUG=-all wine reg add 'HKLM\Software\Wine\Drives' /v q: /t REG_SZ /d cdrom /f >/dev/null 2>&1
WINEDEBUG=-all wineserver -k; WINEDEBUG=-all wineserver -w; WINEDEBUG=-all wineserver -p

(cd "$work" && WINEDEBUG=trace+ddraw,trace+dsound timeout "$kPlaySeconds" wine korvane.exe \
   -image:LONG.IMG -viewer -startwait:0 'Q:\MOVIE\LONG.STR' > viewer.out 2> trace.log) &
viewer_pid=$!
for i in $(seq -w 1 "$kShots"); do
  sleep 1
  kill -0 "$viewer_pid" 2>/dev/null || break
  xwd -root -silent > "$work/shot$i.xwd" 2>/dev/null || true
done
status=0
wait "$viewer_pid" || status=$?
viewer_pid=

echo "korvane.exe -viewer ended with status $status"
[ -s "$work/viewer.out" ] && { echo "its console:"; iconv -f CP932 -t UTF-8 "$work/viewer.out" || cat "$work/viewer.out"; }
echo "DirectDraw and DirectSound as Wine saw them (the last mode tried is the one set):"
grep -E 'ddraw2_SetCooperativeLevel|ddraw2_SetDisplayMode|ddraw2_CreateSurface|DirectSoundCreate|SetCooperativeLevel \(|CreateSoundBuffer \((bufferbytes|formattag|structsize)' \
  "$work/trace.log" | sed -E 's/^[0-9a-f]+:trace:/  /' | awk '!seen[$0]++' || true
echo "flips: $(grep -c 'surface1_Flip iface' "$work/trace.log" || true)"

# The shot with the most detail (the largest once compressed) is one taken
# while a frame was on the screen.
ls "$work"/shot*.xwd >/dev/null 2>&1 || { echo "no screenshot was taken" >&2; exit 1; }
if command -v ffmpeg >/dev/null; then
  for f in "$work"/shot*.xwd; do ffmpeg -loglevel error -y -i "$f" "${f%.xwd}.png"; done
  cp "$(ls -S "$work"/shot*.png | head -1)" "$shot"
else
  shot="${shot%.*}.xwd"
  cp "$(ls "$work"/shot*.xwd | tail -1)" "$shot"
fi
echo "screenshot: $shot"
