#!/bin/sh
# Screenshots of the installed Windows program as a user meets it, under
# Wine on a 1366x768 virtual screen with openbox: the installer run silently
# in a throwaway prefix, F1 on the first page opening the manual, then a
# second agent added with --agente, chosen with the keyboard in the list of
# agents and opened.   tools/capturas-wine.sh <KESTRO-3.5-setup.exe>
# Needs wine64, xvfb, openbox, xdotool, x11-apps and imagemagick.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
out=$here/docs/capturas
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
screen=:$((60 + $$ % 30))
Xvfb "$screen" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$screen
sleep 1
openbox >/dev/null 2>&1 &
wm=$!
finish() {
  wineserver -k 2>/dev/null || true
  kill $wm $xvfb 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

# The id of the visible window with exactly this title, once it shows.
window() {
  for _ in $(seq 1 120); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.5
  done
  echo "no apareció la ventana \"$1\"; están:" >&2
  for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    echo "  $(xdotool getwindowname "$id")" >&2
  done
  return 1
}

# Waits until no window has this title.
gone() {
  for _ in $(seq 1 60); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.5
  done
}

# The window with the frame the window manager gave it: the frame is the
# window's ancestor that stands right on the root.
framed() {
  root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
  id=$1
  while parent=$(xwininfo -tree -id "$id" | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p') &&
    [ -n "$parent" ] && [ "$parent" != "$root" ]; do
    id=$parent
  done
  echo "$id"
}

corner() {
  xwininfo -id "$1" | sed -n "s/.*Absolute upper-left $2: *//p"
}

# The frame grabbed, and the window's own grab laid over it: grabbed
# through its frame, Wine's text window comes out black.
shot() {
  sleep 2
  frame=$(framed "$1")
  dx=$(($(corner "$1" X) - $(corner "$frame" X)))
  dy=$(($(corner "$1" Y) - $(corner "$frame" Y)))
  xwd -silent -id "$frame" | convert xwd:- "png:$work/frame.png"
  xwd -silent -id "$1" | convert xwd:- "png:$work/window.png"
  convert "$work/frame.png" "$work/window.png" -geometry "+$dx+$dy" -composite "png:$out/$2.png"
  echo "$out/$2.png"
}

# A key pressed as on a keyboard, in the window brought to the front: Wine
# ignores keys sent to a window directly.
key() {
  xdotool windowactivate --sync "$1" 2>/dev/null || true
  sleep 0.5
  xdotool key "$2"
}

startDialog() {
  key "$(window 'KESTRO 3.5')" Return
  sleep 3
}

# Any message of a first start (no earlier version, the day's copy)
# accepted, until the main window with this title stands alone.
mainWindow() {
  while id=$(xdotool search --onlyvisible --name '^Mensaje$' 2>/dev/null | tail -1) && [ -n "$id" ]; do
    key "$id" Return
    sleep 1
  done
  window "$1"
}

wineboot -i >/dev/null 2>&1
wineserver -w
wine "$setup" /S >/dev/null 2>&1
wineserver -w
installed="$WINEPREFIX/drive_c/Program Files/KESTRO"
program="$installed/kestro.exe"
[ -f "$program" ] || { echo "el instalador no dejó $program" >&2; exit 1; }

# F1 on the first page opens the manual at that page's section.
wine "$program" >/dev/null 2>&1 &
startDialog
main=$(mainWindow 'KESTRO 3.5')
key "$main" F1
shot "$(window 'Manual de KESTRO 3.5')" wine-manual-f1
wineserver -k
sleep 2

# A second agent's folder, holding a database with his data.
second="$WINEPREFIX/drive_c/Agente 3547"
mkdir -p "$second"
cp "$installed/share/kestro/kestro.mdb" "$second/kestro.mdb"
chmod u+w "$second/kestro.mdb"
sqlite3 "$second/kestro.mdb" "insert into AA values (3547,'MARIA','LUNA','SOTO','LUSM750505AB2',\
'LUSM750505MDFNTR02',1234,470,null,null,null,0,null)"
wine "$program" --agente 'C:\Agente 3547' >/dev/null 2>&1 &
startDialog
mainWindow 'KESTRO 3.5 - 3547 MARIA LUNA SOTO' >/dev/null
wineserver -k
sleep 2

# The list of agents, after the start dialog, the second one chosen with
# the keyboard and opened.
wine "$program" --agentes >/dev/null 2>&1 &
startDialog
list=$(window 'Agentes de KESTRO 3.5')
shot "$list" wine-agentes
# The last agent opened comes chosen: up to the first, down to the second.
key "$list" Up
key "$list" Down
key "$list" Return
gone 'Agentes de KESTRO 3.5'
shot "$(mainWindow 'KESTRO 3.5 - 3547 MARIA LUNA SOTO')" wine-segundo-agente
