#!/usr/bin/env bash
# CI step for the Windows build: builds korvane.exe and velmora.exe as 32-bit
# Windows programs (and the emulated drive as WNASPI32.DLL), builds the Linux
# programs beside them, synthesises discs with mkdisc, then runs every case
# below on both and compares exit status, console bytes (CR LF of the Windows
# console read as LF, the case folder's own path read as one token) and every
# file the run leaves behind. Run as root on a fresh Debian machine it
# installs the cross compiler and wine32:i386 first. The whole step is
# bounded to 15 minutes.
#
#   scripts/wine_tests.sh [work folder]      (default: build-win32/wine-tests)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

readonly kStepSeconds=900   # the CI budget of this step
readonly kRunSeconds=120    # one program run
readonly kEmulatedDrive=Q   # the Wine drive letter that is a CD-ROM drive

if [ -z "${KORVANE_WINE_TESTS_BOUNDED:-}" ]; then
  export KORVANE_WINE_TESTS_BOUNDED=1
  exec timeout --kill-after=10 "$kStepSeconds" "$0" "$@"
fi

# --- packages -------------------------------------------------------------
need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686-posix)
command -v wine >/dev/null && dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null |
  grep -q "install ok installed" || need+=(wine wine32:i386)
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "Please install: ${need[*]} (dpkg --add-architecture i386 first)" >&2
    exit 1
  fi
  dpkg --add-architecture i386
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y "${need[@]}"
fi
./scripts/install_deps.sh

# --- builds ---------------------------------------------------------------
jobs=$(nproc)
[ "$jobs" -gt 2 ] || jobs=2
cmake -S . -B build-winlinux -DKORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-winlinux -j"$jobs" --target korvane velmora mkdisc emulated_aspi
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-win32 -j"$jobs"

linux_korvane=$root/build-winlinux/src/app/korvane
linux_velmora=$root/build-winlinux/src/velmora/velmora
linux_aspi=$root/build-winlinux/src/aspi_modules/emulated_aspi.so
mkdisc=$root/build-winlinux/tools/mkdisc

work=${1:-$root/build-win32/wine-tests}
rm -rf "$work"
mkdir -p "$work/data" "$work/bin" "$work/linux" "$work/windows" "$work/cdrom"
work=$(cd "$work" && pwd)
# korvane.exe with the emulated drive beside it, where LoadLibraryA finds it
# before Wine's own WNASPI32.DLL.
cp build-win32/src/app/korvane.exe build-win32/src/velmora/velmora.exe \
   build-win32/emulated_drive/WNASPI32.DLL "$work/bin/"

# --- Wine -----------------------------------------------------------------
# Wine prefers its own WNASPI32.DLL to one in the program's folder unless told.
export WINEPREFIX=$work/wineprefix WINEARCH=win32 WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml=;wnaspi32=n"
unset DISPLAY KORVANE_PATH KORVANE_ASPI
# One server for every run: each start then takes a fraction of a second.
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
# Drive Q: is a CD-ROM drive, so names on the disc are given as Q:\...; the
# drive types are read when the prefix's services start, so restart them.
ln -sfn "$work/cdrom" "$WINEPREFIX/dosdevices/${kEmulatedDrive,,}:"
wine reg add 'HKLM\Software\Wine\Drives' /v "${kEmulatedDrive,,}:" /t REG_SZ /d cdrom /f >/dev/null 2>&1
wineserver -k
wineserver -w
wineserver -p

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# --- discs ----------------------------------------------------------------
cat > "$work/data/disc.desc" <<'EOF'
output image
volume WINE_TEST
file MOVIE/A.STR
movie width=96 height=64 frames=6 version=2 sectors-per-frame=10 audio=37800 stereo=yes
file MOVIE/B.STR
movie width=64 height=48 frames=5 version=3 pattern=bars channel=2 sectors-per-frame=8
file SOUND/MUSIC.XA
audio rate=18900 stereo=no sectors=40 sound=melody
file README.TXT
data text=hello
EOF
cat > "$work/data/movies.desc" <<'EOF'
output sectors
movie width=160 height=112 frames=6 channel=1 lane=0 audio=37800 sectors-per-frame=10
movie width=96 height=64 frames=6 channel=2 lane=1 version=3 pattern=bars
foreign 20 file=2 channel=0
EOF
cat > "$work/data/raw.desc" <<'EOF'
output sectors
form 2352
movie width=48 height=32 frames=4 colour=console audio=18900 stereo=no sectors-per-frame=10
EOF
cat > "$work/data/damaged.desc" <<'EOF'
output sectors
foreign 30 file=1 channel=1 submode=0x48
EOF
for d in disc movies raw damaged; do
  "$mkdisc" build "$work/data/$d.desc" "$work/data/$d.img" >/dev/null
done
export KORVANE_EMU_DRIVES=0:0
linux_emu_image=$work/data/disc.img
windows_emu_image=$(windows_path "$work/data/disc.img")

# --- running one case on both ---------------------------------------------
failures=0
cases=0

# Console text as a Linux run writes it: the Windows console's CR LF read as
# LF, and the case folder's own path (in either form) left out.
normalise() {  # file folder windows|linux
  FOLDER=$2 WINDOWS_FOLDER=$(windows_path "$2") SYSTEM=$3 perl -pe '
    s/\r\n\z/\n/ if $ENV{SYSTEM} eq "windows";
    s/\Q$ENV{WINDOWS_FOLDER}\E\\//g;
    s/\Q$ENV{FOLDER}\E\///g;' "$1"
}

# prepare NAME FILE...: copies of data files in both case folders.
prepare() {
  local name=$1
  shift
  mkdir -p "$work/linux/$name" "$work/windows/$name"
  for f in "$@"; do
    cp "$f" "$work/linux/$name/"
    cp "$f" "$work/windows/$name/"
  done
}

