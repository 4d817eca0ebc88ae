# Shared steps of the end-to-end scripts, sourced by each after it has read
# its arguments: a scratch directory ($root) that goes when the script ends,
# the tally of checks, work directories as the macros leave them, and the
# stand-in cutter in the background. A script ends with `checks_done`, whose
# status is the script's.
#
# new_job copies from $testdata; start_emu runs $emu (cutter-emu).

passes=0
failures=0
skips=0
root=$(mktemp -d)
emu_pid=
# Under ThreadSanitizer (the native-tsan tree) every process a script runs
# writes its reports into $root, also one whose status is not looked at;
# checks_done fails on each.
if [ -n "${TSAN_OPTIONS:-}" ]; then export TSAN_OPTIONS="$TSAN_OPTIONS:log_path=$root/tsan"; fi
e2e_exit_steps=()

# at_exit COMMAND: run when the script ends, before the scratch directory goes.
at_exit() { e2e_exit_steps+=("$1"); }

e2e_cleanup() {
  local step
  for step in "${e2e_exit_steps[@]}"; do eval "$step"; done
  [ -n "$emu_pid" ] && kill "$emu_pid" 2>/dev/null
  rm -rf "$root"
}
trap e2e_cleanup EXIT

# check NAME COMMAND...: one check, passed when COMMAND succeeds; NAME is
# printed when it fails.
check() {
  local name=$1; shift
  if "$@"; then passes=$((passes + 1)); else echo "FAILED: $name"; failures=$((failures + 1)); fi
}

# skip NAME: a check this machine cannot make.
skip() { echo "skipped: $1"; skips=$((skips + 1)); }

# not COMMAND...: succeeds when COMMAND fails, for checks of what must not be.
not() { ! "$@"; }

# give_up MESSAGE: a failure after which nothing more can be checked.
give_up() { echo "FAILED: $*"; exit 1; }

# checks_done: the tally, and any ThreadSanitizer report; fails when any check
# failed or any report was written.
checks_done() {
  local report
  for report in "$root"/tsan.*; do
    [ -e "$report" ] || continue
    cat "$report"
    echo "FAILED: a ThreadSanitizer report ($(basename "$report"))"
    failures=$((failures + 1))
  done
  if [ "$skips" -gt 0 ]; then
    echo "$passes passed, $failures failed, $skips skipped"
  else
    echo "$passes passed, $failures failed"
  fi
  [ "$failures" -eq 0 ]
}

# new_job NAME [MARKREF]: the work directory $root/NAME as the macros leave
# it (the job, its mark values and the settings); MARKREF, where given,
# replaces the mark values. Prints the directory.
new_job() {
  local dir="$root/$1"
  mkdir -p "$dir"
  cp "$testdata/kavren.plt" "$testdata/markref.kv" "$testdata/config.ini" "$dir/"
  [ $# -gt 1 ] && printf '%s' "$2" >"$dir/markref.kv"
  echo "$dir"
}

# start_emu NAME ARGS...: runs cutter-emu with ARGS in the background, its
# log, raw bytes and output in $root/NAME.*; sets emu_pid and emu_at (its
# port or pty path).
start_emu() {
  local name=$1; shift
  "$emu" "$@" --idle-timeout 20 --log "$root/$name.log" --raw "$root/$name.raw" >"$root/$name.out" 2>"$root/$name.err" &
  emu_pid=$!
  for _ in $(seq 100); do [ -s "$root/$name.out" ] && break; sleep 0.05; done
  emu_at=$(head -1 "$root/$name.out")
}

wait_emu() {  # waits for the stand-in to end by itself; its exit status
  wait "$emu_pid"
  local status=$?
  emu_pid=
  return $status
}

stop_emu() {  # ends the stand-in
  kill "$emu_pid" 2>/dev/null
  wait "$emu_pid" 2>/dev/null
  emu_pid=
}
