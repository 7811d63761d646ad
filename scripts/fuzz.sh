#!/bin/sh
# Builds the readers' fuzz targets (fuzz/) with clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz, and runs each
# for a bounded time from its seeds (made from data/ by the build). A crash,
# a leak, a hang, an out-of-bounds access or a failed check fails the script;
# libFuzzer leaves the input that did it as build-fuzz/fuzz/<target>-crash-*
# (or -leak-*, -timeout-*).
#
#   sh scripts/fuzz.sh                  every target, 20 s or 50000 inputs each
#   sh scripts/fuzz.sh wave texts       only these
#   FUZZ_SECONDS=180 FUZZ_RUNS=500000 sh scripts/fuzz.sh    a longer campaign
set -e
cd "$(dirname "$0")/.."
sh scripts/packages.sh
SECONDS_EACH=${FUZZ_SECONDS:-20}
RUNS_EACH=${FUZZ_RUNS:-50000}
TARGETS=${*:-"textfile alphabet merkwoerter lessondata lengdat texts intfile kund statfile wave wordlist"}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVELM_FUZZ=ON -DVELM_TESTS=OFF -DVELM_BENCH=OFF >/dev/null
cmake --build build-fuzz --target velm_fuzz

cd build-fuzz/fuzz
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=""
for t in $TARGETS; do
  # The corpus grows from run to run; the seeds stay as data/ gives them.
  mkdir -p "corpus/$t"
  echo "fuzz_$t: up to ${SECONDS_EACH}s or ${RUNS_EACH} inputs"
  if ./"fuzz_$t" -max_total_time="$SECONDS_EACH" -runs="$RUNS_EACH" -rss_limit_mb=2048 \
      -timeout=10 -detect_leaks=1 -print_final_stats=1 -artifact_prefix="$t-" \
      "corpus/$t" "seeds/$t" >"$t.log" 2>&1; then
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$t.log" | sed "s/^/  /"
  else
    failed="$failed $t"
    tail -n 40 "$t.log"
  fi
done
if [ -n "$failed" ]; then
  echo "Fuzzing found faults in:$failed (inputs in build-fuzz/fuzz/, logs *.log)"
  exit 1
fi
echo "Fuzzing found no fault."
