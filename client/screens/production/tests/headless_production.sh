#!/usr/bin/env bash
# Replays production_script.txt with the real KSVDB on the headless display against a real
# ksvserver on a loopback port. The order A with its released program P1 is laid down in the
# server's data tree byte by byte; afterwards the trace must show the card opened and closed
# again, the server's prog.dat must hold the embroidered count one lower, and the plan must
# have been written and copied.
#   headless_production.sh KSVSERVER KSVDB DBTEXTY GUIDATA SCRIPT
set -euo pipefail
server=$1 client=$2 texts=$3 guidata=$4 script=$5
. "$(dirname "$0")/../../../tests/headless_lib.sh"
headless_setup "headless production" "$client" "$texts" "$guidata"
cp "$script" "$work/client/steps.txt"
mkdir -p "$work/client/out"
echo "$work/client/out/" > "$work/client/posladr.cfg"

"$server" --dir "$work/srv" --add-user novak jehla --rights 0,1,8,58 >/dev/null

# put FILE OFFSET BYTES: bytes (a printf format) written at OFFSET of FILE.
put() { printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }
order="$work/srv/databaze/a"
mkdir -p "$order/p1"
head -c 1072 /dev/zero > "$order/info.dat"
put "$order/info.dat" 0 '\x01A'                # CISLO
put "$order/info.dat" 17 '\x05popis'           # POPIS
put "$order/info.dat" 280 '\x05Sokol'          # ZAKAZNIK
put "$order/info.dat" 536 '\x01\x00\x00\x00'   # PROGRAMU; VYSIT empty: due any day
put "$order/info.dat" 540 '\x01\x00\x02\x00\xea\x07'  # TERMIN 1.2.2026
head -c 1420 /dev/zero > "$order/p1/prog.dat"
put "$order/p1/prog.dat" 0 '\x02P1'            # KOD
for at in 36 40 304 316 320 336 352; do       # the ids nobody holds
  put "$order/p1/prog.dat" $at '\xff\xff\xff\xff'
done
put "$order/p1/prog.dat" 312 '\x14\x00\x00\x00'  # KUSU 20
put "$order/p1/prog.dat" 332 '\x03\x00\x00\x00'  # KUSUSITI 3
put "$order/p1/prog.dat" 356 '\x01'              # VYROBNI
start_server "$server"

cd "$work/client"
KSV_PORT=$port KSV_VIDEO=headless KSV_SCRIPT=steps.txt KSV_TRACE=trace.txt timeout 60 ./KSVDB \
  2>"$work/client.err" || fail "KSVDB ended badly: $(cat "$work/client.err")"
if [ -n "${KSV_SHOTS:-}" ]; then cp ./*.png "$KSV_SHOTS"/; fi
for shot in production-1-list production-2-card production-3-list production-4-folder; do
  [ -s "$shot.png" ] || fail "missing $shot.png"
done

trace() { cut -f2- trace.txt; }
trace | grep -qx $'screen\t81' || fail "the card was not shown"
trace | grep -qx $'dialog\tzmensiti' || fail "no count dialog"
for code in 17 40 41 18; do
  [ "$(trace | grep -cx $'send\t'$code)" = 1 ] || fail "command $code not sent once: $(trace | grep send)"
done
trace | grep -qx $'upload\tprog.dat 1420' || fail "the card was not saved: $(trace | grep upload)"
count=$(od -An -tx1 -j332 -N4 "$order/p1/prog.dat" | tr -d ' \n')
[ "$count" = 02000000 ] || fail "the server has $count embroidered, not 2"

grep -qx 'Plan vyroby podle terminu' temp/zaklist.txt || fail "no plan: $(cat temp/zaklist.txt)"
grep -qx '       A (popis),        20 kusu (1 min.) - Sokol' out/vyroba.txt \
  || fail "the plan's copy lacks order A: $(cat out/vyroba.txt 2>&1)"
echo "headless production: ok"
