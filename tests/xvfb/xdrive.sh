# Shared by the scripts that drive the real program in an X server as a
# learner would: start it, find its window, click by window coordinates, look
# at screenshots and wait for what should appear. Source it; needs $XD_WORK.
# shellcheck shell=bash

XD_TITLE='Нотоклюв - демоверсия'
XD_PID=
XD_WID=

xd_fail() {
  echo "FAIL: $*"
  if [ -n "${XD_KEEP:-}" ] && [ -f "$XD_WORK/shot.png" ]; then
    cp "$XD_WORK/shot.png" "$XD_KEEP" && echo "last screenshot kept as $XD_KEEP"
  fi
  exit 1
}

# Starts the program of a program folder and waits for its window.
xd_start() {
  "$1/notoklyuv" >> "$XD_WORK/out.txt" 2>&1 &
  XD_PID=$!
  XD_WID=$(timeout 30 xdotool search --sync --onlyvisible --name "$XD_TITLE" | head -n 1) \
    || xd_fail "the window did not appear"
}

# Waits for the program to end by itself (after the exit button) and checks its status.
xd_wait_exit() {
  timeout 15 tail --pid="$XD_PID" -f /dev/null || xd_fail "the program did not close"
  wait "$XD_PID" || xd_fail "the program exited with an error"
  XD_PID=
}

xd_stop() {
  # Waited for, so the program's last writes are over before its folder is removed.
  if [ -n "${XD_PID:-}" ]; then
    kill "$XD_PID" 2>/dev/null || true
    wait "$XD_PID" 2>/dev/null || true
  fi
}

xd_height() {
  xdotool getwindowgeometry --shell "$XD_WID" | sed -n 's/^HEIGHT=//p'
}

# A screenshot of the window alone: pixel coordinates are client coordinates.
xd_shot() {
  import -window "$XD_WID" -depth 8 "$XD_WORK/shot.png" 2>/dev/null || return 1
}

