#!/usr/bin/env bash
# Builds the Debian package, installs it with apt as a user would, runs the installed programs
# without a display, checks that a normal user of the installed program keeps settings and photos
# in their own folders, and removes the package again. Needs root (apt); reuses build/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
rm -f build/fotolun_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(echo build/fotolun_*.deb)
dpkg-deb --field "$deb"

# Under /tmp itself, not $TMPDIR (which may be a folder of the caller's own): nobody works in it.
work=$(mktemp -d /tmp/fotolun-package.XXXXXX)
standin_pid=""
cleanup() {
  [ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null || true
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -q fotolun >/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# apt reads the package as its own user _apt, who may not enter the checkout.
cp "$deb" "$work/"
chmod a+rx "$work"
chmod a+r "$work/${deb##*/}"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$work/${deb##*/}" >/dev/null
for f in /usr/bin/fotolun /usr/bin/fotolun-cli /usr/share/applications/org.fotolun.Fotolun.desktop \
  /usr/share/metainfo/org.fotolun.Fotolun.metainfo.xml /usr/share/icons/hicolor/scalable/apps/org.fotolun.Fotolun.svg \
  /usr/share/icons/hicolor/256x256/apps/org.fotolun.Fotolun.png /usr/share/man/man1/fotolun-cli.1.gz; do
  [ -e "$f" ] || { echo "package.sh: the package lacks $f" >&2; exit 1; }
done
[ ! -e /usr/bin/fotolun-standin ] || { echo "package.sh: the stand-in must not be installed" >&2; exit 1; }

# No display: neither a window system nor Qt's offscreen platform.
headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
"${headless[@]}" fotolun --version
"${headless[@]}" fotolun --help >/dev/null
"${headless[@]}" fotolun-cli demo --quiet --save "$work/demo"

# A normal user: the program folder /usr/bin is not theirs, so the settings come from
# $XDG_CONFIG_HOME/fotolun/peizi.ini and the photos go to the pictures folder that
# user-dirs.dirs names. The settings ask for original size, which lists albums through
# cgi_view_album_v2 (HD lists through cgi_list_photo): the stand-in's request log shows which.
home="$work/home"
mkdir -p "$home/config/fotolun"
printf 'XDG_PICTURES_DIR="$HOME/图片"\n' >"$home/config/user-dirs.dirs"
printf '[下载模式]\r\n模式=原图\r\n' | iconv -f UTF-8 -t GBK >"$home/config/fotolun/peizi.ini"
chmod -R a+rwX "$work"
"$PWD/build/fotolun-standin" --log "$work/requests.log" >"$work/standin.out" &
standin_pid=$!
for _ in $(seq 100); do grep -q "proxy: " "$work/standin.out" 2>/dev/null && break; sleep 0.1; done
proxy=$(sed -n 's/.*proxy: //p' "$work/standin.out" | head -1)
qq=$(sed -n 's/^Sample QQ numbers: \([0-9]*\) .*/\1/p' "$work/standin.out")
curl -s -x "$proxy" -c "$work/cookies.txt" -o /dev/null "http://user.qzone.qq.com/?login=$qq"
chmod a+r "$work/cookies.txt"

as_user=(runuser -u nobody -- env -u DISPLAY -u QT_QPA_PLATFORM HOME="$home" XDG_CONFIG_HOME="$home/config")
cd "$work" # the checkout may be closed to other users
album=$("${as_user[@]}" fotolun-cli albums --number "$qq" --cookies "$work/cookies.txt" --proxy "$proxy" |
  awk 'NR > 1 && $3 + 0 > 0 && $3 + 0 <= 20 { print $1; exit }')
"${as_user[@]}" fotolun-cli download --quiet --number "$qq" --cookies "$work/cookies.txt" --proxy "$proxy" \
  --albums "$album"
saved=$(find "$home/图片/Fotolun/$qq" -name '*.jpg' | wc -l)
[ "$saved" -gt 0 ] || { echo "package.sh: no photo in $home/图片/Fotolun" >&2; exit 1; }
grep -q cgi_view_album_v2 "$work/requests.log" || {
  echo "package.sh: the user's settings file did not choose original size" >&2
  exit 1
}
if grep -q cgi_list_photo "$work/requests.log"; then
  echo "package.sh: HD listing requested although the settings ask for original size" >&2
  exit 1
fi
echo "package.sh: $(basename "$deb") installs, runs without a display and keeps a user's files in their folders"
