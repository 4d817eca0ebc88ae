#!/usr/bin/env bash
# End-to-end checks of `plotsend preview`: the PNG written at the preview
# frame's size, and the job, its description, its code flag and the
# settings left byte for byte as they were.
# Usage: plotsend_preview_test.sh PLOTSEND TESTDATA
set -u
plotsend=$1
testdata=$2
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/e2e_lib.sh"

coded_job() {  # a coded job as the macros leave it
  local dir
  dir=$(new_job "$1")
  printf '1,1,' >"$dir/codeinfo.kv"
  printf '17' >"$dir/codenumble.kv"
  echo "$dir"
}

snapshot() {  # checksums of the files a preview must not change
  (cd "$1" && sha256sum kavren.plt markref.kv codeinfo.kv codenumble.kv config.ini)
}

be32() {  # be32 FILE OFFSET: a big-endian 32-bit number
  od -An -tu1 -j "$2" -N4 "$1" | awk '{ print (($1 * 256 + $2) * 256 + $3) * 256 + $4 }'
}

w=$(coded_job plain)
before=$(snapshot "$w")
out=$("$plotsend" --workdir "$w" preview "$root/job.png" 2>"$root/err")
status=$?
check "preview exits 0" test "$status" -eq 0
check "preview names its file" grep -q "^wrote the preview (707 x 473 pixels, .*) to $root/job.png$" <<<"$out"
check "nothing on stderr" test ! -s "$root/err"
check "PNG signature" test "$(od -An -tx1 -N8 "$root/job.png" | tr -d ' ')" = "89504e470d0a1a0a"
check "PNG width" test "$(be32 "$root/job.png" 16)" -eq 707
check "PNG height" test "$(be32 "$root/job.png" 20)" -eq 473
check "job files and code flag unchanged" test "$(snapshot "$w")" = "$before"
pixel() {  # pixel X Y: "R G B" of the preview, read from its PPM form
  local header
  header=$(head -n 3 "$root/job.ppm" | wc -c)
  od -An -tu1 -j $((header + ($2 * 707 + $1) * 3)) -N3 "$root/job.ppm" | xargs
}
check "PNG decodes" convert "$root/job.png" ppm:- >"$root/job.ppm"
check "field is light yellow" test "$(pixel 3 3)" = "250 250 150"
# The job's edges at x = 0 and y = 0 lie 40 pixels from the right and bottom
# edges, with nothing drawn beside them.
check "job edge x = 0 at the right" test "$(pixel 667 260)" = "0 0 0"
check "nothing right of it" test "$(pixel 668 260)" = "250 250 150"
check "job edge y = 0 at the bottom" test "$(pixel 380 433)" = "0 0 0"
check "nothing below it" test "$(pixel 380 434)" = "250 250 150"

# A second preview of the same job gives the same picture.
"$plotsend" --workdir "$w" preview "$root/again.png" >/dev/null 2>&1
check "preview repeats" cmp -s "$root/job.png" "$root/again.png"

# The preview never replaces a work file.
w=$(coded_job workfile)
before=$(snapshot "$w")
"$plotsend" --workdir "$w" preview "$w/kavren.plt" >/dev/null 2>"$root/err"
check "work file as target refused" test $? -eq 1
check "refusal is one line" test "$(wc -l <"$root/err")" -eq 1
check "work files untouched after refusal" test "$(snapshot "$w")" = "$before"

# An unwritable target fails and keeps the job.
w=$(coded_job unwritable)
before=$(snapshot "$w")
"$plotsend" --workdir "$w" preview "$root/missing/job.png" >"$root/out" 2>"$root/err"
check "unwritable target exits 1" test $? -eq 1
check "failure named on stderr" grep -q "missing/job.png" "$root/err"
check "failure not reported as written" test ! -s "$root/out"
check "job kept after failure" test "$(snapshot "$w")" = "$before"

# No file, no job.
"$plotsend" --workdir "$w" preview >/dev/null 2>&1
check "missing FILE exits 2" test $? -eq 2
"$plotsend" --workdir "$root/empty" preview "$root/x.png" >/dev/null 2>&1
check "missing job exits 1" test $? -eq 1
check "missing job writes no picture" test ! -e "$root/x.png"

checks_done
