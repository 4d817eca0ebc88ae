#!/usr/bin/env bash
# The terminal plotsend on work directories as a careless or unlucky user
# leaves them: what it says, its exit status, and which files remain with
# which bytes. Usage: plotsend_hostile_test.sh PLOTSEND TESTDATA
set -u
plotsend=$(realpath "$1")
testdata=$(realpath "$2")
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/e2e_lib.sh"
mounts=()
at_exit 'for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done'
chmod 755 "$root"

open_job() {  # a work directory as the macros leave it, open to every user
  local dir
  dir=$(new_job "$1")
  chmod 777 "$dir"
  echo "$dir"
}

# Every file below DIR with its type and bytes, to tell whether a run left
# the directory exactly as it was; the run's own lock file aside.
snapshot() {
  (cd "$1" && find . ! -path ./plotara.lock -printf '%y %p\n' | sort &&
    find . -type f ! -path ./plotara.lock -print0 | sort -z | xargs -0r sha256sum)
}

# Every run is bounded: a file that blocks on open must not hang the suite.
run() {  # run ARGS...: plotsend with stdout and stderr kept, status in $status
  timeout 60 "$plotsend" "$@" >"$root/out" 2>"$root/err"
  status=$?
}

# Permission cases need a user the permissions apply to: as root, nobody.
run_unprivileged() {
  if [ "$(id -u)" -eq 0 ]; then
    timeout 60 setpriv --reuid=65534 --regid=65534 --clear-groups "$plotsend" "$@" >"$root/out" 2>"$root/err"
  else
    timeout 60 "$plotsend" "$@" >"$root/out" 2>"$root/err"
  fi
  status=$?
}

said() { grep -qF -- "$1" "$root/err"; }
# said_why TEXT REASON: TEXT on a line of stderr and the system's REASON on the next.
said_why() { grep -A1 -xF -- "plotsend: $1" "$root/err" | tail -n +2 | grep -qxF -- "$2"; }
finished() { grep -qx "Save .PLT File Finished" "$root/out"; }

# A job of many short cutting moves, so that its command file is large.
big_job() {  # big_job FILE SEGMENTS
  awk -v n="$2" 'BEGIN { printf "IN;SP1;PU0,0;"; for (i = 0; i < n; i++) printf "PD%d,%d;", i % 4000, (i * 7) % 3000; printf "PU0,0;@" }' >"$1"
}

