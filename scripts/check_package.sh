#!/bin/sh
# Checks the Debian package on a fresh Debian 12: makes a minimal system with
# debootstrap (once, in $ROOT), installs the package there with apt-get, so
# that its declared dependencies must bring in everything it needs, starts
# the installed program as an ordinary user from a folder that is not its
# own under Xvfb, saves a screenshot, and removes the package again, which
# must leave the learner's folder as it was. Run as root:
#
#   sh scripts/check_package.sh build/velm-mtr_2.1_amd64.deb [screenshot.png]
set -eu
deb=$(readlink -f "$1")
shot=${2:-velm-mtr-installed.png}
ROOT=${ROOT:-/var/tmp/velm-bookworm}
[ "$(id -u)" = 0 ] || { echo "run as root"; exit 1; }
command -v debootstrap >/dev/null || apt-get install -y debootstrap
command -v convert >/dev/null || apt-get install -y imagemagick
[ -x "$ROOT/usr/bin/apt-get" ] ||
  debootstrap --variant=minbase bookworm "$ROOT" http://deb.debian.org/debian
cp /etc/resolv.conf "$ROOT/etc/resolv.conf"
for m in proc dev dev/pts; do
  mountpoint -q "$ROOT/$m" && continue
  if [ $m = proc ]; then mount -t proc proc "$ROOT/proc"; else mount --bind /$m "$ROOT/$m"; fi
done
trap 'umount "$ROOT/dev/pts" "$ROOT/dev" "$ROOT/proc" 2>/dev/null || true' EXIT
in_root() { chroot "$ROOT" env DEBIAN_FRONTEND=noninteractive sh -c "$1"; }

cp "$deb" "$ROOT/tmp/package.deb"
in_root "apt-get update -q && apt-get install -y -q /tmp/package.deb"
in_root "apt-get install -y -q xvfb xauth x11-apps"
in_root "id learner >/dev/null 2>&1 || useradd -m learner"
cat > "$ROOT/tmp/start.sh" <<'EOS'
set -e
rm -rf /tmp/elsewhere && mkdir /tmp/elsewhere && cd /tmp/elsewhere
velm-mtr & pid=$!
i=0
while [ ! -f ~/.local/share/velm-mtr/CWK.dat ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
sleep 3
xwd -root -silent > /tmp/shot.xwd
kill $pid; wait $pid
[ -z "$(ls -A /tmp/elsewhere)" ] || { echo "files left where the program was started"; exit 1; }
[ -f ~/.local/share/velm-mtr/CWK.dat ] || { echo "no learner's record"; exit 1; }
EOS
in_root "su learner -c \"xvfb-run -a -s '-screen 0 800x600x24' sh /tmp/start.sh\""
convert "$ROOT/tmp/shot.xwd" "$shot"
before=$(in_root "md5sum /home/learner/.local/share/velm-mtr/*")
in_root "apt-get remove -y -q velm-mtr"
[ ! -e "$ROOT/usr/bin/velm-mtr" ] && [ ! -e "$ROOT/usr/share/velm-mtr" ] ||
  { echo "the package left files behind"; exit 1; }
[ "$before" = "$(in_root "md5sum /home/learner/.local/share/velm-mtr/*")" ] ||
  { echo "removing the package touched the learner's folder"; exit 1; }
echo "package checked; screenshot: $shot"
