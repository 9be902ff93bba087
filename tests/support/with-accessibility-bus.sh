#!/usr/bin/env bash
# Runs a command with an accessibility bus of its own on the session bus, as a
# desktop with a screen reader has one. Usage: with-accessibility-bus.sh command ...
# (under dbus-run-session). Without the bus the command still runs, to say why.
set -uo pipefail
launcher=/usr/libexec/at-spi-bus-launcher
if [ ! -x "$launcher" ]; then
  echo "no $launcher (package at-spi2-core)"
  exec "$@"
fi
"$launcher" --launch-immediately &
bus_pid=$!
trap 'kill "$bus_pid" 2>/dev/null; wait "$bus_pid" 2>/dev/null' EXIT
timeout 10 bash -c 'until dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; do sleep 0.05; done' ||
  echo "the accessibility bus did not start"
"$@"
