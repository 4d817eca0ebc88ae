#!/usr/bin/env bash
# plotsend start against the stand-in cutter, over loopback TCP and over a
# pseudo-terminal: what the cutter decodes must be what export writes, a
# link that fails mid-job keeps the job for the next start, and the mark
# alignment and origin command go out before the job.
# Usage: plotsend_start_test.sh PLOTSEND CUTTER_EMU TESTDATA
set -u
plotsend=$1
emu=$2
testdata=$3
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/e2e_lib.sh"

# The reference: the exported command file, sent to the stand-in as it is.
w=$(new_job reference)
"$plotsend" --workdir "$w" export "$root/reference.plt" >/dev/null 2>&1
check "reference exported" test -s "$root/reference.plt"
start_emu reference --tcp 0
cat "$root/reference.plt" >"/dev/tcp/127.0.0.1/$emu_at"
wait_emu
check "reference decoded" test $? -eq 0

# Over TCP.
w=$(new_job tcp)
start_emu tcp --tcp 0
out=$("$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" start 2>"$root/tcp.stderr")
status=$?
wait_emu
emu_status=$?
check "tcp start exits 0" test $status -eq 0
check "tcp start says what it sent" grep -qx "sent $(stat -c %s "$root/reference.plt") bytes to TCP/IP" <<<"$out"
check "the stand-in got a whole job over tcp" test $emu_status -eq 0
check "tcp: the cutter gets what export writes, byte for byte" cmp -s "$root/tcp.raw" "$root/reference.plt"
check "tcp: the cutter decodes what export writes" cmp -s "$root/tcp.log" "$root/reference.log"
check "tcp: progress lines end at 100%" grep -q "^sending: 3.5 kB of 3.5 kB (100%), .*/s, 0:00 left$" "$root/tcp.stderr"
check "tcp: job files deleted" test ! -e "$w/kavren.plt" -a ! -e "$w/kavren.kv3"
check "tcp: the link is saved" grep -q "^IP_PORT=$emu_at" "$w/config.ini"

# Over a pseudo-terminal, listed as a serial port.
w=$(new_job pty)
start_emu pty --pty
mkdir -p "$root/dev"
ln -sf "$emu_at" "$root/dev/ttyUSB0"
ports=$(PLOTARA_DEV_DIR="$root/dev" "$plotsend" ports)
check "ports lists the serial port and TCP/IP" test "$ports" = "$(printf '%s\n%s' "$root/dev/ttyUSB0" TCP/IP)"
PLOTARA_DEV_DIR="$root/dev" "$plotsend" --workdir "$w" --ip 127.0.0.1 --port "$root/dev/ttyUSB0" start >/dev/null 2>&1
status=$?
wait_emu
check "pty start exits 0" test $status -eq 0
check "pty: the cutter gets what export writes, byte for byte" cmp -s "$root/pty.raw" "$root/reference.plt"
check "pty: the cutter decodes what export writes" cmp -s "$root/pty.log" "$root/reference.log"
# A cutter that reads slowly: success is reported only once every byte has
# arrived. Over TCP the cutter closes once it has read the job; over a
# pseudo-terminal (which holds no queue of its own) nothing may be lost.
now_ms() { date +%s%3N; }
w=$(new_job tcp-slow)
start_emu tcp-slow --tcp 0 --read-rate 2000
started=$(now_ms)
"$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" start >"$root/out" 2>/dev/null
status=$?
took=$(($(now_ms) - started))
cp "$root/tcp-slow.raw" "$root/tcp-slow-at-exit.raw"
wait_emu
echo "slow tcp cutter: start took $took ms"
check "slow tcp: start exits 0" test $status -eq 0
check "slow tcp: says what it sent" grep -q "^sent $(stat -c %s "$root/reference.plt") bytes" "$root/out"
check "slow tcp: every byte arrived before success" cmp -s "$root/tcp-slow-at-exit.raw" "$root/reference.plt"
w=$(new_job pty-slow)
start_emu pty-slow --pty --read-rate 2000
ln -sf "$emu_at" "$root/dev/ttyUSB0"
started=$(now_ms)
PLOTARA_DEV_DIR="$root/dev" "$plotsend" --workdir "$w" --ip 127.0.0.1 --port "$root/dev/ttyUSB0" start >/dev/null 2>&1
status=$?
echo "slow pseudo-terminal: start took $(($(now_ms) - started)) ms"
wait_emu
check "slow pty: start exits 0" test $status -eq 0
check "slow pty: the cutter gets every byte" cmp -s "$root/pty-slow.raw" "$root/reference.plt"

