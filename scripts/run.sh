#!/bin/sh
# Installs what is missing, builds the trainer and starts it in build/run,
# a working directory holding the files of data/.
set -e
cd "$(dirname "$0")/.."
sh scripts/packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELM_TESTS=OFF -DVELM_BENCH=OFF
cmake --build build
cd build/run
exec ../VELM2
