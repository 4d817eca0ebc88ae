#!/usr/bin/env bash
# plotmark's refusals: a clear message, a non-zero exit and no file left
# behind; then a pending job, --replace, a held work directory and the
# Chinese texts.
#   plotmark_cli_test.sh PLOTMARK TESTDATA
set -uo pipefail
plotmark=$1 data=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
passed=0 failed=0
check() {
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); else echo "FAIL: $what"; failed=$((failed + 1)); fi
}
svg() { printf '<svg xmlns="http://www.w3.org/2000/svg" width="%s" height="%s" viewBox="0 0 %s %s">%s</svg>' "$@"; }

svg 100mm 100mm 100 100 '<g/>' >"$root/empty.svg"
svg 100mm 100mm 100 100 '<text x="10" y="10">Logo</text><text>b</text>' >"$root/text.svg"
printf '<svg xmlns="http://www.w3.org/2000/svg"><path d="M0 0L1 1"/>' >"$root/broken.svg"
printf '\x89PNG\r\n\x1a\n0000' >"$root/picture.png"
svg 60000mm 10mm 60000 10 '<path d="M0 0L60000 10"/>' >"$root/huge.svg"
svg 100mm 100mm 100 100 '<rect x="10" y="10" width="50" height="30"/>' >"$root/ok.svg"

# refuse NAME PATTERN ARGS...: exit 1, PATTERN on stderr, nothing written.
refuse() {
  local name=$1 pattern=$2
  shift 2
  local w="$root/$name"
  "$plotmark" --workdir "$w/work" --sheet "$w/sheet" "$@" >"$root/out" 2>"$root/err"
  local status=$?
  check "$name: exits 1 (was $status)" test "$status" -eq 1
  check "$name: says '$pattern'" grep -q "$pattern" "$root/err"
  check "$name: leaves no file" test -z "$(find "$w" -type f 2>/dev/null)"
}
refuse no-shape "nothing to cut" "$root/empty.svg"
refuse text-only "only text (2 text elements).*convert the text to curves" "$root/text.svg"
refuse broken "is not a readable SVG" "$root/broken.svg"
refuse unknown "neither SVG nor HP-GL" "$root/picture.png"
refuse too-large "largest side is 50 m" "$root/huge.svg"
refuse sections-0 "sections must be 1 to 50, not 0" "$root/ok.svg" --sections 0
refuse sections-51 "sections must be 1 to 50, not 51" "$root/ok.svg" --sections 51
refuse no-stroke "no shape in .* is stroked in #00ff00" "$root/ok.svg" --cut-stroke '#00ff00'
refuse no-id "no element with id \"CutContour\"" "$root/ok.svg" --cut-id CutContour
refuse missing "cannot read" "$root/absent.svg"
refuse small-page "more than the page 20x20" "$root/ok.svg" --page 20x20

"$plotmark" --workdir "$root/work" "$root/ok.svg" --marks 9 >/dev/null
"$plotmark" nothing --bogus >/dev/null 2>"$root/err"
check "a bad option exits 2" test $? -eq 2
check "a bad option is named" grep -q "unknown option --bogus" "$root/err"

# A pending job is kept unless replaced.
before=$(cat "$root/work/markref.kv")
"$plotmark" --workdir "$root/work" "$root/ok.svg" --marks 2 >/dev/null 2>"$root/err"
check "a pending job is refused" test $? -eq 1
check "the refusal names --replace" grep -q -- "--replace" "$root/err"
check "the pending job stays" test "$(cat "$root/work/markref.kv")" = "$before"
# A job file that cannot be written: the sheet of the same name stays too.
echo old >"$root/keep.svg"
mkdir "$root/work/codeinfo.kv.plotara-tmp"
"$plotmark" --workdir "$root/work" "$root/ok.svg" --replace --sheet "$root/keep" >/dev/null 2>"$root/err"
check "a failed write is refused" grep -q "cannot write .*codeinfo.kv" "$root/err"
check "a sheet of the same name stays" test "$(cat "$root/keep.svg")" = old -a ! -e "$root/keep.pdf"
check "the job stays" test "$(cat "$root/work/markref.kv")" = "$before"
rmdir "$root/work/codeinfo.kv.plotara-tmp" 2>/dev/null
out=$("$plotmark" --workdir "$root/work" "$root/ok.svg" --marks 2 --replace --code 42)
check "--replace replaces it" test "$(cat "$root/work/markref.kv")" = "2000,1200,400,2,1"
check "a coded job: codeinfo.kv" test "$(cat "$root/work/codeinfo.kv")" = "1,1,"
check "a coded job: codenumble.kv" test "$(cat "$root/work/codenumble.kv")" = "42"
check "the summary names the spans" grep -q "MarkSpanX 2000, MarkSpanY 1200" <<<"$out"
check "the summary names kavren.plt" grep -q "wrote $root/work/kavren.plt" <<<"$out"

# A work directory a running Plotsend holds.
rm -f "$root/work/kavren.plt"
exec 9>"$root/work/plotara.lock"
flock -x 9
"$plotmark" --workdir "$root/work" "$root/ok.svg" >/dev/null 2>"$root/err"
check "a held work directory is refused" test $? -eq 1
check "the refusal names Plotsend" grep -q "Plotsend is running" "$root/err"
check "no job is written into it" test ! -e "$root/work/kavren.plt"
exec 9>&-

LANG=zh_CN.UTF-8 LC_ALL= "$plotmark" --workdir "$root/zh" "$root/text.svg" 2>"$root/err"
check "Chinese texts under zh_CN" grep -q "文字无法切割" "$root/err"

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
