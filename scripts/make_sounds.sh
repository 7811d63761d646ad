#!/bin/bash
# Makes the spoken character sounds of data/, one file per caption of a
# course's keys and large keys, as 8-bit mono 11025 Hz WAVE files with the
# canonical 44-byte header, each in the voice of its course's language:
#
#   Rus  the mnemonic word from RusMerkW.txt where the character has one,
#        otherwise its name; files named after the caption ("а.wav", "ka.wav")
#   Eng  the character's English name, files "Eng-<caption>.wav"
#   Deu  the character's German name, files "Deu-<caption>.wav"
#   Tur  the character's Turkish name, files "Tur-<caption>.wav"
#
# The program asks for the file of its course by that prefix, so the courses'
# files never stand in for each other: a course without a file for a
# character plays none.
#
# The generated files are committed, so the program needs neither tool; run
# this again after changing a course's alphabet or mnemonic words. Needs
# espeak-ng and sox. Arguments: the courses to make (default: all four).
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

file_name() { [ "$1" = "/" ] && printf '%%2F' || printf '%s' "$1"; }

# The letters of an alphabet file (code page $2), in file order.
letters_of() {
  local line
  while IFS= read -r line; do
    line=${line%$'\r'}
    [ -n "$line" ] && printf '%s\n' "${line:0:1}"
  done < <(iconv -f "$2" -t utf-8 "$1")
}

signs=(1 2 3 4 5 6 7 8 9 0 . , "?" / + = ka sk)

make_rus() {
  # The mnemonic word of each character of Rus.txt, in its file order, then
  # the digits and the signs; hyphens mark syllables and doubled vowels long
  # ones, which the speech engine should not spell out.
  declare -A word
  local chars=() line i=0 c spoken
  mapfile -t chars < <(letters_of Rus.txt cp1251)
  chars+=("${signs[@]}")
  while IFS= read -r line; do
    line=${line%$'\r'}
    [ $i -lt ${#chars[@]} ] || break
    if [ -n "$line" ]; then
      spoken=$(printf '%s' "$line" | sed -e 's/-/ /g' -e 's/\([аеиоуыэюяё]\)\1/\1/g')
      word[${chars[$i]}]=$spoken
    fi
    i=$((i + 1))
  done < <(iconv -f cp1251 -t utf-8 RusMerkW.txt)
  for c in "${chars[@]}"; do
    [ -n "${word[$c]:-}" ] && say "$(file_name "$c")" ru "${word[$c]}"
  done
  declare -A sign_name=([.]="точка" [,]="запятая" ["?"]="вопросительный знак" [/]="дробь"
    [+]="плюс" [=]="равно" [ka]="К А" [sk]="С К")
  for c in "${signs[@]}"; do
    [ -n "${word[$c]:-}" ] && continue
    say "$(file_name "$c")" ru "${sign_name[$c]:-$c}"
  done
}

# make_named <prefix> <voice> <alphabet file> <code page> <names...>: the
# names in the order of the alphabet file's letters, then the digits and
# signs.
make_named() {
  local prefix=$1 voice=$2 alphabet=$3 cp=$4
  shift 4
  local chars=() names=("$@") i
  mapfile -t chars < <(letters_of "$alphabet" "$cp")
  chars+=("${signs[@]}")
  if [ ${#chars[@]} -ne ${#names[@]} ]; then
    echo "make_sounds: $prefix: ${#chars[@]} characters but ${#names[@]} names" >&2
    exit 1
  fi
  for i in "${!chars[@]}"; do
    say "$prefix-$(file_name "${chars[$i]}")" "$voice" "${names[$i]}"
  done
}

make_eng() {
  make_named Eng en Eng.txt cp1252 \
    "ay" "bee" "see" "dee" "ee" "eff" "jee" "aitch" "eye" "jay" "kay" "ell" "em" \
    "en" "oh" "pee" "cue" "are" "ess" "tee" "you" "vee" "double you" "ex" "why" "zed" \
    "one" "two" "three" "four" "five" "six" "seven" "eight" "nine" "zero" \
    "full stop" "comma" "question mark" "slash" "plus" "equals" "kay ay" "ess kay"
}

make_deu() {
  make_named Deu de Deu.txt cp1252 \
    "ah" "beh" "zeh" "deh" "eh" "eff" "geh" "hah" "ih" "jott" "kah" "ell" "emm" \
    "enn" "oh" "peh" "kuh" "err" "ess" "teh" "uh" "fau" "weh" "iks" "üpsilon" "zett" \
    "äh" "öh" "üh" \
    "eins" "zwei" "drei" "vier" "fünf" "sechs" "sieben" "acht" "neun" "null" \
    "Punkt" "Komma" "Fragezeichen" "Schrägstrich" "plus" "gleich" "kah ah" "ess kah"
}

make_tur() {
  make_named Tur tr Tur.txt cp1254 \
    "a" "be" "ce" "çe" "de" "e" "fe" "ge" "yumuşak ge" "he" "ı" "i" "je" "ke" "le" \
    "me" "ne" "o" "ö" "pe" "re" "se" "şe" "te" "u" "ü" "ve" "ye" "ze" \
    "bir" "iki" "üç" "dört" "beş" "altı" "yedi" "sekiz" "dokuz" "sıfır" \
    "nokta" "virgül" "soru işareti" "eğik çizgi" "artı" "eşittir" "ke a" "se ke"
}

[ $# -gt 0 ] || set -- Rus Eng Deu Tur
for course in "$@"; do
  case $course in
  Rus) make_rus ;;
  Eng) make_eng ;;
  Deu) make_deu ;;
  Tur) make_tur ;;
  *) echo "make_sounds: no course $course (Rus, Eng, Deu, Tur)" >&2; exit 1 ;;
  esac
done
echo "make_sounds: done"
