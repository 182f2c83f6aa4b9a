#!/usr/bin/env bash
# Replays pricing_script.txt with the real KSVDB on the headless display against a real
# ksvserver on a loopback port. Checks the trace, the saved calculation, the report and the
# settings file on the server: the changed Word, the refused one, and every byte past the
# price tables as it was.
#   headless_pricing.sh KSVSERVER KSVDB DBTEXTY GUIDATA SCRIPT
set -euo pipefail
server=$1 client=$2 texts=$3 guidata=$4 script=$5
. "$(dirname "$0")/../../../tests/headless_lib.sh"
headless_setup "headless pricing" "$client" "$texts" "$guidata"
cp "$script" "$work/client/steps.txt"

"$server" --dir "$work/srv" --add-user novak jehla --rights 9,58,49 >/dev/null
# The settings: 250 tenths per 1000 stitches for tier 0, class 0; past byte 133 bytes another
# client may use, which must come back as they are.
{
  head -c 14 /dev/zero
  printf '\xfa\x00'
  head -c 118 /dev/zero
  printf 'Z%.0s' $(seq 882)
} > "$work/srv/kalkul.dat"
[ "$(stat -c %s "$work/srv/kalkul.dat")" = 1016 ] || fail "settings file is not 1016 bytes"
tail -c 882 "$work/srv/kalkul.dat" > "$work/tail.before"

start_server "$server"

cd "$work/client"
KSV_PORT=$port KSV_VIDEO=headless KSV_SCRIPT=steps.txt KSV_TRACE=trace.txt timeout 60 ./KSVDB \
  2>"$work/client.err" || fail "KSVDB ended badly: $(cat "$work/client.err")"
if [ -n "${KSV_KEEP_SHOTS:-}" ]; then cp ./*.png "$KSV_KEEP_SHOTS/"; fi

for shot in calc-1-job calc-2-settings calc-3-extra; do
  [ -s "$shot.png" ] || fail "missing $shot.png"
done
cmp -s calc-1-job.png calc-3-extra.png && fail "the extra stitches did not change the prices"

trace() { cut -f2- trace.txt; }
trace | grep -qx $'screen\t74' || fail "screen 74 not shown"
[ "$(trace | grep -cx $'send\t8')" -ge 1 ] || fail "no settings request"
[ "$(trace | grep -cx $'send\t9')" = 1 ] || fail "settings not sent once: $(trace | grep send)"

saved=kalkulace/kalkulace.txt
[ -f "$saved" ] || fail "calculation not saved"
grep -qx 'kusu=5' "$saved" || fail "pieces not saved: $(cat "$saved")"
grep -qx 'stehu=1000' "$saved" || fail "stitches not saved"
grep -qx 'popis=logo' "$saved" || fail "description not saved"

report=temp/kalkulace_out.txt
grep -qx '\*\*\* logo \*\*\*' $report || fail "no heading in the report: $(cat $report)"
grep -qx '0..11 kusu: 25,00,- Kc' $report || fail "tier 0 price wrong: $(cat $report)"

settings="$work/srv/kalkul.dat"
[ "$(stat -c %s "$settings")" = 1016 ] || fail "settings file is no longer 1016 bytes"
[ "$(head -c 4 "$settings" | od -An -tx1 | tr -d ' \n')" = e8030000 ] \
  || fail "extra stitches 1000 and extra price 0 expected: $(head -c 4 "$settings" | od -An -tx1)"
[ "$(head -c 16 "$settings" | tail -c 2 | od -An -tx1 | tr -d ' \n')" = fa00 ] \
  || fail "the price table changed"
tail -c 882 "$settings" | cmp -s - "$work/tail.before" || fail "bytes 134-1015 changed"
echo "headless pricing: ok"
