#!/usr/bin/env bash
# The local run script announces the port the server will really use and starts the client
# against that same port, whether the port comes from --port, from KSV_PORT or is the default.
# Server and client are stand-ins that record what they were given; nothing listens anywhere.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
RUN_LOCAL="$HERE/../run-local.sh"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# A server that already has a user besides the administrator, and records how it was started.
cat >"$WORK/ksvserver" <<'EOF'
#!/usr/bin/env bash
case " $* " in
  *" --list-users "*) printf '1\tadmin\tall\n2\tmistr\tall\n'; exit 0 ;;
esac
echo "server KSV_PORT=${KSV_PORT:-} args=$*" >>"$RECORD"
EOF
# The client, like the real one connecting, waits (up to 5 s) for the server it was started
# beside: the script stops the server as soon as the client ends.
cat >"$WORK/KSVDB" <<'EOF'
#!/usr/bin/env bash
for _ in $(seq 100); do grep -q '^server' "$RECORD" && break; sleep 0.05; done
echo "client KSV_PORT=${KSV_PORT:-}" >>"$RECORD"
EOF
chmod +x "$WORK/ksvserver" "$WORK/KSVDB"

failures=0
# check NAME EXPECTED-LINE... -- ENV-ASSIGNMENTS... -- ARGS...: runs the script, then expects
# every EXPECTED-LINE among its output and the record.
check() {
  local name=$1 expected=() env=() args=()
  shift
  while [ "$1" != "--" ]; do expected+=("$1"); shift; done
  shift
  while [ "$1" != "--" ]; do env+=("$1"); shift; done
  shift
  args=("$@")
  : >"$WORK/record"
  env -u DISPLAY -u WAYLAND_DISPLAY -u KSV_PORT RECORD="$WORK/record" KSV_SERVER="$WORK/ksvserver" \
    KSV_CLIENT="$WORK/KSVDB" KSV_DATA_DIR="$WORK/data" "${env[@]}" \
    "$RUN_LOCAL" "${args[@]}" >"$WORK/out" 2>&1 || true
  cat "$WORK/out" >>"$WORK/record"
  for line in "${expected[@]}"; do
    if ! grep -qxF -- "$line" "$WORK/record"; then
      echo "FAIL $name: no line \"$line\" in:"
      sed 's/^/    /' "$WORK/record"
      failures=$((failures + 1))
    fi
  done
}

data="data in $WORK/data, log in $WORK/data/log/"
check "--port, no display" \
  "== ksvserver on port 23456, $data" "server KSV_PORT=23456 args=--dir $WORK/data --port 23456" -- \
  -- --port 23456
check "--port with a display: the client goes to the same port" \
  "== ksvserver on port 23456, $data" "client KSV_PORT=23456" -- \
  DISPLAY=:99 -- --port 23456
check "the last --port counts, as in the server" \
  "== ksvserver on port 23456, $data" "client KSV_PORT=23456" -- \
  DISPLAY=:99 KSV_PORT=34567 -- --port 1 --port 23456
check "KSV_PORT alone" \
  "== ksvserver on port 34567, $data" "client KSV_PORT=34567" "server KSV_PORT=34567 args=--dir $WORK/data" -- \
  WAYLAND_DISPLAY=wayland-0 KSV_PORT=34567 --
check "the default" \
  "== ksvserver on port 12345, $data" "client KSV_PORT=12345" -- \
  DISPLAY=:99 --
check "a KSV_PORT that is no port: both sides use the default" \
  "== ksvserver on port 12345, $data" "server KSV_PORT=12345 args=--dir $WORK/data" -- \
  KSV_PORT=http --
check "a directory named --port is not a port" \
  "== ksvserver on port 12345, $data" -- \
  -- --dir --port
# A --port that is no port: the server is started alone to refuse it in its own words.
for bad in 99999 0 x2; do
  check "--port $bad" "server KSV_PORT= args=--dir $WORK/data --port $bad" -- DISPLAY=:99 -- --port "$bad"
  if grep -q -e "on port" -e "^client" "$WORK/record"; then
    echo "FAIL --port $bad: announced a port or started the client"
    failures=$((failures + 1))
  fi
done

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "run-local port: all cases pass"
