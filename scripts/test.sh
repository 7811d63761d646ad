#!/bin/sh
# Installs what is missing, builds the trainer and its tests with
# AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors, and runs
# the whole suite. Widget tests run on Qt's offscreen platform; the audio
# tests start their own PulseAudio daemon with a null sink. Then builds the
# configuration scripts/run.sh builds, installs it into a temporary prefix and
# checks the installation.
set -e
cd "$(dirname "$0")/.."
sh scripts/packages.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELM_SANITIZE=ON -DVELM_WERROR=ON
cmake --build build-test
(cd build-test && ctest --output-on-failure -j2)

cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELM_TESTS=OFF -DVELM_BENCH=OFF \
  -DVELM_WERROR=ON
cmake --build build-run
sh scripts/check_install.sh build-run
sh scripts/fuzz.sh # the data file readers, fuzzed for a bounded time
