#!/bin/sh
# Installs the build in $1 into a temporary prefix and checks what is there:
# the program, its data, the desktop entry, the AppStream metadata, the icon
# and the manual page; then starts the installed program from another folder
# with a learner's folder of its own, stops it, and checks that the learner's
# record is in that folder and nothing was written elsewhere.
set -e
build="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
# Moved after installing: the program finds its data relative to itself.
mv "$work/prefix" "$work/moved"
p="$work/moved"
for f in bin/velm-mtr share/velm-mtr/Leng.dat share/velm-mtr/LD.dat \
  share/velm-mtr/VELMHelpEng.html share/velm-mtr/VELMHelpDeu.html \
  share/velm-mtr/VELMHelpRus.html share/velm-mtr/VELMHelpTur.html \
  share/velm-mtr/Eng-a.wav share/velm-mtr/Deu-a.wav share/velm-mtr/Tur-a.wav \
  share/velm-mtr/EngMerkW.txt share/velm-mtr/DeuMerkW.txt share/velm-mtr/TurMerkW.txt \
  share/velm-mtr/EngWords.txt share/velm-mtr/DeuWords.txt share/velm-mtr/RusWords.txt \
  share/velm-mtr/TurWords.txt share/velm-mtr/Abbreviations.txt \
  share/applications/org.velmmtr.VelmMtr.desktop \
  share/metainfo/org.velmmtr.VelmMtr.metainfo.xml share/icons/hicolor/scalable/apps/velm-mtr.svg \
  share/man/man1/velm-mtr.1.gz; do
  [ -f "$p/$f" ] || { echo "not installed: $f"; exit 1; }
done
# Only data: nothing of the repository's own.
[ -z "$(find "$p/share/velm-mtr" -name '.*')" ] || { echo "hidden files among the shipped data"; exit 1; }
zcat "$p/share/man/man1/velm-mtr.1.gz" | grep -q '^\.TH VELM-MTR' || { echo "the manual page is not readable"; exit 1; }
desktop-file-validate "$p/share/applications/org.velmmtr.VelmMtr.desktop"
appstreamcli validate --no-net "$p/share/metainfo/org.velmmtr.VelmMtr.metainfo.xml"

mkdir "$work/elsewhere" "$work/home"
cd "$work/elsewhere"
XDG_DATA_HOME="$work/home" QT_QPA_PLATFORM=offscreen "$p/bin/velm-mtr" >"$work/log" 2>&1 &
pid=$!
# The learner's record is made at the first start.
i=0
while [ ! -f "$work/home/velm-mtr/CWK.dat" ] && [ $i -lt 300 ]; do
  sleep 0.1; i=$((i + 1))
done
kill -TERM $pid
status=0
wait $pid || status=$?
[ $status -eq 0 ] || { cat "$work/log"; echo "the installed program ended with $status"; exit 1; }
[ -f "$work/home/velm-mtr/CWK.dat" ] || { cat "$work/log"; echo "no CWK.dat in the learner's folder"; exit 1; }
[ -z "$(ls -A "$work/elsewhere")" ] || { echo "files left where the program was started"; exit 1; }
[ ! -e "$p/share/velm-mtr/CWK.dat" ] || { echo "CWK.dat written beside the shipped data"; exit 1; }
echo "installation checked"