# A small tmpfs at DIR, where the machine lets us mount one.
small_tmpfs() {  # small_tmpfs DIR SIZE
  mkdir -p "$1"
  [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o "size=$2" tmpfs "$1" 2>/dev/null || return 1
  mounts+=("$1")
}

# --- The target is one of the job's own files: refused, nothing touched.
w=$(open_job self)
ln -s "$w/kavren.kv2" "$root/to_kv2.plt"
ln -s "$w/markref.kv" "$root/to_markref.plt"
ln "$w/kavren.plt" "$root/hard.plt"
ln -s "$w/plotara.lock" "$root/to_lock.plt"  # replacing the lock file would unlock the directory
before=$(snapshot "$w")
for target in "$w/kavren.plt" "$w/kavren_m.plt" "$w/sub/../kavren.plt" "$root/to_kv2.plt" \
              "$root/to_markref.plt" "$root/hard.plt" "$root/to_lock.plt"; do
  run --workdir "$w" export "$target"
  check "work file target $target fails" test "$status" -ne 0
  check "work file target $target is named" said "The output file is one of the job's work files"
  check "work file target $target not finished" test ! -s "$root/out"
done
check "work file targets leave the job as it was" test "$before" = "$(snapshot "$w")"

# --- A job that cannot be read is neither written out nor deleted.
w=$(open_job unreadable)
chmod 000 "$w/kavren.plt"
run_unprivileged --workdir "$w" export "$w/out.plt"
check "unreadable job fails" test "$status" -ne 0
check "unreadable job says Open File Failed" said "Open File Failed"
check "unreadable job is named" said "The job could not be read: $w/kavren.plt"
check "unreadable job writes no output" test ! -e "$w/out.plt"
check "unreadable job is kept" cmp -s "$w/kavren.plt" "$testdata/kavren.plt"

# --- Mark values that cannot be read: stop after the message, consume nothing.
markref_case() {  # markref_case NAME SETUP EXPECTED-MESSAGE
  local w
  w=$(open_job "markref_$1")
  printf '1,1,' >"$w/codeinfo.kv"
  printf '5' >"$w/codenumble.kv"
  (cd "$w" && eval "$2")
  local before
  before=$(snapshot "$w")
  run_unprivileged --workdir "$w" export "$w/out.plt"
  check "markref $1 fails" test "$status" -ne 0
  [ -n "$3" ] && check "markref $1 message" said "$3"
  check "markref $1 is named" said "The job's mark values could not be read: $w/markref.kv"
  check "markref $1 consumes nothing" test "$before" = "$(snapshot "$w")"
}
markref_case missing "rm markref.kv" "open markref file fail!"
markref_case unreadable "chmod 000 markref.kv" "open markref file fail!"
markref_case directory "rm markref.kv && mkdir markref.kv" ""
markref_case empty ": >markref.kv" ""
markref_case fifo "rm markref.kv && mkfifo markref.kv" ""
markref_case too_long "printf '%096d' 1 >markref.kv" "buffer not  enough !"

# --- The disk fills while the command file is written: the file that was
# at the target stays as it was, and so does the job.
if small_tmpfs "$root/full" 64k; then
  w=$(open_job diskfull)
  big_job "$w/kavren.plt" 20000
  printf 'the previous cut\n' >"$root/full/cut.plt"
  run --workdir "$w" export "$root/full/cut.plt"
  check "disk full fails" test "$status" -ne 0
  check "disk full says so, and why" said_why "Save .PLT File Failed: $root/full/cut.plt" "No space left on device"
  check "disk full not finished" test ! -s "$root/out"
  check "disk full keeps the previous file" test "$(cat "$root/full/cut.plt")" = "the previous cut"
  check "disk full leaves no partial file" test "$(ls "$root/full")" = "cut.plt"
  check "disk full keeps the job" test -s "$w/kavren.plt"
  run --workdir "$w" export "$root/full/new.plt"
  check "disk full with no previous file fails" test "$status" -ne 0
  check "disk full with no previous file leaves nothing" test ! -e "$root/full/new.plt"
  run --workdir "$w" export "$w/cut.plt"
  check "the same job then exports elsewhere" test "$status" -eq 0 -a -s "$w/cut.plt"
else
  skip "disk full (no tmpfs can be mounted here)"
fi

# A work directory on a full disk: its intermediates cannot be written.
if small_tmpfs "$root/fullwork" 200k; then
  w="$root/fullwork"
  big_job "$w/kavren.plt" 12000
  cp "$testdata/markref.kv" "$w/"
  run --workdir "$w" export "$root/cut_fullwork.plt"
  check "full work directory fails" test "$status" -ne 0
  check "full work directory says why" said_why "cannot write the work files in $w/" "No space left on device"
  check "full work directory writes no output" test ! -e "$root/cut_fullwork.plt"
  check "full work directory keeps the job" test -s "$w/kavren.plt"
else
  skip "full work directory (no tmpfs can be mounted here)"
fi

# --- A coded export that fails keeps its code flag for the retry.
w=$(open_job coded)
printf '1,1,' >"$w/codeinfo.kv"
printf '17' >"$w/codenumble.kv"
chmod 666 "$w/codeinfo.kv"
mkdir "$root/coded_out" && chmod 555 "$root/coded_out"
run_unprivileged --workdir "$w" export "$root/coded_out/_17_.plt"
check "failed coded export fails" test "$status" -ne 0
check "failed coded export keeps the flag" test "$(cat "$w/codeinfo.kv")" = "1,1,"
chmod 777 "$root/coded_out" && cd "$root/coded_out" && run --workdir "$w" export
cd - >/dev/null
check "coded retry succeeds" test "$status" -eq 0 -a -s "$root/coded_out/_17_.plt"
check "coded retry consumes the flag" test "$(cat "$w/codeinfo.kv")" = "0,1,"

w=$(open_job coded_short)
printf '1' >"$w/codeinfo.kv"
run --workdir "$w" export "$w/missing/out.plt"
check "1-byte code flag untouched without an export" test "$(cat "$w/codeinfo.kv")" = "1"

# --- Jobs without a single cutting move: exported, with a warning.
nocut_case() {  # nocut_case NAME (the job's bytes on stdin)
  local w
  w=$(open_job "nocut_$1")
  cat >"$w/kavren.plt"
  run --workdir "$w" export "$w/out.plt"
  check "no cutting moves ($1) exits 0" test "$status" -eq 0
  check "no cutting moves ($1) warns" said "The job holds no cutting moves"
  check "no cutting moves ($1) still finishes" finished
  check "no cutting moves ($1) writes the file" test "$(tail -c 1 "$w/out.plt")" = "@"
}
nocut_case empty </dev/null
nocut_case semicolon <<<";"
head -c 4096 /dev/urandom | tr -d 'DUP;' >"$root/garbage"
nocut_case garbage <"$root/garbage"
nocut_case pen_up_only <<<'IN;PU100,100;PU0,0;@'
w=$(open_job cuts)
run --workdir "$w" export "$w/out.plt"
check "a normal job has no warning" test ! -s "$root/err"

# --- Settings with CR-only line ends are read, and saved without growing.
w=$(open_job cr_config)
printf '[config]\rIsClose=1\rIsOffset=1\rCloseVal=0.50\rOffsetVal=0.45\rOriginOffsetX=1.25\rOriginOffsetY=0\r' >"$w/config.ini"
run --workdir "$w" export "$w/a.plt"
check "CR-only settings are read" grep -q "blade offset 0.45 mm, closure 0.50 mm" "$root/out"
check "CR-only origin is read" grep -q "origin offset 1.25, 0.00 mm" "$root/out"
size=$(stat -c %s "$w/config.ini")
keys=$(tr '\r' '\n' <"$w/config.ini" | grep -c '=')
cp "$testdata/kavren.plt" "$w/"
run --workdir "$w" export "$w/b.plt"
check "CR-only settings do not grow" test "$(stat -c %s "$w/config.ini")" -eq "$size"
check "every key once" test "$(tr '\r' '\n' <"$w/config.ini" | grep '=' | cut -d= -f1 | sort | uniq -d | wc -l)" -eq 0
check "all fifteen keys" test "$keys" -eq 15

# --- An empty work directory name would be the root.
run --workdir "" export "$root/x.plt"
check "empty work directory refused" test "$status" -eq 2
check "empty work directory named" said "--workdir needs a directory"

# --- What already behaves well, and must go on doing so.
w=$(open_job huge_numbers)
printf 'IN;PU0,0;PD99999999999999999999,-99999999999999999999;PD-5,2147483648;PU0,0;@' >"$w/kavren.plt"
printf '99999999999,-99999999999,2147483648,300,0' >"$w/markref.kv"
run --workdir "$w" export "$w/out.plt"
check "huge numbers export" test "$status" -eq 0 -a "$(tail -c 1 "$w/out.plt")" = "@"

w=$(open_job nul_bytes)
printf 'IN;PU0,0;PD10\0,10;\0\0PD400,0;PU0,0;@' >"$w/kavren.plt"
run --workdir "$w" export "$w/out.plt"
check "NUL bytes export" test "$status" -eq 0 -a "$(tail -c 1 "$w/out.plt")" = "@"

for kind in zero fifo directory; do
  w=$(open_job "job_$kind")
  rm "$w/kavren.plt"
  case $kind in
    zero) ln -s /dev/zero "$w/kavren.plt" ;;
    fifo) mkfifo "$w/kavren.plt" ;;
    directory) mkdir "$w/kavren.plt" ;;
  esac
  timeout 20 "$plotsend" --workdir "$w" export "$w/out.plt" >"$root/out" 2>"$root/err"
  status=$?
  check "kavren.plt as $kind fails at once" test "$status" -eq 1
  check "kavren.plt as $kind is no job" said "No job in the work directory"
  check "kavren.plt as $kind left in place" test -e "$w/kavren.plt"
