#!/usr/bin/env bash
# End-to-end checks of the terminal plotsend: exit status, messages, files
# written and kept. Usage: plotsend_cli_test.sh PLOTSEND TESTDATA
set -u
plotsend=$1
testdata=$2
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/e2e_lib.sh"

# A plain export: finished, command file written, job files gone, edits saved.
w=$(new_job plain)
out=$("$plotsend" --workdir "$w" --dashed 2.5,0.5 --origin 1,2 --from 1 export "$w/cut.txt" 2>"$root/err")
status=$?
check "export exits 0" test "$status" -eq 0
check "export says it finished" grep -qx "Save .PLT File Finished" <<<"$out"
check "export prints the size" grep -q "^wrote [0-9]* bytes to $w/cut.txt.PLT$" <<<"$out"
check "export prints the sections" grep -qx "sections 2 to 2 of 2, mark type 3" <<<"$out"
check "nothing on stderr" test ! -s "$root/err"
check "command file ends with @" test "$(tail -c 1 "$w/cut.txt.PLT")" = "@"
check "job files deleted" test ! -e "$w/kavren.plt" -a ! -e "$w/kavren_m.plt" -a ! -e "$w/kavren.kv2"
check "markref kept" test -e "$w/markref.kv"
check "dashed length saved" grep -q "^DashedLineLineLen=2.50" "$w/config.ini"
check "dashes switch compensation off" grep -q "^IsOffset=0" "$w/config.ini"
check "origin saved" grep -q "^OriginOffsetY=2.00" "$w/config.ini"

# A command file that cannot be written: the failure and the system's
# reason on stderr, job kept.
w=$(new_job unwritable)
"$plotsend" --workdir "$w" export "$w/missing/cut.plt" >"$root/out" 2>"$root/err"
status=$?
check "failed export exits non-zero" test "$status" -ne 0
check "failure and its reason on stderr" test "$(cat "$root/err")" = \
  "$(printf 'plotsend: Save .PLT File Failed: %s\nNo such file or directory' "$w/missing/cut.plt")"
check "failure is not reported as finished" test ! -s "$root/out"
check "job kept after failure" test -e "$w/kavren.plt" -a -e "$w/kavren.kv2"

# A work file that cannot be written: the same refusal as from the
# preparation, and the file the export would replace stays as it was.
w=$(new_job nokv2)
mkdir -p "$w/kavren.kv2/inner"
printf older >"$w/cut.plt"
"$plotsend" --workdir "$w" export "$w/cut.plt" >"$root/out" 2>"$root/err"
check "unwritten work file exits 1" test $? -eq 1
check "unwritten work file says why" test "$(cat "$root/err")" = \
  "$(printf 'plotsend: cannot write the work files in %s/\nIs a directory' "$w")"
check "unwritten work file: output untouched" test "$(cat "$w/cut.plt")" = older
check "unwritten work file: job kept" test -e "$w/kavren.plt"
"$plotsend" --workdir "$w" preview "$root/nokv2.png" >"$root/out" 2>"$root/err"
check "unwritten work file: preview refused" test $? -eq 1 -a ! -e "$root/nokv2.png"
check "unwritten work file: preview says why" test "$(cat "$root/err")" = \
  "$(printf 'plotsend: cannot write the work files in %s/\nIs a directory' "$w")"

# No FILE for a job without a code: a clear error, nothing touched.
w=$(new_job nofile)
"$plotsend" --workdir "$w" export >/dev/null 2>"$root/err"
check "missing FILE exits 2" test $? -eq 2
check "missing FILE keeps the job" test -e "$w/kavren.plt"

# A coded job without FILE gets its proposed name.
w=$(new_job coded)
printf '1,1,' >"$w/codeinfo.kv"
printf '17' >"$w/codenumble.kv"
(cd "$root" && "$plotsend" --workdir "$w" export >/dev/null 2>&1)
check "coded job written as _17_.plt" test -s "$root/_17_.plt"
check "code mode consumed" test "$(cat "$w/codeinfo.kv")" = "0,1,"

