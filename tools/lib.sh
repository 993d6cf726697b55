# What the Wine scripts, the demo, the test suites and the Makefile share,
# in one place: the host's answer on 32-bit code, a prefix's width, the
# compiled locales, a virtual display and a test run's Wine session.
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

# xvfb_start: a virtual display of its own (Xvfb picks a free number), in
# DISPLAY; xvfb_stop ends it. Its id is in xvfb_pid.
xvfb_pid=
xvfb_start() {
  local fifo display
  fifo=$(mktemp -u) && mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r display <"$fifo"
  rm -f "$fifo"
  export DISPLAY=:$display
}
xvfb_stop() {
  [ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; }
  xvfb_pid=
}

# wine_session_start [keeper]: WINEPREFIX's Wine session on DISPLAY, for
# test runs: its server, kept until wine_session_stop, and Wine's own
# processes (services, the desktop), started here, holding no pipe of
# anyone's (started by a test, they would keep that test's output open as
# long as the session lasts, and CTest would wait for them). A keeper
# (tests/support/session_keeper) then holds the desktop to the end; it
# says "ready" once the desktop's process is up. Nothing starts where the
# prefix is not made.
wine_session_keeper=
wine_session_start() {
  local fifo ready=
  [ -f "$("$jumbla_tools/wine-run.sh" --prefix)/system.reg" ] || return 0
  "$jumbla_tools/wine-run.sh" --server -p >/dev/null 2>&1 </dev/null || true
  "$jumbla_tools/wine-run.sh" wineboot >/dev/null 2>&1 </dev/null
  # 77: this host cannot run the prefix's width (tools/wine-run.sh).
  [ $? -ne 77 ] && [ -n "${1:-}" ] || return 0
  fifo=$(mktemp -u) && mkfifo "$fifo" || return 1
  "$jumbla_tools/wine-run.sh" "$1" </dev/null >"$fifo" 2>/dev/null &
  wine_session_keeper=$!
  # A bounded wait: a Wine that cannot start must not hang the run.
  read -r -t 300 ready <"$fifo"
  rm -f "$fifo"
  [ "$ready" = ready ] || echo "wine_session_start: the desktop's keeper did not start" >&2
}
# Ends WINEPREFIX's server and with it every Wine process of the prefix.
wine_session_stop() {
  [ -z "$wine_session_keeper" ] || kill "$wine_session_keeper" 2>/dev/null
  "$jumbla_tools/wine-run.sh" --server -k >/dev/null 2>&1 || true
  [ -z "$wine_session_keeper" ] || wait "$wine_session_keeper" 2>/dev/null
  wine_session_keeper=
}
