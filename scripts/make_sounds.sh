#!/bin/bash
# Makes the spoken character sounds of data/: one file per caption of every
# layout's keys and large keys, saying the character's mnemonic word from
# RusMerkW.txt where it has one and otherwise the character's name, as 8-bit
# mono 11025 Hz WAVE files with the canonical 44-byte header.
#
# The generated files are committed, so the program needs neither tool; run
# this again after changing RusMerkW.txt or Rus.txt. Needs espeak-ng and sox.
#
# File names: the caption in UTF-8 followed by ".wav"; a "/" (which no file
# name can hold) is written "%2F", as the program looks it up.
set -euo pipefail
cd "$(dirname "$0")/../data"
command -v espeak-ng >/dev/null && command -v sox >/dev/null || {
  echo "make_sounds: needs espeak-ng and sox (apt-get install espeak-ng sox)" >&2
  exit 1
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# say <file name> <voice> <text>
say() {
  local name=$1 voice=$2 text=$3
  espeak-ng -v "$voice" -s 150 -a 160 -w "$tmp/raw.wav" "$text"
  # Trim the silence espeak leaves around the word, keep 30 ms at each end,
  # and convert to the trainer's format.
  sox -q "$tmp/raw.wav" -r 11025 -c 1 -b 8 -e unsigned-integer "$tmp/out.wav" \
    silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse pad 0.03 0.03 norm -1
  # sox writes the canonical 44-byte header for 8-bit mono PCM; refuse
  # anything else rather than ship a file the program would not load.
  local tags
  tags=$(head -c 40 "$tmp/out.wav" | od -An -c -j 12 -N 4 | tr -d ' ')$(head -c 40 "$tmp/out.wav" | od -An -c -j 36 -N 4 | tr -d ' ')
  [ "$tags" = "fmtdata" ] || { echo "make_sounds: $name: unexpected header" >&2; exit 1; }
  cp "$tmp/out.wav" "$name.wav"
}

# The mnemonic word of each character of Rus.txt, in its file order, then the
# digits and the signs; hyphens mark syllables and doubled vowels long ones,
# which the speech engine should not spell out.
declare -A word
chars=()
while IFS= read -r line; do
  line=${line%$'\r'}
  [ -n "$line" ] && chars+=("${line:0:1}")
done < <(iconv -f cp1251 -t utf-8 Rus.txt)
chars+=(1 2 3 4 5 6 7 8 9 0 . , "?" / + = ka sk)
i=0
while IFS= read -r line; do
  line=${line%$'\r'}
  [ $i -lt ${#chars[@]} ] || break
  if [ -n "$line" ]; then
    spoken=$(printf '%s' "$line" | sed -e 's/-/ /g' -e 's/\([аеиоуыэюяё]\)\1/\1/g')
    word[${chars[$i]}]=$spoken
  fi
  i=$((i + 1))
done < <(iconv -f cp1251 -t utf-8 RusMerkW.txt)

file_name() { [ "$1" = "/" ] && printf '%%2F' || printf '%s' "$1"; }

# Russian letters, digits, signs and prosigns: the mnemonic word, else a name.
for c in "${chars[@]}"; do
  if [ -n "${word[$c]:-}" ]; then
    say "$(file_name "$c")" ru "${word[$c]}"
  fi
done
declare -A sign_name=([.]="full stop" [,]="comma" ["?"]="question mark" [/]="slash"
  [+]="plus" [=]="equals" [ka]="K A" [sk]="S K")
for c in 1 2 3 4 5 6 7 8 9 0 . , "?" / + = ka sk; do
  [ -n "${word[$c]:-}" ] && continue
  say "$(file_name "$c")" en-us "${sign_name[$c]:-$c}"
done

# Latin letters of the English, German and Turkish rows: their names.
for c in q w e r t y u i o p a s d f g h j k l z x c v b n m; do
  say "$c" en-us "$c"
done
for c in ü ö ä; do say "$c" de "$c"; done
for c in ı ğ ş ç; do say "$c" tr "$c"; done
echo "make_sounds: done"
