#!/usr/bin/env bash
# make dist: both Windows targets built in Release with the given CMake
# arguments (the three addresses among them), stripped, and zipped with the
# package read-me: build/dist/lyrabox-VERSION-win64.zip and -win32.zip.
# Usage: dist.sh JOBS [CMAKE_ARGS...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$1
shift
dist="$top/build/dist"
mkdir -p "$dist"

for arch in win64 win32; do
    case $arch in
    win64) triple=x86_64-w64-mingw32 ;;
    win32) triple=i686-w64-mingw32 ;;
    esac
    tree="$top/build/dist-$arch"
    cmake -S "$top" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$triple.cmake" \
        -DLYRABOX_HOST_BUILD_DIR="$top/build/host" "$@"
    cmake --build "$tree" --target lyrabox -j "$jobs"
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$tree/CMakeCache.txt")
    name="lyrabox-$version-$arch"
    rm -rf "${dist:?}/$name" "$dist/$name.zip"
    mkdir -p "$dist/$name"
    "$triple-strip" -o "$dist/$name/lyrabox.exe" "$tree/app/lyrabox.exe"
    cp "$tree/README.txt" "$dist/$name/README.txt"
    (cd "$dist" && cmake -E tar cf "$name.zip" --format=zip "$name")
    rm -rf "${dist:?}/$name"
    echo "Package: $dist/$name.zip"
done
