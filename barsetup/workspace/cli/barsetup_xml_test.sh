#!/bin/bash
# barsetup-xml end to end: one pass per run on a UI configuration file,
# the report of what changed, and clear failures for bad input.
# Usage: barsetup_xml_test.sh PATH_TO_barsetup-xml
set -u
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# expect CODE PATTERN -- args...: the exit code, and a line of the output
# (stdout and stderr) matching the extended regular expression.
expect() {
  local code=$1 pattern=$2
  shift 3
  local out rc
  out=$("$tool" "$@" 2>&1)
  rc=$?
  [ "$rc" -eq "$code" ] || fail "barsetup-xml $*: exit $rc, expected $code; output: $out"
  grep -Eq -- "$pattern" <<<"$out" || fail "barsetup-xml $*: no line matching '$pattern' in: $out"
}

sample="$dir/original.xml"
printf '<?xml version="1.0" encoding="utf-8"?>\r\n<uiConfig>\r\n  <frame>\r\n    <dockBar position="float">\r\n      <cmdBarLane>\r\n      </cmdBarLane>\r\n    </dockBar>\r\n  </frame>\r\n  <commandBars>\r\n    <commandBarData guid="7c905e2a-cb64-4ba1-aff0-c306f392680c">\r\n      <toolbar>\r\n        <item guidRef="h1"/>\r\n      </toolbar>\r\n    </commandBarData>\r\n  </commandBars>\r\n  <items>\r\n  </items>\r\n</uiConfig>\r\n' >"$sample"
file="$dir/workspace.xml"

# Bad command lines: exit 2 with the reason and the usage.
expect 2 'add or remove is missing' --
expect 2 'usage: barsetup-xml' --
expect 2 'first word must be add or remove' -- install "$file"
expect 2 '--version must be a CorelDRAW version from 12 to 22, not "11"' -- add --version 11 "$file"
expect 2 'not "23"' -- add --version 23 "$file"
expect 2 'not "1x"' -- add --version 1x "$file"
expect 2 'not "\+17"' -- add --version +17 "$file"
expect 2 '--version needs a value' -- add "$file" --version
expect 2 'add needs --version N' -- add "$file"
expect 2 '--name applies to add only' -- remove --name X "$file"
expect 2 '--name needs a non-empty toolbar name' -- add --version 17 --name "" "$file"
expect 2 'unknown option --Q5' -- add --Q5 --version 17 "$file"
expect 2 'FILE is missing' -- add --version 17
expect 2 'only one FILE' -- add --version 17 "$file" "$file.2"
expect 0 'usage: barsetup-xml' -- --help

# A file that is not there: exit 1, nothing created.
expect 1 'missing.xml: cannot read the file' -- add --version 17 "$dir/missing.xml"
[ ! -e "$dir/missing.xml" ] || fail "a missing file was created"
# A directory is named as one.
expect 1 ': cannot read the file \(Is a directory\)' -- add --version 17 "$dir"

# Addition: the report names every place; the file holds the toolbar.
cp "$sample" "$file"
expect 0 'add the standard toolbar "KV" for version 17' -- add --version 17 "$file"
cp "$sample" "$file"
out=$("$tool" add --version 17 "$file")
for line in 'frame: added 1 commandBar \(floating dockBar 1\)' 'host toolbar: added 7 item' \
    'commandBars: added 1 commandBarData' 'items: added 6 itemData' '^saved$'; do
  grep -Eq -- "$line" <<<"$out" || fail "add report lacks '$line': $out"
done
grep -q 'guid="8aaf09fd-3c88-4981-bc92-5e5f9996b4af" type="toolbar" nonLocalizableName="KV"' "$file" ||
  fail "the toolbar definition is not in the file"
grep -q 'userSmallBitmap' "$file" || fail "version 17 item definitions carry no pictures"

# A second addition changes nothing and leaves the file unwritten.
cp "$file" "$dir/after-add.xml"
expect 0 'toolbar already defined, left as it was' -- add --version 17 "$file"
expect 0 'nothing changed, file not written' -- add --version 17 "$file"
cmp -s "$file" "$dir/after-add.xml" || fail "a second addition changed the file"

# Removal gives the original back byte for byte.
expect 0 'items: removed 6 itemData' -- remove "$file"
cmp -s "$file" "$sample" || fail "removal did not give back the original"
expect 0 'nothing of the toolbar found, nothing changed' -- remove "$file"

# Q5 with a name, version 18: icons instead of pictures; removing the
# standard toolbar leaves it.
cp "$sample" "$file"
expect 0 'add the Q5 toolbar "Cut & go" for version 18' -- add --q5 --version 18 --name "Cut & go" "$file"
grep -q 'nonLocalizableName="Cut &amp; go" userCaption="Cut &amp; go"' "$file" || fail "the name is not in the file"
grep -q 'icon="guid://abdb2475-4dab-4f5c-a0f3-aa2b2185f493"' "$file" || fail "no icon for version 18"
! grep -q 'userSmallBitmap' "$file" || fail "version 18 item definitions carry pictures"
cp "$file" "$dir/q5.xml"
expect 0 'nothing changed' -- remove "$file"
cmp -s "$file" "$dir/q5.xml" || fail "removing the standard toolbar touched the Q5 one"
expect 0 'host toolbar: removed 7 item' -- remove --q5 --version 18 "$file"
cmp -s "$file" "$sample" || fail "removing the Q5 toolbar did not give back the original"

# A file without uiConfig is reported and left as it was.
printf 'not a workspace\n' >"$dir/other.txt"
expect 0 'uiConfig: not found' -- add --version 12 "$dir/other.txt"
[ "$(cat "$dir/other.txt")" = "not a workspace" ] || fail "a file without uiConfig was changed"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "barsetup-xml: all checks passed"
