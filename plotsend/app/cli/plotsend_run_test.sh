#!/usr/bin/env bash
# One run per work directory, and nothing left behind by a run that was
# interrupted: two plotsend processes on one work directory, signals during
# an export, and temporary files of a killed run.
# Usage: plotsend_run_test.sh PLOTSEND TESTDATA
set -u
plotsend=$(realpath "$1")
testdata=$(realpath "$2")
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/e2e_lib.sh"
pids=()
at_exit 'for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done'

# Every file below DIR with its type and bytes.
snapshot() {
  (cd "$1" && find . -printf '%y %p\n' | sort && find . -type f -print0 | sort -z | xargs -0r sha256sum)
}

# wait_for SECONDS COMMAND...: polls COMMAND every 10 ms.
wait_for() {
  local tries=$(($1 * 100))
  shift
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.01
  done
}

temps_in() { compgen -G "$1/*.plotara-tmp" >/dev/null; }

# --- A run that holds the work directory: its export waits for a reader of
# the pipe it writes to. A second run changes no file and says why.
w=$(new_job held)
mkfifo "$root/pipe.plt"
"$plotsend" --workdir "$w" export "$root/pipe.plt" >"$root/first.out" 2>&1 &
first=$!
pids+=("$first")
check "the first run waits at its output with the job prepared" wait_for 10 test -s "$w/kavren.kv2"
check "the lock file names the first run" test "$((10#$(head -c 10 "$w/plotara.lock")))" -eq "$first"
printf 'stale' >"$w/other.plotara-tmp"  # as if the first run were writing it
before=$(snapshot "$w")
for language in C zh_CN.UTF-8; do
  LC_ALL=$language "$plotsend" --workdir "$w" export "$root/second.plt" >"$root/out" 2>"$root/err"
  status=$?
  echo "second instance ($language), exit $status: $(cat "$root/err")"
  check "the second run ($language) exits 1, exporting nothing" \
    test "$status" -eq 1 -a ! -s "$root/out" -a ! -e "$root/second.plt.PLT"
done
check "the second run says a job is being handled" test "$(head -1 "$root/err")" = \
  "plotsend: 此工作目录中已有作业正在处理: $w/"
LC_ALL=C "$plotsend" --workdir "$w" --port TCP/IP --ip 127.0.0.1 --tcp-port 9 start >/dev/null 2>"$root/err"
check "a second start exits 1" test $? -eq 1
check "a second start says why in English" grep -qx "plotsend: A job is already being handled in this work directory: $w/" "$root/err"
check "the second runs change no file" test "$before" = "$(snapshot "$w")"
timeout 20 cat "$root/pipe.plt" >"$root/piped"
wait "$first"
check "the first run then finishes" test $? -eq 0 -a "$(tail -c 1 "$root/piped")" = "@"

# A holder that is killed leaves the directory free.
w=$(new_job killed)
"$plotsend" --workdir "$w" export "$root/pipe.plt" >/dev/null 2>&1 &
first=$!
pids+=("$first")
wait_for 10 test -s "$w/kavren.kv2"
kill -9 "$first"
wait "$first" 2>/dev/null
"$plotsend" --workdir "$w" export "$root/after_kill.plt" >/dev/null 2>&1
check "after the holder was killed the next run exports" test $? -eq 0 -a -s "$root/after_kill.plt"

# --- Two exports of one job at once, 20 times: one exports, the other
# changes nothing.
one_each=0
for i in $(seq 20); do
  w=$(new_job "pair$i")
  "$plotsend" --workdir "$w" export "$w/a.plt" >/dev/null 2>&1 &
  a=$!
  "$plotsend" --workdir "$w" export "$w/b.plt" >/dev/null 2>&1 &
  b=$!
  wait "$a"; sa=$?
  wait "$b"; sb=$?
  [ $((sa == 0)) -ne $((sb == 0)) ] && one_each=$((one_each + 1))
done
echo "concurrent export pairs with exactly one success: $one_each of 20"
check "every concurrent pair exports the job once" test "$one_each" -eq 20

# --- Signals during an export remove the temporary files in flight, in the
# work directory and beside the target, and end the run by the signal.
awk 'BEGIN { printf "IN;SP1;PU0,0;"; for (i = 0; i < 1500000; i++) printf "PD%d,%d;", i % 4000, (i * 7) % 3000; printf "PU0,0;@" }' >"$root/big.plt"
for signal in INT TERM; do
  for stage in workdir target; do
    w=$(new_job "signal_${signal}_$stage")
    cp "$root/big.plt" "$w/kavren.plt"
    mkdir -p "$root/out_$signal$stage"
    # A background job of a script starts with SIGINT ignored; a user's does not.
    env --default-signal=INT "$plotsend" --workdir "$w" export "$root/out_$signal$stage/cut.plt" >/dev/null 2>&1 &
    run=$!
    pids+=("$run")
    if [ "$stage" = workdir ]; then
      wait_for 60 temps_in "$w"
    else
      wait_for 60 temps_in "$root/out_$signal$stage"
    fi
    kill -"$signal" "$run"
    wait "$run"
    status=$?
    check "SIG$signal at the $stage ends the run by the signal" test "$status" -eq $((128 + $(kill -l "$signal")))
    check "SIG$signal at the $stage leaves no temporary file" \
      test -z "$(find "$w" "$root/out_$signal$stage" -name '*.plotara-tmp')"
    check "SIG$signal at the $stage keeps the job" cmp -s "$w/kavren.plt" "$root/big.plt"
  done
done

# --- Temporary files a killed run left in the work directory go at the next
# start; others stay.
w=$(new_job stale)
printf 'x' >"$w/kavren_m.plt.plotara-tmp"
printf 'x' >"$w/cut.plt.plotara-tmp"
mkdir "$root/elsewhere" && printf 'x' >"$root/elsewhere/keep.plotara-tmp"
"$plotsend" --workdir "$w" export "$w/cut.plt" >/dev/null 2>&1
check "stale temporary files in the work directory are removed" test -z "$(find "$w" -name '*.plotara-tmp')"
check "temporary files elsewhere stay" test -e "$root/elsewhere/keep.plotara-tmp"

checks_done
