#!/bin/sh
# Builds, once, the Windows libraries the program needs (SQLite, OpenSSL's
# libcrypto, Qt's qtbase) from Debian's own source packages, at the versions
# Debian ships, into a cache outside the build folders keyed by those
# versions. Prints the cache folder on its last line.
#   windows/deps.sh          build what is missing, print the folder
#   windows/deps.sh --where  only print the folder (it may not exist)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
version() { awk -v p="$1" '$1 == p {print $2}' "$here/versions"; }
QT_V=$(version qt6-base); SSL_V=$(version openssl); SQL_V=$(version sqlite3)
key=$(echo "qtbase-$QT_V openssl-$SSL_V sqlite-$SQL_V" | tr ' +~:' '_..-')
root=${KESTRO_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestro-windows}
prefix=$root/$key
if [ "${1:-}" = --where ]; then echo "$prefix"; exit 0; fi

step() { echo "== [$(date +%H:%M:%S)] $*"; }

# `apt-get source` needs the mirror's source lists next to its binary ones.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  step "agregando las fuentes de Debian a apt"
  sudo=$([ "$(id -u)" = 0 ] || echo sudo)
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $sudo tee /etc/apt/sources.list.d/kestro-deb-src.sources >/dev/null
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
      $sudo tee /etc/apt/sources.list.d/kestro-deb-src.list >/dev/null
  fi
  $sudo apt-get update -qq
fi
src=$root/src-$key
mkdir -p "$src" "$prefix"
jobs=$(nproc)
cross=x86_64-w64-mingw32

fetch() { # package version: unpacks Debian's source once
  if ! ls -d "$src/$1"-*/ >/dev/null 2>&1; then
    step "fuente de $1 $2" >&2
    (cd "$src" && apt-get source -qq "$1=$2" >/dev/null 2>&1)
  fi
  ls -d "$src/$1"-*/ | head -n 1
}

if [ ! -f "$prefix/lib/libsqlite3.dll.a" ]; then
  dir=$(fetch sqlite3 "$SQL_V")
  step "SQLite: amalgama"
  (cd "$dir" && { [ -f Makefile ] || ./configure -q >/dev/null; } && make -s sqlite3.c >/dev/null)
  step "SQLite: sqlite3.dll"
  mkdir -p "$prefix/bin" "$prefix/lib" "$prefix/include"
  $cross-gcc-posix -O2 -shared -DSQLITE_API='__declspec(dllexport)' \
    -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_THREADSAFE=1 "$dir/sqlite3.c" \
    -o "$prefix/bin/sqlite3.dll" -Wl,--out-implib,"$prefix/lib/libsqlite3.dll.a"
  cp "$dir/sqlite3.h" "$dir/sqlite3ext.h" "$prefix/include/"
fi

if [ ! -f "$prefix/lib/libcrypto.dll.a" ]; then
  dir=$(fetch openssl "$SSL_V")
  step "OpenSSL: configurar"
  (cd "$dir" && ./Configure mingw64 shared no-tests --cross-compile-prefix=$cross- \
     --prefix="$prefix" --libdir=lib >/dev/null)
  step "OpenSSL: compilar libcrypto"
  (cd "$dir" && make -s -j"$jobs" build_libs >/dev/null 2>&1 && make -s install_dev >/dev/null)
fi

# OpenSSL's legacy module: old key ciphers (DES, RC2...), which the program
# loads only for a key that needs one. Its own step, so a cache built before
# it gains the module without being rebuilt.
if [ ! -f "$prefix/lib/ossl-modules/legacy.dll" ]; then
  dir=$(fetch openssl "$SSL_V")
  step "OpenSSL: módulo legacy"
  (cd "$dir" && { [ -f Makefile ] || ./Configure mingw64 shared no-tests \
       --cross-compile-prefix=$cross- --prefix="$prefix" --libdir=lib >/dev/null; } &&
     make -s -j"$jobs" build_modules >/dev/null 2>&1)
  mkdir -p "$prefix/lib/ossl-modules"
  cp "$dir/providers/legacy.dll" "$prefix/lib/ossl-modules/"
fi

if [ ! -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
  dir=$(fetch qt6-base "$QT_V")
  build=$src/qtbase-build
  step "Qt: configurar"
  mkdir -p "$build"
  KESTRO_WIN_DEPS=$prefix cmake -S "$dir" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/toolchain.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_sql=ON -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=ON \
    -DFEATURE_sql_odbc=OFF -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_ibase=OFF \
    -DSQLite3_INCLUDE_DIR="$prefix/include" -DSQLite3_LIBRARY="$prefix/lib/libsqlite3.dll.a" \
    >"$build.configure.log" 2>&1 || { tail -40 "$build.configure.log"; exit 1; }
  step "Qt: compilar (cerca de una hora en dos núcleos; una línea por paso)"
  KESTRO_WIN_DEPS=$prefix cmake --build "$build" -j "$jobs"
  step "Qt: instalar"
  cmake --install "$build" >/dev/null
fi

# Qt's own texts in Spanish: the .qm files are the same on every system, so
# Debian's are used where Qt looks for them (and the package ships them).
if [ ! -f "$prefix/translations/qtbase_es.qm" ]; then
  mkdir -p "$prefix/translations"
  cp /usr/share/qt6/translations/qtbase_es.qm "$prefix/translations/"
fi

touch "$prefix/.complete"
step "listo"
echo "$prefix"
