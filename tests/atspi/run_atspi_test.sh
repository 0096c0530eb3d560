#!/usr/bin/env bash
# Runs Vantorel on a demo database on a virtual display of its own, in a desktop session with the
# accessibility bus, and reads its windows there as a screen reader does (read_windows.py).
# Arguments: the program, the setup tool, then any arguments for read_windows.py.
set -euo pipefail
program=$(realpath "$1") setup=$(realpath "$2")
shift 2
here=$(cd "$(dirname "$0")" && pwd)

skip() { echo "SKIP: $*"; exit 77; }
for tool in Xvfb dbus-run-session openbox xdotool; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/deps installs it)"
done
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "the accessibility bus (at-spi2-core) is not installed"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"

work=$(mktemp -d)
cleanup() {
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
(cd "$work" && "$setup" --demo >/dev/null)

# Xvfb picks a free display and writes its number once it accepts clients.
exec {ready}<> <(:)
Xvfb -displayfd "$ready" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 20 display <&"$ready" || { cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$display"

unset QT_QPA_PLATFORM
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0 GTK_MODULES=
cd "$work"
dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  openbox >/dev/null 2>&1 &
  sleep 1
  "$0" >program.log 2>&1 &
  program=$!
  status=0
  /usr/bin/python3 "$1" "${@:2}" || status=$?
  kill "$program" 2>/dev/null
  [ "$status" -eq 0 ] || cat program.log
  exit "$status"
' "$program" "$here/read_windows.py" "$@"