# Checks rectangles of the last screenshot, all in one pass. Each argument is
# "W H X Y WANT" in client coordinates, WANT being +(r,g,b) (the colour is
# there), -(r,g,b) (it is not) or dark (text or lines drawn there).
xd_check() {
  local args=() i=0 region w h x y want
  local wants=()
  for region in "$@"; do
    read -r w h x y want <<< "$region"
    args+=('(' +clone -crop "${w}x${h}+${x}+${y}" +repage -format "@$i\n%c"
      -write histogram:info:- +delete ')')
    wants+=("$want")
    i=$((i + 1))
  done
  local hist
  hist=$(convert "$XD_WORK/shot.png" "${args[@]}" null: 2>/dev/null) || return 1
  awk -v wants="${wants[*]}" '
    /^@/ { r = substr($0, 2); next }
    match($0, /\([0-9]+,[0-9]+,[0-9]+/) {
      c = substr($0, RSTART, RLENGTH) ")"; seen[r, c] = 1
      split(substr(c, 2, length(c) - 2), v, ",")
      if (v[1] < 90 && v[2] < 90 && v[3] < 90) dark[r] = 1
    }
    END {
      n = split(wants, w, " ")
      for (i = 1; i <= n; i++) {
        k = w[i]; r = i - 1; c = substr(k, 2)
        if (k == "dark" ? !dark[r] : substr(k, 1, 1) == "+" ? !seen[r, c] : seen[r, c]) exit 1
      }
    }' <<< "$hist"
}

# One rectangle: xd_has W H X Y "(r,g,b)", xd_lacks likewise, xd_dark W H X Y.
xd_has() { xd_check "$1 $2 $3 $4 +$5"; }
xd_lacks() { xd_check "$1 $2 $3 $4 -$5"; }
xd_dark() { xd_check "$1 $2 $3 $4 dark"; }

# Retries a check on fresh screenshots until it holds or the time (s) is up.
# Usage: xd_until SECONDS "what is awaited" check args...
xd_until() {
  local limit=$1 what=$2
  shift 2
  local end=$((SECONDS + limit))
  while :; do
    if xd_shot && "$@"; then return 0; fi
    [ "$SECONDS" -lt "$end" ] || xd_fail "$what"
  done
}

# Waits for the window's client height to reach a value (the keyboard slide).
xd_until_height() {
  local end=$((SECONDS + $2))
  until [ "$(xd_height)" = "$1" ]; do
    [ "$SECONDS" -lt "$end" ] || xd_fail "the window's height stayed $(xd_height), not $1"
    xdotool sleep 0.05
  done
}

xd_click() {
  xdotool mousemove --window "$XD_WID" "$1" "$2" click 1
}

# The activity log as UTF-8 text.
xd_log() {
  iconv -f WINDOWS-1251 -t UTF-8 "$1/levels/log.dat"
}

# A fresh copy of a program folder with the learner's files as shipped.
xd_fresh_copy() {
  cp -r "$1" "$2"
  rm -f "$2/levels/log.dat" "$2/levels/settings.dat"
}

# What the learner sees, on the last screenshot (client coordinates of the pages).
XD_RED='(255,0,0)'
XD_BLACK='(0,0,0)'
XD_ACTIVE='(51,51,153)'
XD_INACTIVE='(166,202,240)'
XD_GREEN='(132,194,37)'
XD_YELLOW='(255,255,0)'
XD_KEY_BLACK='(36,33,29)'
XD_HIDDEN=383
XD_SHOWN=635

# A red arrow link at a top: its text, and its arrow picture (20 x 20, red in
# rows 3-16) exactly there, so links a few pixels apart are told apart.
xd_link_checks() {
  local t=$1
  XD_LINK=("20 3 132 $t -$XD_RED" "20 14 132 $((t + 3)) +$XD_RED"
    "20 3 132 $((t + 17)) -$XD_RED" "150 20 156 $t +$XD_RED")
}
xd_instruction_page() { xd_link_checks 360 && xd_check "${XD_LINK[@]}" "600 300 130 4 dark"; }
# Part I: levels listed from top 32, the last one (9) current with the arrow.
xd_part_page() {
  xd_check "300 16 136 8 +$XD_BLACK" "300 16 148 32 +$XD_ACTIVE" "300 16 148 224 +$XD_RED" \
    "24 16 124 224 +$XD_RED" "24 16 124 32 -$XD_RED"
}
# A level page whose current step is the k-th (1-5), and more checks if given.
xd_level_page() {
  local top=$((24 * $1 + 8))
  shift
  xd_check "300 16 136 8 +$XD_BLACK" "200 16 148 $top +$XD_RED" "24 16 124 $top +$XD_RED" "$@"
}
xd_training_intro() { xd_link_checks 352 && xd_check "${XD_LINK[@]}" "300 16 136 8 +$XD_BLACK"; }
xd_answer_enabled() { xd_has 196 21 138 178 "$XD_YELLOW"; }
xd_training_question() {
  xd_check "300 16 136 8 +$XD_BLACK" "196 21 138 92 +$XD_YELLOW" "151 55 460 0 +$XD_ACTIVE"
}
xd_keyboard_shown() { xd_has 760 100 8 390 "$XD_KEY_BLACK"; }
# No caption, the green tick picture and «Дальше».
xd_training_right() {
  xd_link_checks 352 &&
    xd_check "${XD_LINK[@]}" "300 16 136 8 -$XD_BLACK" "260 170 136 100 +(153,204,51)"
}
xd_training_wrong() {
  xd_link_checks 250 && xd_check "${XD_LINK[@]}" "300 16 136 8 +$XD_BLACK" \
    "196 21 138 121 +$XD_YELLOW" "196 21 138 178 +$XD_GREEN"
}
xd_part_buttons_green() { xd_check "113 25 8 144 +$XD_GREEN" "113 25 8 240 +$XD_GREEN"; }

# From a training question page: listen, answer, and wait for the keyboard.
xd_training_answer() {
  xd_click 236 102
  xd_until 20 "«Ответить!» was not enabled after the note played" xd_answer_enabled
  xd_click 236 188
  xd_until_height "$XD_SHOWN" 10
  xd_until 10 "the keyboard is not visible below the page" xd_keyboard_shown
}
