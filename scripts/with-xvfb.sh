#!/usr/bin/env bash
# Runs a command on a virtual X display of its own (Xvfb, software OpenGL),
# so tests that open windows run anywhere, side by side.
#   with-xvfb.sh COMMAND [ARGS...]
set -euo pipefail

# Xvfb picks a free display number itself and tells it on a pipe.
fifo=$(mktemp -u /tmp/with-xvfb.XXXXXX)
mkfifo "$fifo"
Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp -noreset 4>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -f "$fifo"' EXIT
read -r -t 20 number <"$fifo" || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
# No sound card is needed: sound goes nowhere.
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
"$@"
