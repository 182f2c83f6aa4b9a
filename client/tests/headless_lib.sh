# Sourced by the scripted headless sessions of KSVDB: a work folder removed at exit, a client
# folder laid out as the program's own (KSVDB, texts, guidata), and a real ksvserver started on
# a random loopback port.
#   headless_setup NAME KSVDB DBTEXTY GUIDATA   sets $work ($work/srv, $work/client); fail()
#   start_server KSVSERVER                      sets $port and $pid; waits until it listens

headless_setup() {
  headless_name=$1
  work=$(mktemp -d)
  pid=""
  trap headless_cleanup EXIT
  mkdir -p "$work/srv" "$work/client"
  cp "$2" "$work/client/KSVDB"
  cp "$3" "$work/client/dbtexty.dat"
  ln -s "$4" "$work/client/guidata"
}

headless_cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  # KSV_KEEP_SHOTS=DIR keeps the session's screenshots for a person to look at.
  if [ -n "${KSV_KEEP_SHOTS:-}" ]; then mkdir -p "$KSV_KEEP_SHOTS" && cp "$work"/client/*.png "$KSV_KEEP_SHOTS"/ 2>/dev/null || true; fi
  rm -rf "$work"
}

fail() { echo "$headless_name: $*" >&2; exit 1; }

start_server() {
  # A random port may be taken by another program; the server then ends at once (exit code 2)
  # and another port is tried.
  for _ in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 20000))
    KSV_PORT=$port "$1" --dir "$work/srv" >"$work/server.out" 2>&1 &
    pid=$!
    for _ in $(seq 100); do
      grep -q "spusten" "$work/server.out" 2>/dev/null && return 0
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    wait "$pid" 2>/dev/null || true
    pid=
  done
  fail "ksvserver did not start: $(cat "$work/server.out")"
}
