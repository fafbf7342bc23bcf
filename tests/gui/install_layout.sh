#!/usr/bin/env bash
# cmake --install puts the programs, the desktop entry, the icons and the .kqz MIME type where
# a Linux desktop looks for them, the file managers' thumbnailer entry included, and the web
# page's template where the installed hoopcast-cli finds it.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/hoopcast bin/hoopcast-cli \
         share/applications/hoopcast.desktop \
         share/mime/packages/hoopcast-kqz.xml \
         share/thumbnailers/hoopcast.thumbnailer \
         share/icons/hicolor/32x32/apps/hoopcast.png \
         share/icons/hicolor/256x256/apps/hoopcast.png \
         share/icons/hicolor/scalable/apps/hoopcast.svg; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
# The web page's template, where export -o PLAY.html looks for it, once scripts/web built it.
if [ -f "$(dirname "$0")/../../build/web/hoopcast-page.html" ]; then
  [ -e "$prefix/share/hoopcast/hoopcast-page.html" ] || { echo "missing after install: share/hoopcast/hoopcast-page.html"; exit 1; }
  # The installed one is the one taken: a stand-in put in its place is what the page is made of.
  cp "$(dirname "$0")/../data/page_template.html" "$prefix/share/hoopcast/hoopcast-page.html"
  env -u HOOPCAST_PAGE_TEMPLATE "$prefix/bin/hoopcast-cli" export "$(dirname "$0")/../../samples/half_court_set_play.kqz" \
    -o "$prefix/play.html"
  head -c 200 "$prefix/play.html" | grep -q '^<html><head><title>' ||
    { echo "the installed hoopcast-cli does not take the installed page template"; exit 1; }
fi
grep -q '^MimeType=application/x-hoopcast-play;' "$prefix/share/applications/hoopcast.desktop"
grep -q 'glob pattern="\*.kqz"' "$prefix/share/mime/packages/hoopcast-kqz.xml"
grep -q '^MimeType=application/x-hoopcast-play;' "$prefix/share/thumbnailers/hoopcast.thumbnailer"
echo "install layout ok"
