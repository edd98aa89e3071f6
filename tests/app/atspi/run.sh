#!/bin/sh
# The program under a virtual screen with the accessibility bus, walked from outside by
# walk_program.py. Arguments: the program, vazuvede-init, the walker's Python.
set -e
program=$1 init=$2 python=$3
here=$(dirname "$0")
work=$(mktemp -d)
trap 'kill $app $launcher $xvfb 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/Jelentesek"
cp "$program" "$work/zazadoroz"
"$init" --minta "$work/Vazuvede.adat" >/dev/null
# Xvfb picks a free display and names it.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for i in 1 2 3 4 5 6 7 8 9 10; do [ -s "$work/display" ] && break; sleep 0.5; done
display=$(cat "$work/display")
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# Under the memory checkers: the X keyboard library hands strndup a buffer that ends at its
# length, not at a zero byte, which is legal but which the strict string check takes for an
# overflow. Only this program on a real display loads that library; the rest stays strict.
[ -n "${ASAN_OPTIONS-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
launcher=$!
sleep 1
"$work/zazadoroz" >"$work/program.log" 2>&1 &
app=$!
"$python" "$here/walk_program.py"
