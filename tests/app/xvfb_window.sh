#!/usr/bin/env bash
# Starts the real program in a real X window (Xvfb, no window manager), takes a
# screenshot and checks what a learner would see, then closes it with the exit
# button as a person would. Then the captions a window manager shows, and the
# end of a session by a signal.
set -euo pipefail
export LC_ALL=C.UTF-8 # xprop prints the captions as UTF-8
program=${1:?program path}
work=$(mktemp -d)
trap 'kill "${pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT

# A private copy of the program folder, so the test never writes into the build's course.
cp -r "$(dirname "$program")" "$work/prog"
rm -f "$work/prog/levels/log.dat"
printf '[main]\r\nfirstrun=0\r\n' > "$work/prog/levels/settings.dat"

fail() { echo "FAIL: $*"; exit 1; }

# Colour histogram of a client rectangle: w h x y (client coordinates).
colours() {
  convert "$work/shot.png" -crop "$1x$2+$(( wx + $3 ))+$(( wy + $4 ))" +repage \
    -format %c histogram:info:- > "$work/hist.txt"
  cat "$work/hist.txt"
}
has() { colours "$1" "$2" "$3" "$4"; grep -q "$5" "$work/hist.txt"; }

"$work/prog/$(basename "$program")" > "$work/out.txt" 2>&1 &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name 'Нотоклюв - демоверсия' | head -n 1) \
  || fail "the window did not appear"

# Exactly the window's own caption: nothing appended, as a window manager shows it.
caption() { xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
[ "$(caption "$wid")" = 'Нотоклюв - демоверсия' ] || fail "the caption reads '$(caption "$wid")'"
[ "$(xdotool getwindowname "$wid")" = 'Нотоклюв - демоверсия' ] \
  || fail "the window manager would show '$(xdotool getwindowname "$wid")'"

eval "$(xdotool getwindowgeometry --shell "$wid")"
wx=$X; wy=$Y
[ "$WIDTH" = 779 ] && [ "$HEIGHT" = 383 ] || fail "client area is ${WIDTH}x${HEIGHT}, not 779x383"
[ "$wx" = 258 ] && [ "$wy" = 146 ] || fail "window at $wx,$wy instead of 258,146"

# Let it paint, then look.
for _ in $(seq 1 50); do
  import -window root -depth 8 "$work/shot.png"
  has 113 25 8 144 '(132,194,37)' >/dev/null && break
  xdotool sync 2>/dev/null || true
done
has 113 25 8 144 '(132,194,37)' >/dev/null || fail "part button 1 is not green"
has 113 25 8 240 '(132,194,37)' >/dev/null || fail "part button 4 is not green"
has 99 20 8 120 '(255,0,0)' >/dev/null || fail "the Инструкция link is not red"
has 111 20 8 296 '(51,51,153)' >/dev/null || fail "the О программе link is not #333399"
# A later start opens the page of level 1: its caption and its active steps.
has 300 20 136 8 '(0,0,0)' >/dev/null || fail "no page caption at 136,8"
has 200 20 148 32 '(255,0,0)' >/dev/null || fail "the current step is not red on the level page"
has 200 20 148 56 '(166,202,240)' >/dev/null || fail "a step not yet open is not light blue"

# Close through the exit button, as a learner does.
xdotool mousemove --window "$wid" 64 348 click 1
timeout 10 tail --pid="$pid" -f /dev/null || true
kill -0 "$pid" 2>/dev/null && fail "the exit button did not close the program"
wait "$pid" || fail "the program exited with an error"
iconv -f WINDOWS-1251 -t UTF-8 "$work/prog/levels/log.dat" > "$work/log.txt"
grep -q 'Программа закрыта' "$work/log.txt" \
  || fail "the close was not logged"
[ -f "$work/prog/levels/settings.dat" ] || fail "settings were not saved"

# The session ends (logout, shutdown): SIGTERM closes as the exit button does.
printf '[main]\r\nfirstrun=0\r\n' > "$work/prog/levels/settings.dat"
"$work/prog/$(basename "$program")" >> "$work/out.txt" 2>&1 &
pid=$!
timeout 20 xdotool search --sync --onlyvisible --name 'Нотоклюв - демоверсия' >/dev/null \
  || fail "the window did not appear again"
kill -TERM "$pid"
timeout 10 tail --pid="$pid" -f /dev/null || fail "SIGTERM did not end the program"
wait "$pid" || fail "the program ended by SIGTERM with status $?"
iconv -f WINDOWS-1251 -t UTF-8 "$work/prog/levels/log.dat" | tr -d '\r' | tail -n 1 \
  | grep -q ' - Программа закрыта$' || fail "SIGTERM: the close is not the log's last record"
grep -q '^part=' "$work/prog/levels/settings.dat" || fail "SIGTERM: the settings were not saved"

# A message box carries the program's title, and only it: the log cannot be
# opened at start, since a folder stands in its place. The window is on the
# screen under it, and a session's end while it is up still ends the program.
rm -f "$work/prog/levels/log.dat"
mkdir "$work/prog/levels/log.dat"
"$work/prog/$(basename "$program")" >> "$work/out.txt" 2>&1 &
pid=$!
box=$(timeout 20 xdotool search --sync --onlyvisible --name 'Нотоклюв v5.0' | head -n 1) \
  || fail "no message box for the unwritable log"
[ "$(caption "$box")" = 'Нотоклюв v5.0' ] || fail "the message box's caption reads '$(caption "$box")'"
xdotool search --onlyvisible --name 'Нотоклюв - демоверсия' >/dev/null \
  || fail "the start-up message is on the screen without the window"
kill -TERM "$pid"
timeout 10 tail --pid="$pid" -f /dev/null || fail "SIGTERM with a start-up message up did not end the program"
wait "$pid" || fail "the program ended by SIGTERM under a start-up message with status $?"
echo "1 passed, 0 failed"