# Ctrl-C during a send ends the job, and says so.
# A background job inherits SIGINT ignored; env gives it the default back,
# as a foreground run at a terminal has.
for lang in en zh; do
  w=$(new_job interrupted-$lang)
  awk 'BEGIN { printf "IN;"; for (i = 0; i < 20000; i++) printf "PU%d,%d;PD%d,%d;", i % 3000, i % 997, i % 3000 + 400, i % 997; printf "@" }' >"$w/kavren.plt"
  start_emu interrupted-$lang --pty --read-rate 20000
  ln -sf "$emu_at" "$root/dev/ttyUSB0"
  locale=C; [ $lang = zh ] && locale=zh_CN.UTF-8
  LC_ALL=$locale PLOTARA_DEV_DIR="$root/dev" env --default-signal=INT "$plotsend" --workdir "$w" --ip 127.0.0.1 --port "$root/dev/ttyUSB0" start >/dev/null 2>"$root/err" &
  pid=$!
  # Up to 2 minutes: a loaded machine and the sanitizer builds prepare slowly.
  for _ in $(seq 2400); do grep -q "^sending" "$root/err" && break; sleep 0.05; done
  kill -INT $pid
  wait $pid
  status=$?
  stop_emu
  [ $status -eq 1 ] || sed "s/^/  $lang stderr: /" "$root/err"
  check "$lang: an interrupted start exits 1" test $status -eq 1
  check "$lang: an interrupted start removes the job" test ! -e "$w/kavren.plt"
  if [ $lang = en ]; then
    check "en: it says the job was removed" \
      grep -qx "plotsend: send cancelled: the cutter received part of the job; the job was removed" "$root/err"
  else
    check "zh: it says the job was removed" grep -qx "plotsend: 发送已取消：切割机只收到了部分作业；作业已删除" "$root/err"
  fi
done

w=$(new_job unknown-port)
"$plotsend" --workdir "$w" --ip 127.0.0.1 --port /dev/ttyUSB99 start >/dev/null 2>"$root/err"
check "an unknown port exits 2" test $? -eq 2
check "an unknown port is refused with the list" grep -q "no port /dev/ttyUSB99 (the ports are: .*TCP/IP)" "$root/err"
check "an unknown port keeps the job" test -e "$w/kavren.plt"

# A connection that drops mid-job: a failure, the job kept, and a second
# start sends it whole. The job is a few MB, more than the socket buffers
# hold, so that the drop happens while it is being sent.
w=$(new_job dropped)
awk 'BEGIN { printf "IN;"; for (i = 0; i < 120000; i++) printf "PU%d,%d;PD%d,%d;", i % 3000, i % 997, i % 3000 + 400, i % 997; printf "@" }' >"$w/kavren.plt"
start_emu dropped --tcp 0 --close-after 400
"$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" start >"$root/out" 2>"$root/err"
status=$?
wait_emu
check "a dropped link fails the start" test $status -ne 0
check "the user is told the job was not sent whole" grep -q "not completely sent" "$root/err"
check "nothing claims success" test ! -s "$root/out"
check "the job stays after a dropped link" test -e "$w/kavren.plt" -a -e "$w/markref.kv"
start_emu retry --tcp 0
"$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" start >/dev/null 2>&1
status=$?
wait_emu
check "the retry exits 0" test $status -eq 0
check "the retry sends the whole job" grep -q "^summary status=complete" "$root/retry.log"
check "the retry ends the job" test ! -e "$w/kavren.plt"

# A cutter that stops reading: the send gives up after the send time-out,
# reports the failure and keeps the job.
w=$(new_job stalled)
awk 'BEGIN { printf "IN;"; for (i = 0; i < 800000; i++) printf "PU%d,%d;PD%d,%d;", i % 3000, i % 997, i % 3000 + 400, i % 997; printf "@" }' >"$w/kavren.plt"
start_emu stalled --tcp 0 --stall-after 1000
"$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" --send-timeout 1 start >"$root/out" 2>"$root/err"
status=$?
stop_emu
check "a stalled link fails the start" test $status -ne 0
check "a stalled link is reported" grep -q "not completely sent" "$root/err"
check "a stalled link keeps the job" test -e "$w/kavren.plt" -a -e "$w/kavren.kv3"
check "a stalled link claims nothing" test ! -s "$root/out"

# Nobody listening: nothing sent, nothing lost.
w=$(new_job refused)
start_emu gone --tcp 0
port=$emu_at
stop_emu
"$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$port" start >/dev/null 2>"$root/err"
check "a refused connection exits non-zero" test $? -ne 0
check "a refused connection says nothing was sent, and why" \
  test "$(grep -A1 -x "plotsend: nothing was sent" "$root/err" | tail -n +2)" = "Connection refused"
check "a refused connection keeps the job" test -e "$w/kavren.plt"

# Four registration marks: the alignment (four ok), the origin prompt (ok),
# then the origin command and the job.
w=$(new_job marks "8000,4800,400,1,1")
start_emu marks --tcp 0
printf '\033[D\n\n\n\n\n' |  # Left (+ X), four marks, then OK at the origin prompt
  "$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" start >/dev/null 2>"$root/marks.stderr"
