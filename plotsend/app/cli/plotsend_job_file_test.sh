#!/usr/bin/env bash
# The terminal plotsend and the job file the macros leave: what it says of a
# drawing it does not read as drawn, and a new job left during a run, which
# must stay for the next run. Usage:
# plotsend_job_file_test.sh PLOTSEND CUTTER_EMU TESTDATA
set -u
plotsend=$1
emu=$2
testdata=$3
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/e2e_lib.sh"
run_pid=
at_exit '[ -n "$run_pid" ] && kill "$run_pid" 2>/dev/null; exec 3>&- 2>/dev/null'

warning="the drawing uses PA, bare PU/PD, decimal coordinates, out-of-range coordinates, more than 50 m: only PU/PD with coordinates are read; the cut may not match the drawing"
odd_drawing='IN;PA;SP1;PU1600.000000,6400.000000;PD2000,6400;PU;PA100,100;PD;PA400,100,400,400;PW0.350;PU0,0;@'

# The sample job: no warning anywhere.
w=$(new_job sample)
"$plotsend" --workdir "$w" export "$root/sample.plt" >"$root/out" 2>"$root/err"
check "sample export exits 0" test $? -eq 0
check "sample: nothing on stderr" test ! -s "$root/err"
check "sample: no warning in the summary" test "$(grep -c 'the drawing uses' "$root/out")" -eq 0

# A drawing with PA moves after bare PU/PD and decimal coordinates: written
# all the same, with the warning on stderr and as the summary's last line.
w=$(new_job odd)
printf '%s' "$odd_drawing" >"$w/kavren.plt"
"$plotsend" --workdir "$w" export "$root/odd.plt" >"$root/out" 2>"$root/err"
check "odd export exits 0" test $? -eq 0
check "odd export is written" test -s "$root/odd.plt"
check "odd: the warning on stderr" test "$(cat "$root/err")" = "plotsend: $warning"
check "odd: the warning ends the summary" test "$(tail -1 "$root/out")" = "$warning"
w=$(new_job odd-zh)
printf '%s' "$odd_drawing" >"$w/kavren.plt"
LC_ALL=zh_CN.UTF-8 "$plotsend" --workdir "$w" export "$root/odd-zh.plt" >"$root/out" 2>"$root/err"
check "odd: the warning in Chinese" grep -q "^plotsend: 图形使用了 PA, 不带坐标的 PU/PD, 小数坐标" "$root/err"

# The same drawing sent: the summary after the send says it too.
w=$(new_job odd-start)
printf '%s' "$odd_drawing" >"$w/kavren.plt"
start_emu odd-start --tcp 0
"$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" start >"$root/out" 2>"$root/err"
status=$?
wait_emu
check "odd start exits 0" test $status -eq 0
check "odd start: the warning on stderr" grep -qxF "plotsend: $warning" "$root/err"
check "odd start: the warning ends the summary" test "$(tail -1 "$root/out")" = "$warning"

# A new job left while a job waits at the origin prompt, by rename or
# written over the old one: the old job is sent, the new one stays.
new_drawing='IN;SP1;PU0,0;PD800,0,800,800;PU0,0;@'
for how in rename overwrite; do
  w=$(new_job "replaced-$how" "8000,4800,400,1,1")
  start_emu "replaced-$how" --tcp 0
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

checks_done
