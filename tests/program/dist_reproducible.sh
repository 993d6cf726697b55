#!/bin/sh
# The same commit gives the same release zip: builds it twice, from two
# clones in folders of other names and depths, in other time zones and
# locales, and compares the bytes. Uncommitted changes to tracked files are
# part of what is built. Only the program is built, without the tests.
#
#   dist_reproducible.sh <checkout>
set -eu
source=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

revision=$(git -C "$source" stash create)
revision=${revision:-HEAD}
revision=$(git -C "$source" rev-parse "$revision")

build() {  # <checkout folder> <TZ> <locale>
  git clone -q --shared --no-checkout "$source" "$1"
  git -C "$1" checkout -q "$revision"
  export TZ="$2" LC_ALL="$3" LANG="$3"
  cmake -S "$1" -B "$1/build/win32" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-w64-i686.cmake" -DJUMBLA_TESTS=OFF >/dev/null
  cmake --build "$1/build/win32" -j 2 --target jumbla >/dev/null
  "$1/tools/make_dist.py" "$1/build/win32" "$1/build"
}

# The Japanese locale where the machine has one, else another than the first.
japanese=$(locale -a | grep -ix 'ja_JP.utf-\?8' | head -n 1 || true)
(build "$work/jumbla" UTC C.UTF-8)
(build "$work/elsewhere/another-name" Asia/Tokyo "${japanese:-POSIX}")

version=$(cat "$work/jumbla/VERSION")
for file in "jumbla-$version.zip" "jumbla-$version.zip.sha256" jumbla.exe.debug; do
  cmp "$work/jumbla/build/$file" "$work/elsewhere/another-name/build/$file"
done
(cd "$work/jumbla/build" && sha256sum -c "jumbla-$version.zip.sha256")
echo "same bytes from both trees"
