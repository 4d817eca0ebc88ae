#!/usr/bin/env bash
# The terminal plotsend and the job file the macros leave: a new job left
# during a run must stay for the next run. Usage:
# plotsend_job_file_test.sh PLOTSEND CUTTER_EMU TESTDATA
set -u
plotsend=$1
emu=$2
testdata=$3
root=$(mktemp -d)
emu_pid=
run_pid=
trap '[ -n "$emu_pid" ] && kill "$emu_pid" 2>/dev/null; [ -n "$run_pid" ] && kill "$run_pid" 2>/dev/null; exec 3>&- 2>/dev/null; [ -n "${KEEP_ROOT:-}" ] || rm -rf "$root"' EXIT
failures=0
passes=0

check() {  # check NAME CONDITION...
  local name=$1; shift
  if "$@"; then passes=$((passes + 1)); else echo "FAILED: $name"; failures=$((failures + 1)); fi
}

new_job() {  # new_job NAME [MARKREF]
  local dir="$root/$1"
  mkdir -p "$dir"
  cp "$testdata/kavren.plt" "$testdata/markref.kv" "$testdata/config.ini" "$dir/"
  [ $# -gt 1 ] && printf '%s' "$2" >"$dir/markref.kv"
  echo "$dir"
}

start_emu() {  # start_emu NAME: a stand-in cutter on loopback TCP; sets emu_pid and emu_at
  "$emu" --tcp 0 --idle-timeout 20 --log "$root/$1.log" >"$root/$1.out" 2>"$root/$1.err" &
  emu_pid=$!
  for _ in $(seq 100); do [ -s "$root/$1.out" ] && break; sleep 0.05; done
  emu_at=$(head -1 "$root/$1.out")
}

wait_emu() {
  wait "$emu_pid"
  local status=$?
  emu_pid=
  return $status
}

# A new job left while a job waits at the origin prompt, by rename or
# written over the old one: the old job is sent, the new one stays.
new_drawing='IN;SP1;PU0,0;PD800,0,800,800;PU0,0;@'
for how in rename overwrite; do
  w=$(new_job "replaced-$how" "8000,4800,400,1,1")
  start_emu "replaced-$how"
  rm -f "$root/keys"
  mkfifo "$root/keys"
  "$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" start \
    <"$root/keys" >"$root/$how.stdout" 2>"$root/$how.stderr" &
  run_pid=$!
  exec 3>"$root/keys"
  printf '\n\n\n\n' >&3  # the four marks
  for _ in $(seq 200); do grep -q "Click Ok  After Press Key Origin" "$root/$how.stderr" && break; sleep 0.05; done
  if [ "$how" = rename ]; then
    printf '%s' "$new_drawing" >"$root/new.plt"
    mv "$root/new.plt" "$w/kavren.plt"
  else
    printf '%s' "$new_drawing" >"$w/kavren.plt"
  fi
  printf '\n' >&3  # OK at the origin prompt
  exec 3>&-
  wait "$run_pid"
  status=$?
  run_pid=
  wait_emu
  check "$how: the start exits 0" test $status -eq 0
  check "$how: the job that was read is cut" test "$(grep -c '^cut ' "$root/replaced-$how.log")" -gt 100
  check "$how: the new job stays" test "$(cat "$w/kavren.plt" 2>/dev/null)" = "$new_drawing"
  check "$how: the user is told" grep -qx "plotsend: A new job file arrived during the run; it stays for the next run" "$root/$how.stderr"
  check "$how: the intermediates go" test ! -e "$w/kavren_m.plt" -a ! -e "$w/kavren.kv3"
done

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
