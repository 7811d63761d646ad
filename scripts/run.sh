#!/bin/sh
# Installs what is missing, builds the trainer and starts it. The program
# works in the learner's folder (~/.local/share/velm-mtr) and reads the files
# it does not find there from the source tree's data/, so progress and
# calibration survive rebuilds and the removal of build/.
set -e
cd "$(dirname "$0")/.."
sh scripts/packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELM_TESTS=OFF -DVELM_BENCH=OFF
cmake --build build
exec build/bin/velm-mtr "$@"
