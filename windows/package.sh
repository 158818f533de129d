#!/bin/sh
# Lays out the portable folder KESTRO/ from a cross build, zips it and wraps
# it in the installer.   windows/package.sh <build folder> <dependency cache>
set -eu
build=$(cd "$1" && pwd); deps=$2
here=$(cd "$(dirname "$0")" && pwd)
out=$build/KESTRO
mingw_gcc=/usr/lib/gcc/x86_64-w64-mingw32/12-posix
mingw_lib=/usr/x86_64-w64-mingw32/lib

rm -rf "$out" "$build/KESTRO-3.5-windows.zip" "$build/KESTRO-3.5-setup.exe"
mkdir -p "$out/platforms" "$out/sqldrivers" "$out/styles" "$out/translations" "$out/share/kestro" \
  "$out/ossl-modules"
cp "$build/kestro.exe" "$build/kestro_verifica_firma.exe" "$out/"
x86_64-w64-mingw32-strip "$out/kestro.exe" "$out/kestro_verifica_firma.exe"
cp "$build"/share/kestro/* "$out/share/kestro/"
# The user's manual as a file too (the program carries its own copy).
cp -r "$here/../docs/manual" "$out/manual"
for dll in Qt6Core Qt6Gui Qt6Widgets Qt6Sql; do cp "$deps/bin/$dll.dll" "$out/"; done
cp "$deps/plugins/platforms/qwindows.dll" "$out/platforms/"
cp "$deps/plugins/sqldrivers/qsqlite.dll" "$out/sqldrivers/"
cp "$deps/plugins/styles/qwindowsvistastyle.dll" "$out/styles/"
cp "$deps/translations/qtbase_es.qm" "$out/translations/"
cp "$deps/bin/libcrypto-3-x64.dll" "$deps/bin/sqlite3.dll" "$out/"
# Where the program points OpenSSL for its legacy module (old key ciphers).
cp "$deps/lib/ossl-modules/legacy.dll" "$out/ossl-modules/"
cp "$mingw_gcc/libstdc++-6.dll" "$mingw_gcc/libgcc_s_seh-1.dll" "$mingw_lib/libwinpthread-1.dll" "$out/"

find "$out" -name "*.dll" -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

(cd "$build" && zip -qr KESTRO-3.5-windows.zip KESTRO)

# The uninstaller removes exactly these files and then the folders, deepest
# first, only when they are empty.
files=$build/kestro-files.nsh
(cd "$out" && find . -type f | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|'
 cd "$out" && find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|') > "$files"
makensis -V2 -DSRC="$out" -DFILES="$files" -DICON="$here/../app/icons/kestro.ico" \
  -DOUT="$build/KESTRO-3.5-setup.exe" "$here/kestro.nsi"
echo "$build/KESTRO/"
echo "$build/KESTRO-3.5-windows.zip"
echo "$build/KESTRO-3.5-setup.exe"
