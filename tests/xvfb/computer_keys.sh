#!/usr/bin/env bash
# A training question of the real program answered from the computer keyboard
# in a real X server: xdotool presses physical keys, the panel's check draws
# their letters, an arrow moves them an octave down, and the key pressed
# lights, sounds and is judged. Level 3 of this copy keeps only its first note,
# ДО of the first octave, so every question asks for it: Z answers right, and
# S with the small octave chosen wrong.
# Usage: computer_keys.sh <program>   (run under xvfb-run)
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
printf '[main]\r\nfirstrun=0\r\n' > "$prog/levels/settings.dat"
LC_ALL=C sed -i '/^\[note2\]/,$d' "$prog/levels/03/notes.dat"

XD_LETTER='(51,51,153)'
# Letters on the white ДО keys (client x 8-43, 264-299, 519-555) of the two
# octaves the rows play: first and second, or small and first.
z_on_first() { xd_check "30 18 10 496 -$XD_LETTER" "30 18 266 496 +$XD_LETTER" "30 18 522 496 +$XD_LETTER"; }
z_on_small() { xd_check "30 18 10 496 +$XD_LETTER" "30 18 266 496 +$XD_LETTER" "30 18 522 496 -$XD_LETTER"; }
first_c_lit() { xd_has 20 20 272 510 "$XD_GREEN"; }
# The small octave's ДО# (S with the small octave chosen) lit green.
small_cis_lit() { xd_has 16 30 36 450 "$XD_GREEN"; }

xd_start "$prog"
xd_until 20 "a later start did not open level 1" xd_level_page 1
xd_click 60 156
xd_until 10 "part I did not open" xd_part_page
xd_click 250 88
xd_until 10 "level 3's page did not open" xd_level_page 1
xd_click 250 40
xd_until 10 "the training step did not open its introduction" xd_training_intro
xd_click 230 360
xd_until 10 "no training question page" xd_training_question
xd_training_answer

xdotool windowfocus --sync "$XD_WID" 2>/dev/null || true
xd_click 16 596 # the letters check on the panel
xd_until 5 "the key letters did not appear on the first octave" z_on_first
xdotool key z
xd_until 5 "the key Z did not light the first octave's ДО" first_c_lit
xd_until_height "$XD_HIDDEN" 10
xd_until 10 "the right-answer page did not appear" xd_training_right
xd_log "$prog" | grep -q 'Ноты угаданы правильно' || xd_fail "Z was not judged right: $(xd_log "$prog")"
xd_click 180 360
xd_until 10 "«Дальше» did not lead to the next question" xd_training_question
xd_training_answer
xd_until 5 "the key letters are not shown on the next question" z_on_first
xdotool key Left
xd_until 5 "the left arrow did not move the letters to the small octave" z_on_small
xdotool key s
xd_until 5 "the key S did not light the small octave's ДО#" small_cis_lit

xd_until_height "$XD_HIDDEN" 10
xd_until 10 "the wrong-answer page did not appear" xd_training_wrong
xd_log "$prog" | grep -q 'Ноты угаданы неправильно' || xd_fail "the key's answer was not judged: $(xd_log "$prog")"
xd_click 64 348
xd_wait_exit
iconv -f WINDOWS-1251 -t UTF-8 "$prog/levels/settings.dat" | tr -d '\r' | grep -qx 'keyletters=1' ||
  xd_fail "the letters' choice was not saved: $(cat "$prog/levels/settings.dat")"
echo "1 passed, 0 failed"
