#!/bin/sh
# Installs what is missing, builds the trainer and its tests with
# AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors, and runs
# the whole suite. Widget tests run on Qt's offscreen platform; the audio
# tests start their own PulseAudio daemon with a null sink.
set -e
cd "$(dirname "$0")/.."
sh scripts/packages.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELM_SANITIZE=ON
cmake --build build-test
cd build-test
ctest --output-on-failure -j2
sh ../scripts/fuzz.sh  # the data file readers, fuzzed for a bounded time
