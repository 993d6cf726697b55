# What the Wine scripts, the demo and the Makefile share, in one place:
# the host's answer on 32-bit code, a prefix's width, the compiled locales.
# Sourced, never run; plain sh, so make's /bin/sh reads it too.
#   . tools/lib.sh
# The folder of this file: bash knows it; make's shell does not, so the
# Makefile, which runs in the top folder, sets jumbla_tools=tools first.
jumbla_tools=${jumbla_tools:-$(cd "$(dirname "$BASH_SOURCE")" && pwd)}

# Can this host run 32-bit programs, and so Debian's 32-bit Wine? Runs
# tools/host32.sh once and sets
#   host32      yes; no (the host runs no 32-bit code: a limit of the host,
#               a skip); or unknown (cannot tell: the 32-bit loader is
#               missing or does not start, a missing package)
#   host32_why  the one-line reason, empty on yes
# and returns 0 on yes only.
host32_check() {
  host32_why=$("$jumbla_tools/host32.sh") && { host32=yes; return 0; }
  [ $? -eq 1 ] && host32=no || host32=unknown
  return 1
}

# host32_refuse <line> <exit status when it cannot tell>: where the host
# cannot run 32-bit code, prints "<line>: <reason>" on stderr and exits 77
# (a limit of the host; CTest counts it as a skip), or with the given status
# when it cannot tell (a missing package is no skip). Returns on yes.
host32_refuse() {
  host32_check && return 0
  echo "$1: $host32_why" >&2
  [ "$host32" = no ] && exit 77
  exit "$2"
}

# Prints the width of the Wine prefix at $1, win32 or win64, or nothing
# when the prefix is not made yet.
prefix_width() {
  if [ -f "$1/system.reg" ]; then sed -n 's/^#arch=//p' "$1/system.reg" | head -n1; fi
}

# locale_build <folder> <locale>...: compiles each UTF-8 locale named (ja_JP,
# en_US) into <folder> for LOCPATH, unless it is there already.
locale_build() {
  local dir=$1 locale
  shift
  for locale in "$@"; do
    [ -d "$dir/$locale.UTF-8" ] && continue
    mkdir -p "$dir" && localedef -i "$locale" -f UTF-8 "$dir/$locale.UTF-8" || return
  done
}
