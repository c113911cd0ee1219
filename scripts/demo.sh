#!/usr/bin/env bash
# The main job on the bundled sample disc: builds korvane and the synthesiser,
# builds the sample disc image from tools/samples/sample.desc, then converts
# its movie to an AVI and to numbered BMPs, its sound to a WAV, and both
# together into one AVI.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install_deps.sh

build=build-release
out=${1:-out/sample}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF -DKORVANE_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target korvane velmora mkdisc

mkdir -p "$out/frames"
"$build/tools/mkdisc" build tools/samples/sample.desc "$out/SAMPLE.IMG"
korvane="$build/src/app/korvane"
# -path: keeps korvane.ini beside the outputs; -image: reads the disc image.
"$korvane" -path:"$out" -image:"$out/SAMPLE.IMG" '\MOVIE\SAMPLE.STR' "$out/sample.avi"
"$korvane" -path:"$out" -image:"$out/SAMPLE.IMG" -bmp '\MOVIE\SAMPLE.STR' "$out/frames/"
"$korvane" -path:"$out" -image:"$out/SAMPLE.IMG" -audio '\MOVIE\SAMPLE.STR' "$out/sample.wav"
"$korvane" -path:"$out" -image:"$out/SAMPLE.IMG" -with-sound '\MOVIE\SAMPLE.STR' "$out/sample_with_sound.avi"

echo
echo "Done. The sample disc and what korvane made of it are in $out/:"
echo "  $out/SAMPLE.IMG        the synthesised disc image"
echo "  $out/sample.avi        the movie as an uncompressed AVI"
echo "  $out/frames/*.BMP      the movie's frames as 24-bit BMPs"
echo "  $out/sample.wav        the movie's sound as 16-bit PCM"
echo "  $out/sample_with_sound.avi  the movie and its sound in one AVI"