done

w=$(open_job config_dir)
rm "$w/config.ini" && mkdir "$w/config.ini"
run --workdir "$w" export "$w/out.plt"
check "config.ini as a directory: export with defaults" test "$status" -eq 0
check "config.ini as a directory stays" test -d "$w/config.ini"

w=$(open_job readonly_target)
printf 'keep me' >"$w/ro.plt" && chmod 444 "$w/ro.plt"
run_unprivileged --workdir "$w" export "$w/ro.plt"
if [ "$(id -u)" -eq 0 ] || [ ! -w "$w/ro.plt" ]; then
  check "read-only target fails" test "$status" -ne 0
  check "read-only target kept" test "$(cat "$w/ro.plt")" = "keep me"
  check "read-only target keeps the job" test -e "$w/kavren.plt"
fi

w=$(open_job target_dir)
mkdir "$w/out.plt" "$w/folder"
run --workdir "$w" export "$w/out.plt"
check "directory target fails" test "$status" -ne 0 -a -d "$w/out.plt" -a -e "$w/kavren.plt"
check "directory target says why" said_why "Save .PLT File Failed: $w/out.plt" "Is a directory"
run --workdir "$w" export "$w/folder"
check "a folder named as the target is refused as such" said_why "Save .PLT File Failed: $w/folder" "Is a directory"
check "a folder named as the target gets no file beside it" test ! -e "$w/folder.PLT" -a -e "$w/kavren.plt"

