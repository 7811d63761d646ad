#!/bin/sh
# The built program itself, as a learner starts it: its command line without
# a display, and under Xvfb the first start in the system's language, an
# existing record kept, and a second copy on the same learner's folder.
# Usage: program_xvfb.sh <velm-mtr>
set -u
PROGRAM=$1
WORK=$(mktemp -d)
XVFB_PID=
RUNNING=
fail=0

cleanup() {
  for pid in $RUNNING; do kill -CONT "$pid" 2>/dev/null; kill -KILL "$pid" 2>/dev/null; done
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

check() { # <what> <condition...>
  what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    fail=1
  fi
}

# The program with a clean environment of its own: no display unless given,
# the platform left to Qt, the learner's folder under $WORK/$1.
run() { # <home> <env...> <program> <args...>
  home=$WORK/$1
  shift
  mkdir -p "$home"
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_MESSAGES -u LANGUAGE \
    ASAN_OPTIONS=detect_leaks=0 XDG_DATA_HOME="$home" HOME="$home" "$@"
}

lines() { wc -l <"$1" | tr -d ' '; }
layout_byte() { od -An -tu1 -j6 -N1 "$1" 2>/dev/null | tr -d ' '; }

# --- The command line, without a display
run cl "$PROGRAM" --version >"$WORK/out" 2>"$WORK/err"
check "--version exits 0" [ $? -eq 0 ]
check "--version prints the version" grep -qx "velm-mtr [0-9.]*" "$WORK/out"
run cl "$PROGRAM" --help >"$WORK/out" 2>"$WORK/err"
check "--help exits 0" [ $? -eq 0 ]
check "--help lists --version" grep -q -- "--version" "$WORK/out"
run cl "$PROGRAM" --no-such-option >"$WORK/out" 2>"$WORK/err"
check "an unknown option exits 2" [ $? -eq 2 ]
check "an unknown option prints the usage" grep -q "Usage:" "$WORK/err"
run cl "$PROGRAM" lesson3 >"$WORK/out" 2>"$WORK/err"
check "an argument exits 2" [ $? -eq 2 ]
run cl "$PROGRAM" >"$WORK/out" 2>"$WORK/err"
check "no display exits 1" [ $? -eq 1 ]
check "no display is said in one line" [ "$(lines "$WORK/err")" = 1 ]
run cl DISPLAY=:271 "$PROGRAM" >"$WORK/out" 2>"$WORK/err"
check "a display that cannot be opened exits 1" [ $? -eq 1 ]
check "a display that cannot be opened is said in one line" [ "$(lines "$WORK/err")" = 1 ]
check "nothing is written without a display" [ ! -e "$WORK/cl/velm-mtr/CWK.dat" ]

# --- The practice written as audio, without a display
run cl "$PROGRAM" --write-audio "$WORK/p.flac" --wpm 30 --effective-wpm 10 --minutes 0.2 --seed 7 >"$WORK/out" 2>"$WORK/err"
check "--write-audio exits 0" [ $? -eq 0 ]
check "--write-audio prints the text it sounded" [ -s "$WORK/out" ]
check "--write-audio writes the file and its text" [ -s "$WORK/p.flac" ] && cmp -s "$WORK/out" "$WORK/p.txt"
run cl "$PROGRAM" --write-audio "$WORK/u.ogg" --course de --text "hallo welt" >"$WORK/out" 2>"$WORK/err"
check "--text prints its text in capitals" grep -qx "HALLO WELT" "$WORK/out"
run cl "$PROGRAM" --write-audio "$WORK/b.wav" --minutes 0.2 --snr -10 --qsb 30:2 --qrm 3 --qrn 100 --fist 20 >"$WORK/out" 2>"$WORK/err"
check "--write-audio with every band condition at its extreme exits 0" [ $? -eq 0 ] && [ -s "$WORK/b.wav" ]
for bad in "--wpm 4" "--wpm 101" "--wpm 25 --effective-wpm 26" "--effective-wpm 1" "--tone 50" \
  "--minutes 0" "--kind poems" "--course fr" "--kind groups --text ABC" "--kind text" \
  "--snr 31" "--snr=-11" "--snr loud" "--qsb 10" "--qsb x:5" "--qsb 31:5" "--qsb 10:1" "--qsb 10:5:3" \
  "--qrm 4" "--qrm -1" "--qrn 101" "--fist 21" "--fist 5%"; do
  # shellcheck disable=SC2086
  run cl "$PROGRAM" --write-audio "$WORK/bad.wav" $bad >"$WORK/out" 2>"$WORK/err"
  check "--write-audio $bad exits 2 with one line" [ $? -eq 2 ] && [ "$(lines "$WORK/err")" = 1 ]
done
for alone in "--wpm 20" "--snr 10" "--qsb 10:5" "--qrm 1" "--qrn 5" "--fist 10"; do
  # shellcheck disable=SC2086
  run cl "$PROGRAM" $alone >"$WORK/out" 2>"$WORK/err"
  check "a practice option without --write-audio exits 2 ($alone)" [ $? -eq 2 ] && [ "$(lines "$WORK/err")" = 1 ]
done
run cl "$PROGRAM" --write-audio "$WORK/bad.xyz" >"$WORK/out" 2>"$WORK/err"
check "an audio file of no known format exits 2" [ $? -eq 2 ]
check "nothing is written for refused values" [ ! -e "$WORK/bad.wav" ] && [ ! -e "$WORK/bad.xyz" ]
run cl "$PROGRAM" --write-audio "$WORK/missing/p.wav" >"$WORK/out" 2>"$WORK/err"
check "a file that cannot be written exits 1 with one line" [ $? -eq 1 ] && [ "$(lines "$WORK/err")" = 1 ]

# --- Under Xvfb
exec 5>"$WORK/display"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
DISPLAY_NR=$(cat "$WORK/display")
if [ -z "$DISPLAY_NR" ]; then
  echo "FAILED: Xvfb did not start"
  exit 1
fi
export VELM_DISPLAY=":$DISPLAY_NR"

start() { # <home> <LANG> : starts the program in the background, sets PID
  mkdir -p "$WORK/$1"
  # env itself, not a subshell, so that PID is the program's own.
  env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_MESSAGES -u LANGUAGE \
    ASAN_OPTIONS=detect_leaks=0 XDG_DATA_HOME="$WORK/$1" HOME="$WORK/$1" \
    DISPLAY="$VELM_DISPLAY" LANG="$2" "$PROGRAM" >>"$WORK/$1.log" 2>&1 &
  PID=$!
  RUNNING="$RUNNING $PID"
}

wait_for() { # <seconds> <condition...>
  n=$(($1 * 10))
  shift
  while [ $n -gt 0 ]; do
    "$@" && return 0
    sleep 0.1
    n=$((n - 1))
  done
  return 1
}

alive() { kill -0 "$1" 2>/dev/null; }
# The lock file names the process as its holder.
holds() { [ "$(head -n1 "$WORK/$1/velm-mtr/velm-mtr.lock" 2>/dev/null)" = "$2" ]; }
# Until the file is there, or the program has ended without making it.
made() { [ -s "$1" ] || ! alive "$PID"; }
gone() { ! kill -0 "$1" 2>/dev/null; }
# At least <n> windows of the program's class are mapped on the display.
windows() { [ "$(xwininfo -display "$VELM_DISPLAY" -root -tree 2>/dev/null | grep -c '("velm-mtr"')" -ge "$1" ]; }

stop() { # <pid>: SIGTERM and the exit code in STATUS
  kill -TERM "$1"
  wait "$1"
  STATUS=$?
}

# The first start takes the course and the window's language from the system.
for case in en_US.UTF-8:1 de_DE.UTF-8:2 tr_TR.UTF-8:4 ru_RU.UTF-8:3 fr_FR.UTF-8:1 C:1; do
  locale=${case%:*}
  want=${case#*:}
  home=first-$locale
  start "$home" "$locale"
  record=$WORK/$home/velm-mtr/CWK.dat
  wait_for 120 made "$record"
  check "LANG=$locale: a first start makes the record with layout $want" [ "$(layout_byte "$record")" = "$want" ]
  stop "$PID"
  check "LANG=$locale: SIGTERM ends the program with 0" [ "$STATUS" -eq 0 ]
  check "LANG=$locale: the close keeps layout $want" [ "$(layout_byte "$record")" = "$want" ]
done

# An existing record is never changed by the system's language.
mkdir -p "$WORK/kept/velm-mtr"
printf '\001\001\074\027\036\010\003' >"$WORK/kept/velm-mtr/CWK.dat"
start kept de_DE.UTF-8
wait_for 120 made "$WORK/kept/velm-mtr/velm-mtr.lock"
sleep 2
stop "$PID"
check "an existing record keeps its layout" [ "$(layout_byte "$WORK/kept/velm-mtr/CWK.dat")" = 3 ]

# SIGTERM when the record cannot be written (a full disk, here a folder in
# its place): said on standard error, and the program ends without a box
# that waits for a click.
start full en_US.UTF-8
wait_for 120 made "$WORK/full/velm-mtr/CWK.dat"
sleep 2
rm "$WORK/full/velm-mtr/CWK.dat" && mkdir "$WORK/full/velm-mtr/CWK.dat"
kill -TERM "$PID"
wait_for 30 gone "$PID"
check "SIGTERM with a record that cannot be written ends the program" gone "$PID"
alive "$PID" && kill -KILL "$PID"
wait "$PID"
check "... with 0" [ $? -eq 0 ]
check "... saying so on standard error" grep -q "velm-mtr: \"CWK.dat\" cannot be written" "$WORK/full.log"

# A second copy on the same folder brings the first to the front and writes
# nothing; a first copy that does not answer is said to run; a lock left by a
# copy that was killed is taken over.
fingerprint() { (cd "$WORK/two/velm-mtr" && ls -l --time-style=+%s.%N && cat ./*) | md5sum; }
start two en_US.UTF-8
FIRST=$PID
wait_for 120 made "$WORK/two/velm-mtr/CWK.dat"
sleep 2
before=$(fingerprint)
start two de_DE.UTF-8
SECOND=$PID
wait_for 60 gone "$SECOND"
check "a second copy ends by itself" gone "$SECOND"
alive "$SECOND" && kill -KILL "$SECOND"
wait "$SECOND"
check "a second copy whose first answers exits 0" [ $? -eq 0 ]
check "the first copy still runs" alive "$FIRST"
check "a second copy writes nothing" [ "$(fingerprint)" = "$before" ]

kill -STOP "$FIRST"
start two en_US.UTF-8
SECOND=$PID
# The box that says so is a second window of the program's class beside the
# first copy's main window; it waits for the learner.
wait_for 60 windows 2
check "a second copy whose first does not answer says so" windows 2
sleep 1
check "... and waits for the learner" alive "$SECOND"
check "... and writes nothing" [ "$(fingerprint)" = "$before" ]
kill -KILL "$SECOND"
kill -CONT "$FIRST"
kill -KILL "$FIRST"
wait "$FIRST" 2>/dev/null

start two en_US.UTF-8
THIRD=$PID
wait_for 120 holds two "$THIRD"
check "the lock of a killed copy is taken over" holds two "$THIRD"
stop "$THIRD"
check "the copy that took the lock over ends with 0" [ "$STATUS" -eq 0 ]
check "the lock is given back at the end" [ ! -e "$WORK/two/velm-mtr/velm-mtr.lock" ]

# A folder copied from another machine with the lock of a copy that crashed
# there.
printf '4242\nvelm-mtr\nsome-other-machine\n\n' >"$WORK/two/velm-mtr/velm-mtr.lock"
start two en_US.UTF-8
wait_for 120 holds two "$PID"
check "the lock of another machine is taken over" holds two "$PID"
stop "$PID"

if [ $fail -ne 0 ]; then
  for log in "$WORK"/*.log; do
    [ -s "$log" ] && { echo "--- $log"; cat "$log"; }
  done
fi
exit $fail