# Settings that cannot be meant: one warning naming them, the defaults used
# and saved in their place.
w=$(new_job ranges)
printf '[config]\r\nOffsetVal=1e308\r\nOriginOffsetX=1e308\r\nIP_FIELD_0=383\r\n' >"$w/config.ini"
out=$("$plotsend" --workdir "$w" export "$w/cut.plt" 2>"$root/err")
check "out-of-range settings: export exits 0" test $? -eq 0
check "out-of-range settings: one warning" test "$(wc -l <"$root/err")" -eq 1
check "out-of-range settings: keys named" grep -q "OffsetVal=1e308 (0 ~ 5); OriginOffsetX=1e308 (-5000 ~ 5000); IP_FIELD_0=383 (0 ~ 255)" "$root/err"
check "out-of-range settings: defaults used" grep -qx "origin offset 0.00, 0.00 mm" <<<"$out"
check "out-of-range settings: defaults saved" grep -q "^OffsetVal=0.35.\?$" "$w/config.ini"
check "out-of-range settings: address saved" grep -q "^IP_FIELD_0=192.\?$" "$w/config.ini"

# A config.ini that cannot be written is reported once; the export stands.
w=$(new_job unsaved)
rm "$w/config.ini" && mkdir "$w/config.ini"
"$plotsend" --workdir "$w" export "$w/cut.plt" >/dev/null 2>"$root/err"
check "unsaved settings: export exits 0" test $? -eq 0
check "unsaved settings: reported once" test "$(cat "$root/err")" = "plotsend: The settings could not be saved in config.ini: $w/config.ini"

# A UTF-16 config.ini is read and stays UTF-16.
w=$(new_job utf16)
printf '[config]\r\nOriginOffsetX=1.50\r\n' | iconv -f UTF-8 -t UTF-16LE | { printf '\xFF\xFE'; cat; } >"$w/config.ini"
out=$("$plotsend" --workdir "$w" export "$w/cut.plt" 2>"$root/err")
check "utf-16 settings read" grep -qx "origin offset 1.50, 0.00 mm" <<<"$out"
check "utf-16 settings: nothing added in 8 bits" test "$(grep -ac '\[config\]' "$w/config.ini")" -eq 0
check "utf-16 settings hold every key once" test "$(tail -c +3 "$w/config.ini" | iconv -f UTF-16LE -t UTF-8 | grep -c '=')" -eq 15

# Malformed command lines and a missing job.
"$plotsend" --offset nope export x.plt >/dev/null 2>&1
check "bad option value exits 2" test $? -eq 2
"$plotsend" --workdir "$root/empty" export x.plt >/dev/null 2>"$root/err"
check "missing job exits 1" test $? -eq 1
check "missing job is named" grep -q "kavren.plt" "$root/err"

# A port this user may not open is listed, and named on stderr with the group
# that owns it.
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
  # A copy of the program the other user can reach wherever the tree lies.
  mkdir -p "$root/devs" "$root/bin" && cp "$plotsend" "$root/bin/" && chmod 755 "$root" "$root/devs" "$root/bin"
  : >"$root/devs/ttyUSB0" && chgrp dialout "$root/devs/ttyUSB0" && chmod 660 "$root/devs/ttyUSB0"
  out=$(PLOTARA_DEV_DIR="$root/devs" setpriv --reuid=65534 --regid=65534 --clear-groups "$root/bin/plotsend" ports 2>"$root/err")
  check "ports still lists a port it may not open" test "$out" = "$(printf '%s\n%s' "$root/devs/ttyUSB0" TCP/IP)"
  check "ports names the group to join" grep -q "^plotsend: $root/devs/ttyUSB0 cannot be opened: permission denied; add your user to the group dialout" "$root/err"
  out=$(PLOTARA_DEV_DIR="$root/devs" "$plotsend" ports 2>"$root/err")
  check "a port that can be opened raises nothing" test ! -s "$root/err"
else
  skip "port permissions (needs root and setpriv)"
fi

checks_done
