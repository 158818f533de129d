#!/bin/sh
# Runs a test program as a person sees the program: on its own virtual
# 1366x768 screen, under a window manager (openbox) that frames, places and
# sizes the windows. QT_SCALE_FACTOR, when set, is passed on.
#   under_window_manager.sh <test program> [arguments]
set -eu
for tool in xvfb-run openbox xprop; do
  command -v $tool >/dev/null || { echo "Falta $tool: make test instala xvfb, openbox y x11-utils."; exit 1; }
done
export QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 1366x768x24" sh -c '
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  # The window manager is up once it names itself on the root window.
  i=0
  while ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    i=$((i + 1)); [ $i -lt 100 ] || { echo "openbox no arrancó"; exit 1; }
    sleep 0.1
  done
  "$@"; rc=$?
  kill $wm 2>/dev/null
  exit $rc' sh "$@"