status=$?
wait_emu
check "aligned start exits 0" test $status -eq 0
check "the alignment shows the positions" grep -q "^POS 2  X=10.50  Y=150.00  step 0.5 mm$" "$root/marks.stderr"
check "the origin prompt is asked" grep -q "Click Ok  After Press Key Origin" "$root/marks.stderr"
check "jog moves, then the origin command, then the job" \
  test "$(grep -E '^(jog-start|origin|end)' "$root/marks.log" | tr '\n' ' ')" = "jog-start origin end "
check "the start position, one jog and four marks" test "$(grep -c '^jog x=' "$root/marks.log")" -eq 6
check "the job is cut after the jogs" test "$(grep -c '^cut ' "$root/marks.log")" -gt 100
w=$(new_job marks-cancelled "8000,4800,400,1,1")
start_emu cancelled --tcp 0
printf '\ns\033' |  # one mark, the fine step, then Esc
  "$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" start >/dev/null 2>&1
status=$?
stop_emu
check "a cancelled alignment exits non-zero" test $status -ne 0
check "a cancelled alignment sends no origin" test "$(grep -c '^origin' "$root/cancelled.log" 2>/dev/null)" = 0
check "a cancelled alignment keeps the job" test -e "$w/kavren.plt"

# The alignment and the origin prompt as one command a line, typed or
# piped, with LF or CR LF line ends: x+ jogs as Left does, ok takes a mark,
# and cancel at the origin prompt sends neither the origin nor the job.
for ending in lf crlf; do
  eol=$'\n'
  [ "$ending" = crlf ] && eol=$'\r\n'
  w=$(new_job "lines_$ending" "8000,4800,400,1,1")
  start_emu "lines_$ending" --tcp 0
  printf '%s' "x+${eol}ok${eol}ok${eol}ok${eol}ok${eol}ok${eol}" |
    "$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" start >/dev/null 2>"$root/lines.stderr"
  status=$?
  wait_emu
  check "line commands ($ending): start exits 0" test $status -eq 0
  check "line commands ($ending): x+ jogs before the first mark" \
    grep -q "^POS 2  X=10.50  Y=150.00  step 0.5 mm$" "$root/lines.stderr"
  check "line commands ($ending): jogs, origin, job" \
    test "$(grep -E '^(jog-start|origin|end)' "$root/lines_$ending.log" | tr '\n' ' ')" = "jog-start origin end "
  check "line commands ($ending): the start position, one jog and four marks" \
    test "$(grep -c '^jog x=' "$root/lines_$ending.log")" -eq 6

  w=$(new_job "lines_cancel_$ending" "8000,4800,400,1,1")
  start_emu "lines_cancel_$ending" --tcp 0
  printf '%s' "coarse${eol}fine${eol}y-${eol}nonsense${eol}ok${eol}ok${eol}ok${eol}ok${eol}cancel${eol}" |
    "$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" start >/dev/null 2>"$root/lines.stderr"
  status=$?
  stop_emu
  check "line commands ($ending): fine steps 0.1 mm" grep -q "^POS 1  X=10.00  Y=9.90  step 0.1 mm$" "$root/lines.stderr"
  check "line commands ($ending): an unknown command is named" grep -q '^unknown command "nonsense"' "$root/lines.stderr"
  check "line commands ($ending): cancel at the origin prompt exits non-zero" test $status -ne 0
  check "line commands ($ending): cancel sends no origin" \
    test "$(grep -c '^origin' "$root/lines_cancel_$ending.log" 2>/dev/null)" = 0
  check "line commands ($ending): cancel keeps the job" test -e "$w/kavren.plt"
done

# Two starts of one job at once (a double click), ten times: the cutter
# gets each job once.
start_emu pairs --tcp 0 --keep
sent_once=0
for i in $(seq 10); do
  w=$(new_job "pair$i")
  "$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" start >/dev/null 2>&1 &
  a=$!
  "$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port "$emu_at" start >/dev/null 2>&1 &
  b=$!
  wait "$a"; sa=$?
  wait "$b"; sb=$?
  [ $((sa == 0)) -ne $((sb == 0)) ] && sent_once=$((sent_once + 1))
done
sleep 0.5
stop_emu
echo "concurrent start pairs with exactly one send: $sent_once of 10"
check "every concurrent pair of starts sends the job once" test "$sent_once" -eq 10
check "the cutter got ten jobs" test "$(grep -c '^summary status=complete' "$root/pairs.log")" -eq 10

# The WiFi log-on test.
w=$(new_job wifi)
start_emu wifi --tcp 0
out=$("$plotsend" --workdir "$w" --ip 127.0.0.1 --tcp-port "$emu_at" wifi-test 2>&1)
check "wifi test succeeds against a listener" test "$out" = "plotsend: Wifi Log On Ok"
stop_emu

checks_done
