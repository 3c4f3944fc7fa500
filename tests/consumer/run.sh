#!/bin/sh
# Installs the build into a scratch prefix, then builds and runs a C++ host (CMake package), a Qt
# host (the package's Qt component, when the build has it) and a C host (pkg-config) against that
# prefix alone.
set -eu
build_dir=$1
source_dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build_dir" --prefix "$work/prefix" > "$work/install.log"
cmake -S "$source_dir" -B "$work/build" -DCMAKE_PREFIX_PATH="$work/prefix" > "$work/configure.log"
cmake --build "$work/build" > "$work/build.log"
libdir=$(dirname "$(find "$work/prefix" -name 'libKor2_Sys.so' | head -n 1)")
LD_LIBRARY_PATH="$libdir" "$work/build/consumer"
if [ -e "$work/build/consumer_qt" ]; then
  LD_LIBRARY_PATH="$libdir" QT_QPA_PLATFORM=offscreen "$work/build/consumer_qt"
elif [ -e "$libdir/libKor2_Sys_qt.so" ]; then
  echo "the Qt module is installed but the Qt host was not built" >&2
  exit 1
fi
PKG_CONFIG_PATH="$libdir/pkgconfig" cc "$source_dir/consumer.c" -o "$work/consumer_c" $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs kor2-sys)
LD_LIBRARY_PATH="$libdir" "$work/consumer_c"
