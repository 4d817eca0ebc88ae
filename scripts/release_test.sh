#!/usr/bin/env bash
# The release zip's layout: release_test.sh TREE [ZIP]. Without ZIP, packs
# the built win64 tree TREE with ./scripts/release --pack into a temporary
# directory first. Checks that the zip holds exactly plotara-win64/ with the
# two programs, the nine icons and README.txt, each as in the tree.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tree=$1
zip=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if [[ -z $zip ]]; then
  "$here/release" --pack "$tree" "$work/out" >/dev/null || { echo "FAIL: packing"; exit 1; }
  zip="$work/out/plotara-win64.zip"
fi
[[ -f $zip ]] || { echo "FAIL: $zip is missing"; exit 1; }

expected="plotara-win64
plotara-win64/4d8c3ba6-21b9-4a77-83c9-6140dea2a554.ico
plotara-win64/8fb721e4-554e-4a18-9a42-ad7bbcc5f2a6.ico
plotara-win64/Barsetup.exe
plotara-win64/Plotsend.exe
plotara-win64/README-zh.txt
plotara-win64/README.txt
plotara-win64/abdb2475-4dab-4f5c-a0f3-aa2b2185f493.ico
plotara-win64/abdb2475-4dab-4f5c-a0f3-aa2b2185f49e.ico
plotara-win64/c1226ae4-cb43-4ced-b6da-e422c9deb4b3.ico
plotara-win64/c1226ae4-cb43-4ced-b6da-e422c9deb4b4.ico
plotara-win64/c1226ae4-cb43-4ced-b6da-e422c9deb4b8.ico
plotara-win64/c1226ae4-cb43-4ced-b6da-e422c9deb4b9.ico
plotara-win64/f590adcf-1ee8-4a56-bca9-b110aa92caa4.ico
plotara-win64/plotmark.exe"
listed=$(7z l -slt "$zip" | sed -n 's/^Path = //p' | tail -n +2 | LC_ALL=C sort)
[[ $listed == "$expected" ]] || fail "the zip lists:
$listed
expected:
$expected"

7z x -bd -o"$work/x" "$zip" >/dev/null || fail "7z cannot unpack $zip"
dir="$work/x/plotara-win64"
# Each file as the tree has it; the read-me with Windows line ends.
while IFS= read -r line; do
  [[ -n $line ]] || continue
  if [[ $line == *$'\t'* ]]; then name=${line%%$'\t'*}; path=${line#*$'\t'}; else path=$line; name=$(basename "$path"); fi
  if [[ $name == README*.txt ]]; then
    cmp -s <(tr -d '\r' <"$dir/$name") "$path" || fail "README.txt differs from $path"
  else
    cmp -s "$dir/$name" "$path" || fail "$name differs from $path"
  fi
done <"$tree/release-files.txt"
for exe in Plotsend.exe Barsetup.exe plotmark.exe; do
  [[ $(head -c 2 "$dir/$exe") == MZ ]] || fail "$exe is not a Windows program"
done
readme="$dir/README.txt"
[[ $(grep -c $'\r$' "$readme") -eq $(wc -l <"$readme") ]] || fail "README.txt lacks Windows line ends"
for text in 'Barsetup.exe /RegCdrPlugin' 'Barsetup.exe /UnRegCdrPlugin' '/Q5' '/ToolBarName NAME' \
    'C:\PlotaraCdr\' 'beside Barsetup.exe' 'KvOutput.gms'; do
  grep -qF -- "$text" "$readme" || fail "README.txt does not mention $text"
done
if ((failures)); then
  echo "$failures failure(s)"
  exit 1
fi
echo "release zip layout: ok ($zip)"
