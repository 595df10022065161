#!/bin/sh
# Installs the build into a staging folder under an unusual prefix and checks
# what a package or a system-wide install relies on: the layout, the
# metadata validators, and that the staged programs find each other and
# their data wherever the tree lies.
set -eu
build="$1"
source="$2"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
prefix=/opt/tarvelo-staged

DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >/dev/null
root="$stage$prefix"

for file in bin/tarvelo bin/tarvelo-widgets libexec/tarvelo/TarveloWidget \
            share/tarvelo/widget-extensions/today.tarvelo.Tarvelo.TarveloWidget.json \
            share/tarvelo/tarvelo-small.png share/tarvelo/tarvelo-medium.png \
            share/applications/today.tarvelo.Tarvelo.desktop share/applications/today.tarvelo.Widgets.desktop \
            etc/xdg/autostart/today.tarvelo.Widgets.desktop \
            share/metainfo/today.tarvelo.Tarvelo.metainfo.xml \
            share/icons/hicolor/scalable/apps/today.tarvelo.Tarvelo.svg \
            share/icons/hicolor/48x48/apps/today.tarvelo.Tarvelo.png; do
  [ -e "$root/$file" ] || { echo "missing after install: $file"; exit 1; }
done

grep -q '^MimeType=x-scheme-handler/tarvelo;' "$root/share/applications/today.tarvelo.Tarvelo.desktop" ||
  { echo "the application does not claim tarvelo: links"; exit 1; }
grep -q '^Exec=tarvelo %u' "$root/share/applications/today.tarvelo.Tarvelo.desktop" ||
  { echo "the application's Exec line does not take the link"; exit 1; }
for entry in "$root"/share/applications/*.desktop "$root"/etc/xdg/autostart/*.desktop; do
  desktop-file-validate "$entry"
done
appstreamcli validate --no-net --pedantic "$root/share/metainfo/today.tarvelo.Tarvelo.metainfo.xml" >/dev/null ||
  appstreamcli validate --no-net "$root/share/metainfo/today.tarvelo.Tarvelo.metainfo.xml"

# Nothing installed is writable by others.
if find "$stage" -perm -o+w ! -type l | grep -q .; then
  echo "world-writable files installed:"; find "$stage" -perm -o+w ! -type l; exit 1
fi

# The staged host finds the staged extension (not the build tree's), and
# paints with it.
export XDG_DATA_DIRS=/nonexistent XDG_DATA_HOME="$stage/data" XDG_CONFIG_HOME="$stage/config"
"$root/bin/tarvelo-widgets" gallery | grep -q '^TarveloWidget	Tarvelo	small,medium	' ||
  { echo "the staged host does not list the widget"; exit 1; }
"$root/bin/tarvelo-widgets" render --kind TarveloWidget --family small --out "$stage/small.png"
[ -s "$stage/small.png" ]
[ ! -e "$stage/config/tarvelo/today.tarvelo.Tarvelo.TarveloWidget.json" ] || true
echo "install checks passed"