# run_case PROGRAM NAME ARGS...: PROGRAM is korvane or velmora.
run_case() {
  local program=$1 name=$2
  shift 2
  local l=$work/linux/$name w=$work/windows/$name
  mkdir -p "$l" "$w"
  local ls=0 ws=0
  if [ "$program" = korvane ]; then
    (cd "$l" && KORVANE_ASPI=$linux_aspi KORVANE_EMU_IMAGE=$linux_emu_image \
       timeout "$kRunSeconds" "$linux_korvane" "$@" > "$work/linux/$name.out") || ls=$?
    (cd "$w" && KORVANE_EMU_IMAGE=$windows_emu_image \
       timeout "$kRunSeconds" wine "$work/bin/korvane.exe" "$@" > "$work/windows/$name.out") || ws=$?
  else
    (cd "$l" && timeout "$kRunSeconds" "$linux_velmora" "$@" > "$work/linux/$name.out") || ls=$?
    (cd "$w" && timeout "$kRunSeconds" wine "$work/bin/velmora.exe" "$@" \
       > "$work/windows/$name.out") || ws=$?
  fi
  cases=$((cases + 1))
  local problem=""
  [ "$ls" = "$ws" ] || problem="exit status linux $ls, windows $ws"
  if ! cmp -s <(normalise "$work/linux/$name.out" "$l" linux) \
            <(normalise "$work/windows/$name.out" "$w" windows); then
    problem="$problem${problem:+; }console output differs"
  fi
  local files
  if ! files=$(diff -rq "$l" "$w" 2>&1); then
    problem="$problem${problem:+; }files differ: $files"
  fi
  if [ -z "$problem" ]; then
    printf 'ok    %-22s status %3s  %s\n' "$name" "$ls" "$(ls "$l" | tr '\n' ' ')"
  else
    printf 'FAIL  %-22s %s\n' "$name" "$problem"
    failures=$((failures + 1))
  fi
}

q="${kEmulatedDrive}:"
img=$work/data/disc.img

# Usage and command-line errors (the drive list comes from the emulated drive).
run_case korvane usage
run_case korvane bad-option -nonsense A B
run_case korvane bad-number -search:x A B

# Conversions from the disc image.
prepare avi "$img";            run_case korvane avi -image:disc.img "$q\\MOVIE\\A.STR" a.avi
prepare bmp "$img";            run_case korvane bmp -bmp -channel:2 -image:disc.img "$q\\MOVIE\\B.STR" b
prepare audio "$img";          run_case korvane audio -audio -image:disc.img "$q\\SOUND\\MUSIC.XA" music.wav
prepare movie-audio "$img";    run_case korvane movie-audio -audio -image:disc.img "$q\\MOVIE\\A.STR" a.wav
prepare disc-all "$img";       run_case korvane disc-all -disc-all -detail -image:disc.img whole
prepare not-found "$img";      run_case korvane not-found -image:disc.img "$q\\MOVIE\\NONE.STR" x.avi

# Plain sector files (the drive check makes a file on a hard disk one).
prepare all "$work/data/movies.img";     run_case korvane all -all movies.img m
prepare plain-avi "$work/data/movies.img"; run_case korvane plain-avi -no-cdrom -channel:2 movies.img two.avi
prepare raw-bmp "$work/data/raw.img";    run_case korvane raw-bmp -bmp -no-cdrom raw.img r
prepare damaged "$work/data/damaged.img"; run_case korvane damaged -no-cdrom damaged.img d.avi
run_case korvane missing-file -no-cdrom nothing.str n.avi

# The catalogue: analysis of a file and of the disc, then a conversion through it.
prepare analyze "$img";        run_case korvane analyze -image:disc.img -analyze "$q\\MOVIE\\A.STR"
prepare disc-analyze "$img";   run_case korvane disc-analyze -image:disc.img -disc-analyze WHOLE
prepare use-inf "$img" "$work/linux/disc-analyze/FILE.INF"
run_case korvane use-inf -image:disc.img -use-inf WHOLE_0 inf.avi

# The emulated CD drive: conversions, copies with and without -check, drive errors.
run_case korvane cd-avi "$q\\MOVIE\\A.STR" cd.avi
run_case korvane cd-bmp -bmp -check -channel:2 "$q\\MOVIE\\B.STR" cd
run_case korvane cd-file-save -file-save "$q\\MOVIE\\A.STR" copy.str
run_case korvane cd-file-save-check -file-save -check "$q\\SOUND\\MUSIC.XA" copy.xa
run_case korvane cd-disc-save -disc-save disc.copy
run_case korvane cd-disc-all -disc-all cdall
KORVANE_EMU_DRIVES="" run_case korvane cd-no-drive "$q\\MOVIE\\A.STR" x.avi

# Settings: a damaged korvane.ini, and -path: to a folder of its own.
prepare bad-ini; printf 'PreLoadFrame=99\r\n' | tee "$work/linux/bad-ini/KORVANE.INI" \
  > "$work/windows/bad-ini/KORVANE.INI"
run_case korvane bad-ini -no-cdrom x.str y.avi
prepare path-option; mkdir -p "$work/linux/path-option/ini" "$work/windows/path-option/ini"
run_case korvane path-option -path:ini -bogus

# velmora: a rate patch of korvane's AVI, and its refusals.
prepare velmora "$work/linux/avi/a.avi"
run_case velmora velmora a.avi 30
run_case velmora velmora-usage
prepare velmora-rate "$work/linux/avi/a.avi"
run_case velmora velmora-rate a.avi 25
run_case velmora velmora-missing nothing.avi 15

echo "$cases cases, $failures failed (${SECONDS}s)"
[ "$failures" -eq 0 ]
