#!/usr/bin/env bash
# The calculator on a real (virtual) X display: one window titled "Quorvel" whose outer
# size, frame included, is 284 x 258. Usage: window_on_x11.sh <path to quorvel>
set -euo pipefail
quorvel=$1

display=:$((200 + RANDOM % 300))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$quorvel" >/dev/null 2>&1 &
app=$!
info=
for _ in $(seq 100); do
    info=$(xwininfo -root -tree | grep '"Quorvel": ("quorvel"' || true)
    [ -n "$info" ] && break
    sleep 0.1
done
echo "window: $info"
[ -n "$info" ] || { echo "no window titled Quorvel appeared"; exit 1; }
[ "$(echo "$info" | wc -l)" -eq 1 ] || { echo "more than one Quorvel window"; exit 1; }
echo "$info" | grep -q ' 284x258+' || { echo "outer size is not 284x258"; exit 1; }
echo "$info" | grep -q '+370+255' || { echo "not centred on the 1024x768 screen"; exit 1; }
