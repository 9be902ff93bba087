#!/usr/bin/env bash
# Start to first page painted, median of 10 starts (with min and max).
#
#   bench/start/start_time.sh [--build DIR] [probe options]
#       this program, from a copy of DIR's program folder (default: build/),
#       until the page of level 1 (a later start's first page) is on screen
#   bench/start/start_time.sh [--build DIR] --name TITLE [probe options] -- command [args]
#       any other desktop program, for comparison; e.g.
#       bench/start/start_time.sh --name xmessage -- xmessage -center hello
#   bench/start/start_time.sh [--build DIR] --bare [probe options]
#       a bare Qt Widgets window (bench/start/bare_window.cpp): the yardstick
#
# Probe options (bench/start/bench_start.cpp): --runs N, --warmup N,
# --rect X,Y,W,H, --colour RRGGBB (a colour that must be in the rectangle; without
# one, the rectangle or window only has to hold more than one colour), --timeout S.
# Without a display it runs itself in a fresh Xvfb (no window manager).
# Wall times wait for the processor on a busy machine (the processor time printed
# does not); as root, `chrt -f 10 bench/start/start_time.sh ...` runs the X server,
# the program and the probe ahead of everything else, as on an idle machine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

build=$root/build
if [ "${1:-}" = --build ]; then
  build=$(cd "${2:?build directory}" && pwd)
  shift 2
fi
probe=$build/bench/start/bench_start
bare=$build/bench/start/bare_window
if [ ! -x "$probe" ] || [ ! -x "$bare" ]; then
  # Benchmarks are built only on request.
  cmake -S "$root" -B "$build" -DNK_BUILD_BENCH=ON >/dev/null
  cmake --build "$build" --target bench_start bare_window >/dev/null
fi

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), scheduling: $(chrt -p $$ | sed -n 's/.*policy: //p')"
if [ "${1:-}" = --bare ]; then
  shift
  echo "program: $bare (its line of black text painted)"
  exec "$probe" --name 'bare window' --colour 000000 "$@" -- "$bare"
fi
for arg in "$@"; do
  if [ "$arg" = -- ]; then exec "$probe" "$@"; fi
done

# This program: a private copy of the program folder, past the first start.
program_dir=$build/notoklyuv
[ -x "$program_dir/notoklyuv" ] || {
  echo "no program in $program_dir: build the targets notoklyuv and nk_default_course" >&2
  exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$program_dir" "$work/prog"
rm -f "$work/prog/levels/log.dat"
printf '[main]\r\nfirstrun=0\r\n' > "$work/prog/levels/settings.dat"
echo "program: $program_dir/notoklyuv (level 1 page: caption and current step painted)"
# The caption (black) and the current step (red) of the level page.
"$probe" --name 'Нотоклюв - демоверсия' --rect 136,8,300,16 --colour 000000 \
  --rect 148,32,200,16 --colour FF0000 "$@" -- "$work/prog/notoklyuv"
