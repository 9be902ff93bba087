#!/bin/bash
# The launcher on a made-up installation whose "program" only records how it
# was started: the per-user folder is made, refreshed after an upgrade, and the
# learner's own files always survive.
set -euo pipefail
launcher=$(readlink -f "${1:-$(dirname "$0")/notoklyuv}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix=$work/usr
inst=$prefix/lib/notoklyuv
mkdir -p "$prefix/bin" "$inst/levels/01" "$inst/sound/piano" "$inst/pictures"
cp "$launcher" "$prefix/bin/notoklyuv" && chmod +x "$prefix/bin/notoklyuv"
cat > "$inst/notoklyuv" <<'STUB'
#!/bin/bash
printf '%s\n' "$@" > "$STUB_ARGS"
STUB
chmod +x "$inst/notoklyuv"
for f in part1.dat 01/level.dat 01/notes.dat 01/melody.dat 01/ДО.bmp 01/РЕ.BMP; do
  echo "course $f" > "$inst/levels/$f"
done
echo wav > "$inst/sound/piano/00do.wav"
chmod -R a-w "$inst" # as installed: read-only

export HOME=$work/home STUB_ARGS=$work/args
unset XDG_DATA_HOME
user=$HOME/.local/share/notoklyuv
mkdir -p "$HOME"
start() { rm -f "$STUB_ARGS"; "$prefix/bin/notoklyuv" "$@" || fail "launcher exited with $?"; }
content() { cat "$user/levels/$1" 2>/dev/null || echo "(missing)"; }
expect() { # file expected-content why
  [ "$(content "$1")" = "$2" ] || fail "$3: $1 holds '$(content "$1")', not '$2'"
}

# First start: a full copy of the course, links to sounds and pictures.
start extra
[ "$(cat "$STUB_ARGS" 2>/dev/null)" = "$(printf -- '--folder\n%s\nextra' "$user")" ] \
  || fail "program not started with --folder $user extra: $(cat "$STUB_ARGS" 2>/dev/null)"
diff -r "$inst/levels" "$user/levels" >/dev/null || fail "first start did not copy the course"
[ -w "$user/levels/01/level.dat" ] && [ "$(stat -c %a "$user/levels/01/level.dat")" != 444 ] \
  || fail "copied progress file is not writable"
for d in sound pictures; do
  [ "$(readlink -f "$user/$d")" = "$(readlink -f "$inst/$d")" ] || fail "$d is not linked"
done

# The learner works: progress, answers, a picture, settings and log, and a course file.
for f in 01/level.dat 01/notes.dat 01/ДО.bmp 01/РЕ.BMP settings.dat log.dat history.db \
  01/melody.dat; do
  echo "learner $f" > "$user/levels/$f"
done
start
expect 01/melody.dat "learner 01/melody.dat" "a start without upgrade changed a file"

# An upgrade: every course file changes (same names and sizes), and a level gets new files;
# a package that wrongly carried a history of its own still leaves the learner's alone.
upgrade() {
  chmod -R u+w "$inst"
  for f in part1.dat 01/level.dat 01/notes.dat 01/melody.dat 01/ДО.bmp 01/РЕ.BMP history.db; do
    echo "update $f" > "$inst/levels/$f"
  done
  chmod -R a-w "$inst"
}
upgrade
start
while read -r file want; do
  expect "$file" "$want $file" "after an upgrade"
done <<'TABLE'
part1.dat update
01/melody.dat update
01/level.dat learner
01/notes.dat learner
01/ДО.bmp learner
01/РЕ.BMP learner
settings.dat learner
log.dat learner
history.db learner
TABLE
chmod -R u+w "$inst"
mkdir -p "$inst/levels/02"
echo "new 02/level.dat" > "$inst/levels/02/level.dat"
echo "new 01/МИ.bmp" > "$inst/levels/01/МИ.bmp"
start
expect 02/level.dat "new 02/level.dat" "a new level was not copied"
expect 01/МИ.bmp "new 01/МИ.bmp" "a new note picture was not copied"

# Starting over: without levels/ the learner begins afresh from the course.
rm -rf "$user/levels"
start
expect 01/level.dat "update 01/level.dat" "a deleted levels/ was not made afresh"

# A folder of the learner's own in place of a link is left alone.
rm "$user/sound" && mkdir "$user/sound"
start
[ -d "$user/sound" ] && [ ! -L "$user/sound" ] || fail "own sound folder was replaced"

# XDG_DATA_HOME is honoured when absolute, ignored when relative.
XDG_DATA_HOME=$work/xdg start
[ -f "$work/xdg/notoklyuv/levels/part1.dat" ] || fail "XDG_DATA_HOME not used"
(cd "$work" && XDG_DATA_HOME=relative start)
[ ! -e "$work/relative" ] || fail "a relative XDG_DATA_HOME was used"

# Help and a folder of one's own go straight to the program and prepare nothing.
for args in "--help" "-v" "--folder /elsewhere" "--folder=/elsewhere"; do
  HOME=$work/other
  # shellcheck disable=SC2086 # split on purpose
  start $args
  [ ! -e "$work/other" ] || fail "'$args' made a per-user folder"
  [ "$(tr '\n' ' ' < "$STUB_ARGS")" = "$args " ] || fail "'$args' not passed as given"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "launcher: all passed"
