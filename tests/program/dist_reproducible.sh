#!/bin/sh
# The same commit gives the same release zip: tools/make_dist.py builds it
# twice, into folders of other names and depths, in other time zones and
# locales, and the bytes are compared. Uncommitted changes to tracked files
# are part of what is built. Each build also checks the program inside its
# zip, the bytes users get (make_dist.py fails when tools/check_imports.py
# finds a fault there).
#
#   dist_reproducible.sh <checkout>
set -eu
source=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

revision=$(git -C "$source" stash create)
revision=${revision:-HEAD}
revision=$(git -C "$source" rev-parse "$revision")

build() {  # <output folder> <TZ> <locale>
  export TZ="$2" LC_ALL="$3" LANG="$3" JOBS=2
  "$source/tools/make_dist.py" "$1" "$revision"
}

# The Japanese locale where the machine has one, else another than the first.
japanese=$(locale -a | grep -ix 'ja_JP.utf-\?8' | head -n 1 || true)
(build "$work/jumbla" UTC C.UTF-8)
(build "$work/elsewhere/another-name" Asia/Tokyo "${japanese:-POSIX}")

version=$(git -C "$source" show "$revision:VERSION")
for file in "jumbla-$version.zip" "jumbla-$version.zip.sha256" jumbla.exe.debug; do
  cmp "$work/jumbla/$file" "$work/elsewhere/another-name/$file"
done
(cd "$work/jumbla" && sha256sum -c "jumbla-$version.zip.sha256")
echo "same bytes from both trees"
