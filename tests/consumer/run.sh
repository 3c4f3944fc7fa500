#!/bin/sh
# Builds hosts against the library as a host project meets it: the README's own C++ and C examples,
# taken from README.md as printed, against the installed tree (CMake package, pkg-config); a Qt
# host with the package's Qt component when the build has it;
# and the README's C++ example again with the library added as a subdirectory of the host's tree.
#   run.sh BUILD_DIR               against the build installed into a folder of its own
#   run.sh BUILD_DIR --installed   against the packages installed on this machine (/usr)
set -eu
build_dir=$1
installed=${2:-}
source_dir=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$source_dir/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "$installed" = "--installed" ]; then
  prefix=/usr
  libdir=$(dirname "$(find /usr/lib -name 'libKor2_Sys.so' | head -n 1)")
else
  prefix="$work/prefix"
  cmake --install "$build_dir" --prefix "$prefix" > "$work/install.log"
  libdir=$(dirname "$(find "$prefix" -name 'libKor2_Sys.so' | head -n 1)")
  export PKG_CONFIG_PATH="$libdir/pkgconfig"
fi

# Every fenced block after a line "<!-- example: NAME -->" becomes the file NAME.
mkdir "$work/readme"
awk -v dir="$work/readme" '
  /^<!-- example: .* -->$/ { name = $3; next }
  name != "" && /^```/ { if (inside) { close(dir "/" name); name = ""; inside = 0 } else inside = 1; next }
  inside { print > (dir "/" name) }' "$root/README.md"
for file in CMakeLists.txt main.cpp host.c build-c.sh; do
  test -s "$work/readme/$file" || { echo "README.md has no example $file" >&2; exit 1; }
done

cmake -S "$work/readme" -B "$work/readme/build" -DCMAKE_PREFIX_PATH="$prefix" > "$work/readme-configure.log"
cmake --build "$work/readme/build" > "$work/readme-build.log" || { cat "$work/readme-build.log"; exit 1; }
echo "README C++: $(LD_LIBRARY_PATH="$libdir" "$work/readme/build/my_host")"
(cd "$work/readme" && sh build-c.sh)
echo "README C: $(LD_LIBRARY_PATH="$libdir" "$work/readme/host")"

if [ -e "$libdir/libKor2_Sys_qt.so" ]; then
  cmake -S "$source_dir" -B "$work/qt" -DCMAKE_PREFIX_PATH="$prefix" > "$work/qt-configure.log"
  cmake --build "$work/qt" > "$work/qt-build.log" || { cat "$work/qt-build.log"; exit 1; }
  echo "Qt: $(LD_LIBRARY_PATH="$libdir" QT_QPA_PLATFORM=offscreen "$work/qt/consumer_qt")"
fi

# The source tree is no installed file.
[ "$installed" = "--installed" ] && exit 0

# Kept in the build tree, so that a second run only rebuilds what changed. Unoptimised: what this
# shows is that the tree builds and links inside a host's, and the optimiser would double its time.
subdir_build="$build_dir/tests/consumer-subdirectory"
cmake -S "$source_dir/subdirectory" -B "$subdir_build" -G Ninja -DCMAKE_BUILD_TYPE= \
  -DKOR2_SOURCE_DIR="$root" -DKOR2_EXAMPLE_DIR="$work/readme" > "$work/subdir-configure.log"
cmake --build "$subdir_build" --target my_host > "$work/subdir-build.log" || { cat "$work/subdir-build.log"; exit 1; }
echo "add_subdirectory: $("$subdir_build/my_host")"
