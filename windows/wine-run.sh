#!/bin/sh
# Runs one cross-built program under Wine for ctest (the build's
# CMAKE_CROSSCOMPILING_EMULATOR). Qt's DLLs and plugins come from the
# dependency cache; the prefix is the throwaway one `make test-windows` made.
# QtTest's own output does not pass through Wine's console, so a test writes
# it to a file that is shown afterwards; its exit code is its failure count.
set -u
: "${KESTRO_WIN_DEPS:?}" "${WINEPREFIX:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPATH="$(winepath -w "$KESTRO_WIN_DEPS/bin");$(winepath -w /usr/lib/gcc/x86_64-w64-mingw32/12-posix);$(winepath -w /usr/x86_64-w64-mingw32/lib)"
export QT_PLUGIN_PATH="$(winepath -w "$KESTRO_WIN_DEPS/plugins")"
# The tests are not beside an ossl-modules folder, as the installed program is.
export OPENSSL_MODULES="$(winepath -w "$KESTRO_WIN_DEPS/lib/ossl-modules")"
# Under Wine the offscreen platform hangs; the real one draws on Xvfb.
export QT_QPA_PLATFORM=windows
program=$1; shift
case $(basename "$program") in
tst_*)
  out=$(mktemp "${TMPDIR:-/tmp}/kestro-wine-XXXXXX.txt")
  wine "$program" "$@" -o "$(winepath -w "$out"),txt" >/dev/null 2>&1
  rc=$?
  cat "$out"; rm -f "$out"
  exit $rc ;;
*)
  exec wine "$program" "$@" ;;
esac
