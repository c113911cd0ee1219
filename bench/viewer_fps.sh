#!/usr/bin/env bash
# The viewer's frames a second on a virtual X display (Xvfb) of each size
# given, for each routine (float, float with MMX, fixed, filter), with
# PlayWait off, StartWait 0 and no sound: a 300-frame and a 60-frame 320x240
# movie are played, and the rate is 240 frames over the difference of their
# wall times (which takes set-up out). Also prints the processor time a
# frame of korvane (with the renderer's threads) and of the X server, the
# peak memory of korvane, and the load average, since other work on the
# machine slows every figure.
# Usage: bench/viewer_fps.sh [BUILD_DIR] [WIDTHxHEIGHT...]   (default 3840x2160 1920x1080)
# KORVANE=path measures another korvane (an older build, say) with the same movies.
# Needs: xvfb; GNU time (package time) for processor time and memory.
# SDL_RENDER_DRIVER picks the renderer (software, opengl, ...) as usual;
# VIEWER_ROUTINES="fixed filter" measures only the routines named.
set -euo pipefail

build=${1:-build}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(3840x2160 1920x1080)
korvane=${KORVANE:-$build/src/app/korvane}
mkdisc="$build/tools/mkdisc"
command -v Xvfb >/dev/null || { echo "Xvfb is missing (apt-get install -y xvfb)" >&2; exit 1; }
[ -x "$korvane" ] && [ -x "$mkdisc" ] || { echo "build korvane and mkdisc in $build first" >&2; exit 1; }
gnu_time=
[ -x /usr/bin/time ] && gnu_time=/usr/bin/time

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

for frames in 300 60; do
  cat > "$work/m$frames.desc" <<DESC
output image
file MOVIE/BENCH.STR
movie width=320 height=240 frames=$frames pattern=sample sectors-per-frame=10 audio=37800
DESC
  "$mkdisc" build "$work/m$frames.desc" "$work/m$frames.img" >/dev/null
done

# Processor time of a process so far, in seconds.
cpu_seconds() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) / hz }' "/proc/$1/stat"; }

# One play: prints wall seconds, korvane's processor seconds and peak KiB,
# and the X server's processor seconds.
play() {
  local image=$1; shift
  local x0 x1 start end stats
  x0=$(cpu_seconds "$xvfb_pid")
  start=$(date +%s.%N)
  stats=$( { DISPLAY=":$display" SDL_AUDIODRIVER=dummy ${gnu_time:+$gnu_time -f "%U %S %M"} "$korvane" \
      -path:"$work" -image:"$work/$image" -viewer -playwait:OFF -startwait:0 -sound:OFF "$@" \
      '\MOVIE\BENCH.STR' >/dev/null; } 2>&1 | tail -1)
  end=$(date +%s.%N)
  x1=$(cpu_seconds "$xvfb_pid")
  [ -n "$gnu_time" ] || stats="0 0 0"
  awk -v s="$start" -v e="$end" -v x0="$x0" -v x1="$x1" -v st="$stats" \
    'BEGIN { split(st, a, " "); print e - s, a[1] + a[2], a[3], x1 - x0 }'
}

routines=("float|-mmx:OFF -fixed:OFF" "float+MMX|-mmx:ON -fixed:OFF" "fixed|-mmx:ON -fixed:ON"
          "filter|-mmx:ON -fixed:OFF -filter:ON")
echo "$(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)"
for size in "${sizes[@]}"; do
  display=99
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  for routine in "${routines[@]}"; do
    name=${routine%%|*}
    [ -z "${VIEWER_ROUTINES:-}" ] || [[ " $VIEWER_ROUTINES " == *" $name "* ]] || continue
    read -r -a options <<<"${routine#*|}"
    read -r w300 c300 peak x300 <<<"$(play m300.img "${options[@]}")"
    read -r w60 c60 _ x60 <<<"$(play m60.img "${options[@]}")"
    awk -v size="$size" -v name="$name" -v w3="$w300" -v w6="$w60" -v c3="$c300" -v c6="$c60" \
        -v x3="$x300" -v x6="$x60" -v peak="$peak" \
      'BEGIN { printf "%-9s %-9s %6.1f frames/s   korvane %5.1f ms/frame   X server %5.1f ms/frame   peak %s KiB\n",
               size, name, 240 / (w3 - w6), 1000 * (c3 - c6) / 240, 1000 * (x3 - x6) / 240, peak }'
  done
  kill "$xvfb_pid"
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
done
echo "load average $(cut -d' ' -f1-3 /proc/loadavg)"
