#!/usr/bin/env bash
# The release zip's layout: release_test.sh TREE [ZIP]. Without ZIP, packs
# the built win64 tree TREE with ./scripts/release --pack into a temporary
# directory first. Checks that the zip holds exactly plotara-win64/ with the
# two programs, the nine icons and README.txt, each as in the tree.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tree=$1
zip=${2:-}
source "$here/e2e_lib.sh"

if [[ -z $zip ]]; then
  "$here/release" --pack "$tree" "$root/out" >/dev/null || give_up "packing"
  zip="$root/out/plotara-win64.zip"
fi
[[ -f $zip ]] || give_up "$zip is missing"

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
check "the zip lists:
$listed
expected:
$expected" test "$listed" = "$expected"

7z x -bd -o"$root/x" "$zip" >/dev/null
check "7z cannot unpack $zip" test $? -eq 0
dir="$root/x/plotara-win64"
# Each file as the tree has it; the read-me with Windows line ends.
while IFS= read -r line; do
  [[ -n $line ]] || continue
  if [[ $line == *$'\t'* ]]; then name=${line%%$'\t'*}; path=${line#*$'\t'}; else path=$line; name=$(basename "$path"); fi
  if [[ $name == README*.txt ]]; then
    check "$name differs from $path" cmp -s <(tr -d '\r' <"$dir/$name") "$path"
  else
    check "$name differs from $path" cmp -s "$dir/$name" "$path"
  fi
done <"$tree/release-files.txt"
for exe in Plotsend.exe Barsetup.exe plotmark.exe; do
  check "$exe is not a Windows program" test "$(head -c 2 "$dir/$exe")" = MZ
done
readme="$dir/README.txt"
check "README.txt lacks Windows line ends" test "$(grep -c $'\r$' "$readme")" -eq "$(wc -l <"$readme")"
for text in 'Barsetup.exe /RegCdrPlugin' 'Barsetup.exe /UnRegCdrPlugin' '/Q5' '/ToolBarName NAME' \
    'C:\PlotaraCdr\' 'beside Barsetup.exe' 'KvOutput.gms'; do
  check "README.txt does not mention $text" grep -qF -- "$text" "$readme"
done
echo "release zip: $zip"
checks_done
