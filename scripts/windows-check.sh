#!/usr/bin/env bash
# Builds the Qt-free core, quillmaker-cli, qm-lang-export, the stand-in update tool and the core
# tests for 64-bit Windows (mingw-w64), runs every test under Wine, then builds the example
# configuration with quillmaker-cli.exe in a folder with a non-ASCII name and compares the three
# banks byte for byte with those of the Linux build. Exits non-zero on any difference or failure.
#   QM_LINUX_CLI=<path>  the Linux quillmaker-cli to compare with (default: one built here)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
start=$SECONDS
step() { printf '\n== windows-check (%ds): %s\n' $((SECONDS - start)) "$*"; }

deps="$root/build/windows-deps"
build="$root/build/windows"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

step "packages"
scripts/install-deps.sh --windows "$deps/src"

# pugixml from Debian's source package and GoogleTest from /usr/src/googletest, built with the
# same toolchain into a prefix the preset searches.
if [[ ! -f "$deps/prefix/lib/libpugixml.a" ]]; then
  step "pugixml for Windows"
  pugixml_src=$(ls -d "$deps"/src/pugixml-*/ | head -n 1)
  cmake -G Ninja -S "$pugixml_src" -B "$deps/pugixml" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX="$deps/prefix" >/dev/null
  cmake --build "$deps/pugixml" -j2 >/dev/null
  cmake --install "$deps/pugixml" >/dev/null
fi
if [[ ! -f "$deps/prefix/lib/libcsv.a" ]]; then
  # One C file and its header; its own build is autotools, which a cross-build does not need.
  step "libcsv for Windows"
  libcsv_src=$(ls -d "$deps"/src/libcsv-*/ | head -n 1)
  mkdir -p "$deps/libcsv" "$deps/prefix/lib" "$deps/prefix/include"
  x86_64-w64-mingw32-gcc-posix -O2 -c "$libcsv_src/libcsv.c" -I"$libcsv_src" -o "$deps/libcsv/libcsv.o"
  x86_64-w64-mingw32-ar rcs "$deps/prefix/lib/libcsv.a" "$deps/libcsv/libcsv.o"
  cp "$libcsv_src/csv.h" "$deps/prefix/include/"
fi
if [[ ! -f "$deps/prefix/lib/libgtest_main.a" ]]; then
  step "GoogleTest for Windows"
  cmake -G Ninja -S /usr/src/googletest -B "$deps/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON \
    -DCMAKE_INSTALL_PREFIX="$deps/prefix" >/dev/null
  cmake --build "$deps/googletest" -j2 >/dev/null
  cmake --install "$deps/googletest" >/dev/null
fi

# A prefix of its own, made once; a time limit so that nothing can wait for a display or an answer.
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  step "Wine prefix"
  mkdir -p "$build"
  timeout 300 cmake/wine-run.sh wineboot -i </dev/null >/dev/null 2>&1 || {
    echo "windows-check: wineboot did not finish" >&2
    exit 1
  }
fi

step "cross-build (preset windows)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j2

step "core tests under Wine"
# A test process that Wine fails to start (seen now and then, with no output and in no time) is
# run once more; a test that fails on its own fails both times.
ctest --preset windows -j2 --timeout 300 --repeat until-pass:2 </dev/null >"$build/ctest.log" 2>&1 || {
  cat "$build/ctest.log"
  exit 1
}
sed -n '/tests passed/,$p' "$build/ctest.log"

# The Linux tool of a build the caller already made (test.sh passes its own), else one built here.
linux_cli="${QM_LINUX_CLI:-}"
if [[ -z "$linux_cli" ]]; then
  step "Linux quillmaker-cli for the reference banks"
  linux="$root/build/windows-check-linux"
  cmake -G Ninja -S . -B "$linux" -DCMAKE_BUILD_TYPE=Release -DQM_BUILD_GUI=OFF -DQM_BUILD_TESTS=OFF >/dev/null
  cmake --build "$linux" -j2 --target quillmaker-cli >/dev/null
  linux_cli="$linux/bin/quillmaker-cli"
fi

step "example configuration in a non-ASCII folder, built on both platforms"
name="Kläranlage_Süd"
check="$build/check"
rm -rf "$check"
mkdir -p "$check/windows/$name" "$check/linux/$name"
cp -R examples/Example/. "$check/windows/$name/"
cp -R examples/Example/. "$check/linux/$name/"
rm -rf "$check/windows/$name/bin" "$check/linux/$name/bin"
mkdir -p "$check/windows/$name/bin" "$check/linux/$name/bin"
# The Windows tool is given a Windows path (drive Z: is the root of the Linux file system).
win_dir="Z:${check//\//\\}\\windows\\$name"
wine_run() { cmake/wine-run.sh "$@" </dev/null; }
wine_run "$build/bin/quillmaker-cli.exe" build "$win_dir"
"$linux_cli" build "$check/linux/$name" >/dev/null
for bank in bank1.bin bank2.bin bank3.bin; do
  cmp "$check/windows/$name/bin/$bank" "$check/linux/$name/bin/$bank"
  echo "$bank: identical ($(stat -c %s "$check/linux/$name/bin/$bank") bytes)"
done
wine_run "$build/bin/quillmaker-cli.exe" check "$win_dir" >/dev/null
# A list exported to standard output is the same bytes as on Linux (CR LF line ends, the line
# breaks inside a certificate as they are), and imports back without a change.
wine_run "$build/bin/quillmaker-cli.exe" export "$win_dir" certificates >"$check/windows-stdout.csv"
"$linux_cli" export "$check/linux/$name" certificates >"$check/linux-stdout.csv"
cmp "$check/windows-stdout.csv" "$check/linux-stdout.csv"
wine_run "$build/bin/quillmaker-cli.exe" import "$win_dir" certificates "Z:${check//\//\\}\\windows-stdout.csv" >/dev/null
"$linux_cli" export "$check/windows/$name" certificates >"$check/after-import.csv"
cmp "$check/after-import.csv" "$check/linux-stdout.csv"
echo "certificates exported to standard output: identical, imported back unchanged"
wine_run "$build/bin/quillmaker-cli.exe" inspect "$win_dir" >/dev/null

step "English.lng written by qm-lang-export.exe"
wine_run "$build/bin/qm-lang-export.exe" "Z:${check//\//\\}\\English.lng" >/dev/null
cmp "$check/English.lng" LANGUAGE/English.lng
echo "English.lng: identical"

printf '\nwindows-check: all passed in %d s\n' $((SECONDS - start))
