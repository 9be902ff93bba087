#!/usr/bin/env bash
# A new learner's first session with the real program in a real X server, by
# mouse clicks at window coordinates: the instruction page of the first start,
# the page of part I, the page of level 3 and one training question answered on
# the keyboard. Checked by screenshots and by the files the program writes.
# Usage: first_steps.sh <program>   (run under xvfb-run)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=${1:?program path}
XD_WORK=$(mktemp -d)
XD_KEEP=${XD_KEEP:-}
# shellcheck source=xdrive.sh
. "$here/xdrive.sh"
trap 'xd_stop; rm -rf "$XD_WORK"' EXIT
prog=$XD_WORK/prog
xd_fresh_copy "$(dirname "$program")" "$prog"

# Level 3 (a revision level) opens with training as its step 1.
level3_page() { xd_level_page 1 "150 16 148 56 +$XD_INACTIVE" "150 16 148 80 +$XD_INACTIVE"; }
level1_page() { xd_level_page 1 "200 16 148 56 +$XD_INACTIVE"; }
# ДО of the first octave: the white key between client x 264 and 300.
do_key_lit() { xd_has 20 20 272 510 "$XD_GREEN"; }

# The first start opens the instruction, whose link leads into the course.
xd_start "$prog"
[ "$(xd_height)" = "$XD_HIDDEN" ] || xd_fail "the window starts $(xd_height) high, not $XD_HIDDEN"
xd_until 20 "no instruction page with «Начать работу!» on the first start" xd_instruction_page
xd_part_buttons_green || xd_fail "the part buttons are not green"
xd_click 200 368
xd_until 10 "«Начать работу!» did not open part I with level 9 current" xd_part_page

xd_click 250 88
xd_until 10 "level 3's page is not shown with its training step current" level3_page
xd_click 250 40
xd_until 10 "the training step did not open its introduction" xd_training_intro
xd_click 230 360
xd_until 10 "no training question page" xd_training_question
xd_answer_enabled && xd_fail "«Ответить!» is enabled before the note was heard"

# Listen, then answer: the keyboard slides out below the page.
xd_training_answer
xd_click 282 520
xd_until 5 "the pressed key did not light up green" do_key_lit

# Judged a second later: one of the two result pages, and the keyboard hides.
xd_until_height "$XD_HIDDEN" 10
xd_until 10 "neither the right-answer nor the wrong-answer page appeared" \
  eval 'xd_training_right || xd_training_wrong'
log=$(xd_log "$prog")
if xd_training_right; then
  outcome='Ноты угаданы правильно'
  xd_click 180 360
  xd_until 10 "«Дальше» did not lead to the next question" xd_training_question
else
  outcome='Ноты угаданы неправильно'
  xd_has 113 25 8 144 "$XD_GREEN" && xd_fail "the menu is not disabled after a wrong answer"
fi
echo "answered: $outcome"

xd_click 64 348
xd_wait_exit

# The log tells the session in order.
xd_log "$prog" > "$XD_WORK/log.txt"
expected=('Программа запущена' 'Открыта инструкция' 'Загружен уровень 3'
  'Начинаем угадывать мелодию' "$outcome" 'Программа закрыта')
sed 's/^[^-]* - //' "$XD_WORK/log.txt" | tr -d '\r' > "$XD_WORK/lines.txt"
printf '%s\n' "${expected[@]}" > "$XD_WORK/expected.txt"
awk 'NR == FNR { want[++n] = $0; next } i < n && $0 == want[i + 1] { i++ } END { exit i < n }' \
  "$XD_WORK/expected.txt" "$XD_WORK/lines.txt" ||
  xd_fail "the log does not tell the session in order: $(cat "$XD_WORK/log.txt")"
grep -q 'правильно' <<< "$log" || xd_fail "the answer was not logged before the page showed"

# Settings and progress written as the learner left them.
iconv -f WINDOWS-1251 -t UTF-8 "$prog/levels/settings.dat" | tr -d '\r' > "$XD_WORK/settings.txt"
for kv in firstrun=0 level=3 step=1 part=1; do
  grep -qx "$kv" "$XD_WORK/settings.txt" || xd_fail "settings.dat lacks $kv: $(cat "$XD_WORK/settings.txt")"
done
iconv -f WINDOWS-1251 -t UTF-8 "$prog/levels/03/level.dat" | tr -d '\r' |
  sed -n '/^\[step1\]/,/^\[step2\]/p' | grep -qx 'used=1' ||
  xd_fail "the training step of level 3 is not marked as seen"

# The next start is no longer a first one: it opens level 1.
xd_start "$prog"
xd_until 20 "a later start did not open level 1" level1_page
xd_instruction_page && xd_fail "a later start shows the instruction again"
xd_click 64 348
xd_wait_exit
echo "1 passed, 0 failed"
