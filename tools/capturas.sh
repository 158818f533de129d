#!/bin/sh
# Screenshots of every window and dialog into docs/capturas/, taken by
# kestro_capturas on a 1366x768 virtual screen under openbox, at 100% and at
# 125% (QT_SCALE_FACTOR=1.25, files ending in -125), and the manual's
# pictures into docs/manual/imagenes/.   tools/capturas.sh [build folder]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target kestro_capturas kestro_mdb
out=$here/docs/capturas
fixtures=$here/tests/fixtures
# The agent with his addresses and Rosa (of the earlier kind, with an office
# and a declaration), two representatives under rule 2.13.11 and an earlier
# history of the agent; each representative declared without history of his own.
scene=$(mktemp); trap 'rm -f "$scene"' EXIT
grep -v '^insert into AA ' "$fixtures/representatives.sql" > "$scene"
echo 'update Mandatarios set SinHistorico=1' >> "$scene"
for scale in 1 1.25; do
  suffix=$([ $scale = 1 ] && echo "" || echo "-125")
  KESTRO_IMAGENES_MANUAL=$here/docs/manual/imagenes QT_SCALE_FACTOR=$scale sh "$here/tests/under_window_manager.sh" "$build/kestro_capturas" \
    "$build/share/kestro/kestro.mdb" "$out" "$suffix" \
    "$fixtures/office.sql" "$scene" "$fixtures/earlier-history.sql"
done
