#!/usr/bin/env bash
# Replays catalogues_script.txt with the real KSVDB on the headless display against a real
# ksvserver on a loopback port: a material added from the picker of the order search, then
# saved again under the same key in other letter case. The server's file must hold one entry
# that kept the ID it was given first, with the second name and the first speed, and the trace
# must show the editor returning to the search each time.
#   headless_catalogues.sh KSVSERVER KSVDB DBTEXTY GUIDATA SCRIPT
set -euo pipefail
server=$1 client=$2 texts=$3 guidata=$4 script=$5
. "$(dirname "$0")/../../../tests/headless_lib.sh"
headless_setup "headless catalogues" "$client" "$texts" "$guidata"
cp "$script" "$work/client/steps.txt"

"$server" --dir "$work/srv" --add-user novak jehla --rights 8,58,12,59 >/dev/null
start_server "$server"

cd "$work/client"
KSV_PORT=$port KSV_VIDEO=headless KSV_SCRIPT=steps.txt KSV_TRACE=trace.txt timeout 60 ./KSVDB \
  2>"$work/client.err" || fail "KSVDB ended badly: $(cat "$work/client.err")"
if [ -n "${KSV_KEEP_SHOTS:-}" ]; then cp ./*.png "$KSV_KEEP_SHOTS/"; fi

for shot in cat-1-empty-picker cat-2-editor cat-3-known cat-4-replaced cat-5-picker cat-6-chosen; do
  [ -s "$shot.png" ] || fail "missing $shot.png"
done

trace() { cut -f2- trace.txt; }
screens=$(trace | grep '^screen' | cut -f2 | tr '\n' ' ')
[ "$screens" = "0 1 2 7 72 11 72 11 72 " ] || fail "screens shown: $screens"
[ "$(trace | grep -cx $'send\t53')" = 2 ] || fail "the material not saved twice"
[ "$(trace | grep -cx $'reply\t206')" -ge 2 ] || fail "no 206 replies"

mat="$work/srv/material.dat"
[ "$(stat -c %s "$mat")" = 520 ] || fail "material.dat holds $(stat -c %s "$mat") bytes, not the header and one entry"
field() { od -An -t"$3" -j "$1" -N "$2" "$mat" | tr -d ' \n'; }
[ "$(field 0 4 d4)" = 1 ] || fail "the ID header is $(field 0 4 d4), not 1"
[ "$(field 260 4 d4)" = 1 ] || fail "the replaced entry's ID is $(field 260 4 d4), not 1"
# "BAVLNA černá" in Windows-1250: the length 12, then the bytes.
[ "$(field 264 13 x1)" = 0c4241564c4e4120e865726ee1 ] || fail "the name is $(field 264 13 x1)"
# Typing the name again took the listed speed: a replacement must not forget it.
[ "$(field 516 4 d4)" = 700 ] || fail "the speed is $(field 516 4 d4), not 700"
echo "headless catalogues: ok"