# A read-only work directory: the intermediates cannot be written, which is
# what the run says (the job itself can be read).
w=$(open_job readonly_workdir)
chmod 555 "$w"
run_unprivileged --workdir "$w" export "$root/readonly_workdir.plt"
check "read-only work directory fails" test "$status" -eq 1 -a ! -e "$root/readonly_workdir.plt"
check "read-only work directory says why" said_why "cannot write the work files in $w/" "Permission denied"
check "read-only work directory is not an unreadable job" test -z "$(grep -e 'could not be read' -e 'Open File Failed' "$root/err")"
chmod 777 "$w"

# Devices and pipes are written in place, under the name given.
w=$(open_job device_target)
ln -s /dev/full "$root/full_device"
run --workdir "$w" export "$root/full_device"
check "a full device fails and says why" said_why "Save .PLT File Failed: $root/full_device" "No space left on device"
check "a device gets no .PLT file beside it" test ! -e "$root/full_device.PLT" -a -e "$w/kavren.plt"
mkfifo "$root/pipe"
timeout 20 cat "$root/pipe" >"$root/piped_plain" &
reader=$!
run --workdir "$w" export "$root/pipe"
wait "$reader"
check "a pipe named without .plt is written in place" test "$status" -eq 0 -a ! -e "$root/pipe.PLT"
check "that pipe carries the command file" test "$(tail -c 1 "$root/piped_plain")" = "@"

w=$(open_job fifo_target)
mkfifo "$root/pipe.plt"
timeout 20 cat "$root/pipe.plt" >"$root/piped" &
reader=$!
run --workdir "$w" export "$root/pipe.plt"
wait "$reader"
check "a pipe target is written in place" test "$status" -eq 0 -a -p "$root/pipe.plt"
check "the pipe carries the command file" test "$(tail -c 1 "$root/piped")" = "@"

w=$(open_job symlink_target)
mkdir "$root/real"
printf 'old' >"$root/real/cut.plt"
ln -s "$root/real/cut.plt" "$root/link.plt"
run --workdir "$w" export "$root/link.plt"
check "a linked target keeps its link" test "$status" -eq 0 -a -L "$root/link.plt"
check "a linked target's file is replaced" test "$(tail -c 1 "$root/real/cut.plt")" = "@"

# More than 50 sections (a negative count reads as more): the one real
# cause, nothing written, nothing deleted.
for count in 51 -1; do
  w=$(open_job "sections_$count")
  printf '8000,4800,400,3,%s' "$count" >"$w/markref.kv"
  run --workdir "$w" export "$w/out.plt"
  check "$count sections fail" test "$status" -ne 0
  check "$count sections name the one cause" test "$(cat "$root/err")" = "plotsend: Max Section Mumbers : 50 !"
  check "$count sections write nothing" test ! -e "$w/out.plt" -a ! -e "$w/kavren_m.plt"
  check "$count sections keep the job" test -e "$w/kavren.plt" -a -e "$w/markref.kv"
done

checks_done
