#!/usr/bin/env bash
# Plays the sample movie in a real window on a virtual X display (Xvfb) and
# takes a screenshot of the screen while it plays.
# Usage: bench/viewer_screenshot.sh [BUILD_DIR] [OUTPUT.png]
# Needs: xvfb (Xvfb), x11-apps (xwd) and ffmpeg for the PNG (without ffmpeg
# the screenshot stays an .xwd file).
set -euo pipefail

build=${1:-build}
shot=${2:-viewer_screenshot.png}
korvane="$build/src/app/korvane"
mkdisc="$build/tools/mkdisc"
for tool in Xvfb xwd; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (apt-get install -y xvfb x11-apps)" >&2; exit 1; }
done
[ -x "$korvane" ] && [ -x "$mkdisc" ] || { echo "build korvane and mkdisc in $build first" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
viewer_pid=
cleanup() {
  [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$mkdisc" sample "$work" >/dev/null

# A free display number.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 640x480x24 -nolisten tcp &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# The movie lasts four seconds; the picture is taken two seconds in.
DISPLAY=":$display" SDL_AUDIODRIVER=dummy "$korvane" -path:"$work" -image:"$work/SAMPLE.IMG" \
  -viewer -startwait:0 '\MOVIE\SAMPLE.STR' &
viewer_pid=$!
sleep 2
DISPLAY=":$display" xwd -root -silent > "$work/screen.xwd"
wait "$viewer_pid" || { echo "the viewer ended with status $?" >&2; exit 1; }
viewer_pid=

if command -v ffmpeg >/dev/null; then
  ffmpeg -loglevel error -y -i "$work/screen.xwd" "$shot"
else
  shot="${shot%.*}.xwd"
  cp "$work/screen.xwd" "$shot"
fi
echo "screenshot: $shot"
