#!/usr/bin/env bash
# A training question done by a learner who cannot see the screen, through
# the accessibility bus alone: the program and the client on a private
# session bus with its own accessibility bus. The log must tell the same
# question as one done by clicks.
# Usage: screen_reader.sh <program>   (run under xvfb-run and dbus-run-session)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=${1:?program path}
XD_WORK=$(mktemp -d)
# shellcheck source=xdrive.sh
. "$here/xdrive.sh"
cannot_run() {
  echo "cannot run: $*"
  if [ "${CI:-}" = true ]; then exit 1; fi
  exit 77
}
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || cannot_run "no $launcher (package at-spi2-core)"
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$launcher" --launch-immediately &
bus_pid=$!
trap 'xd_stop; kill "$bus_pid" 2>/dev/null || true; wait "$bus_pid" 2>/dev/null || true; rm -rf "$XD_WORK"' EXIT
timeout 10 bash -c 'until dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; do sleep 0.05; done' ||
  cannot_run "the accessibility bus did not start"

prog=$XD_WORK/prog
xd_fresh_copy "$(dirname "$program")" "$prog"
# Level 1's melody and report steps open, as after its first three.
sed -i '/^\[step[45]\]/,/^$/ s/^active=0/active=1/' "$prog/levels/01/level.dat"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
xd_start "$prog"
xdotool windowactivate --sync "$XD_WID" 2>/dev/null || xdotool windowfocus --sync "$XD_WID" || true

status=0
export NK_CSV_PATH=$XD_WORK/history.csv
"$python" "$here/screen_reader.py" | tee "$XD_WORK/client.txt" || status=$?
if [ "$status" != 0 ]; then
  [ "$status" = 77 ] && cannot_run "no AT-SPI client"
  tail -n 30 "$XD_WORK/out.txt"
  xd_fail "the screen reader's learner failed"
fi
xd_wait_exit

outcome='Ноты угаданы неправильно'
grep -q '^RESULT right' "$XD_WORK/client.txt" && outcome='Ноты угаданы правильно'
drill='Аккорд угадан неправильно'
grep -q '^DRILL right' "$XD_WORK/client.txt" && drill='Аккорд угадан правильно'
expected=('Программа запущена' 'Открыта инструкция' 'Загружен уровень 4' "$drill"
  'Загружен уровень 3' 'Начинаем угадывать мелодию' "$outcome" 'Программа закрыта')
xd_log "$prog" | sed 's/^[^-]* - //' | tr -d '\r' > "$XD_WORK/lines.txt"
printf '%s\n' "${expected[@]}" > "$XD_WORK/expected.txt"
awk 'NR == FNR { want[++n] = $0; next } i < n && $0 == want[i + 1] { i++ } END { exit i < n }' \
  "$XD_WORK/expected.txt" "$XD_WORK/lines.txt" ||
  xd_fail "the log does not tell the question as clicks would: $(cat "$XD_WORK/lines.txt")"
# The questionnaire's answer, written through the bus, is kept with the level.
answer=$(sed -n 's/^ANSWERED //p' "$XD_WORK/client.txt")
iconv -f WINDOWS-1251 -t UTF-8 "$prog/levels/01/notes.dat" | grep -qF "$answer" ||
  xd_fail "the answer «$answer» is not in level 1's notes"
# The history has the question as a click would leave it: level 3's training
# answer, ЛЯ of the first octave (octave 5, pitch 9), right or wrong as judged.
right=нет
grep -q '^RESULT right' "$XD_WORK/client.txt" && right=да
row=$(QT_QPA_PLATFORM=offscreen "$prog/notoklyuv" --stats --csv | grep '^[^,]*,3,тренировка,' | tail -n 1)
[ "$(echo "$row" | cut -d, -f4,6)" = "$right,59" ] ||
  xd_fail "the history does not hold the answer given through the bus: $row"
# The history saved through the dialog holds the question answered.
[ "$(wc -l < "$NK_CSV_PATH")" -ge 2 ] || xd_fail "the saved history holds no answer"
echo "PASS"
