#!/bin/bash
# barsetup-xml end to end: one pass per run on a UI configuration file,
# the report of what changed, and clear failures for bad input.
# Usage: barsetup_xml_test.sh PATH_TO_barsetup-xml
set -u
tool=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/e2e_lib.sh"

# expect CODE PATTERN -- args...: the exit code, and a line of the output
# (stdout and stderr) matching the extended regular expression.
expect() {
  local code=$1 pattern=$2
  shift 3
  local out rc
  out=$("$tool" "$@" 2>&1)
  rc=$?
  check "barsetup-xml $*: exit $rc, expected $code; output: $out" test "$rc" -eq "$code"
  check "barsetup-xml $*: no line matching '$pattern' in: $out" grep -Eq -- "$pattern" <<<"$out"
}

sample="$root/original.xml"
printf '<?xml version="1.0" encoding="utf-8"?>\r\n<uiConfig>\r\n  <frame>\r\n    <dockBar position="float">\r\n      <cmdBarLane>\r\n      </cmdBarLane>\r\n    </dockBar>\r\n  </frame>\r\n  <commandBars>\r\n    <commandBarData guid="7c905e2a-cb64-4ba1-aff0-c306f392680c">\r\n      <toolbar>\r\n        <item guidRef="h1"/>\r\n      </toolbar>\r\n    </commandBarData>\r\n  </commandBars>\r\n  <items>\r\n  </items>\r\n</uiConfig>\r\n' >"$sample"
file="$root/workspace.xml"

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
expect 1 'missing.xml: cannot read the file' -- add --version 17 "$root/missing.xml"
check "a missing file was created" test ! -e "$root/missing.xml"
# A directory is named as one.
expect 1 ': cannot read the file \(Is a directory\)' -- add --version 17 "$root"

# Addition: the report names every place; the file holds the toolbar.
cp "$sample" "$file"
expect 0 'add the standard toolbar "KV" for version 17' -- add --version 17 "$file"
cp "$sample" "$file"
out=$("$tool" add --version 17 "$file")
for line in 'frame: added 1 commandBar \(floating dockBar 1\)' 'host toolbar: added 7 item' \
    'commandBars: added 1 commandBarData' 'items: added 6 itemData' '^saved$'; do
  check "add report lacks '$line': $out" grep -Eq -- "$line" <<<"$out"
done
check "the toolbar definition is not in the file" \
  grep -q 'guid="8aaf09fd-3c88-4981-bc92-5e5f9996b4af" type="toolbar" nonLocalizableName="KV"' "$file"
check "version 17 item definitions carry no pictures" grep -q 'userSmallBitmap' "$file"

# A second addition changes nothing and leaves the file unwritten.
cp "$file" "$root/after-add.xml"
expect 0 'toolbar already defined, left as it was' -- add --version 17 "$file"
expect 0 'nothing changed, file not written' -- add --version 17 "$file"
check "a second addition changed the file" cmp -s "$file" "$root/after-add.xml"

# Removal gives the original back byte for byte.
expect 0 'items: removed 6 itemData' -- remove "$file"
check "removal did not give back the original" cmp -s "$file" "$sample"
expect 0 'nothing of the toolbar found, nothing changed' -- remove "$file"

# Q5 with a name, version 18: icons instead of pictures; removing the
# standard toolbar leaves it.
cp "$sample" "$file"
expect 0 'add the Q5 toolbar "Cut & go" for version 18' -- add --q5 --version 18 --name "Cut & go" "$file"
check "the name is not in the file" grep -q 'nonLocalizableName="Cut &amp; go" userCaption="Cut &amp; go"' "$file"
check "no icon for version 18" grep -q 'icon="guid://abdb2475-4dab-4f5c-a0f3-aa2b2185f493"' "$file"
check "version 18 item definitions carry pictures" not grep -q 'userSmallBitmap' "$file"
cp "$file" "$root/q5.xml"
expect 0 'nothing changed' -- remove "$file"
check "removing the standard toolbar touched the Q5 one" cmp -s "$file" "$root/q5.xml"
expect 0 'host toolbar: removed 7 item' -- remove --q5 --version 18 "$file"
check "removing the Q5 toolbar did not give back the original" cmp -s "$file" "$sample"

# A file without uiConfig is reported and left as it was.
printf 'not a workspace\n' >"$root/other.txt"
expect 0 'uiConfig: not found' -- add --version 12 "$root/other.txt"
check "a file without uiConfig was changed" test "$(cat "$root/other.txt")" = "not a workspace"

checks_done
