#!/usr/bin/env bash
# End to end: the terminal barsetup in a wine prefix made of plain
# directories (user.reg, dosdevices/c: -> drive_c), with one directory
# workspace (16) and one .cdws package (17) made by p7zip's 7z.
# Usage: barsetup_cli_test.sh PATH_TO_barsetup
set -u
barsetup=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/e2e_lib.sh"

command -v 7z >/dev/null || give_up "p7zip's 7z is not on the PATH"

prefix=$root/prefix
c=$prefix/drive_c
mkdir -p "$prefix/dosdevices" "$c"
ln -s ../drive_c "$prefix/dosdevices/c:"

# The program directory: barsetup, the icons built beside it, two macro projects.
prog=$root/Plotara
mkdir -p "$prog"
cp "$barsetup" "$prog/barsetup"
icons=(4d8c3ba6-21b9-4a77-83c9-6140dea2a554 8fb721e4-554e-4a18-9a42-ad7bbcc5f2a6
       abdb2475-4dab-4f5c-a0f3-aa2b2185f49e abdb2475-4dab-4f5c-a0f3-aa2b2185f493
       c1226ae4-cb43-4ced-b6da-e422c9deb4b3 c1226ae4-cb43-4ced-b6da-e422c9deb4b8
       f590adcf-1ee8-4a56-bca9-b110aa92caa4 c1226ae4-cb43-4ced-b6da-e422c9deb4b4
       c1226ae4-cb43-4ced-b6da-e422c9deb4b9)
put_icons() {
  for i in "${icons[@]}"; do cp "$(dirname "$barsetup")/$i.ico" "$prog/"; done
}
put_icons
check "the build put the icons beside barsetup" test -s "$prog/${icons[0]}.ico"
echo "macro" >"$prog/KvOutput.gms"
echo "macro" >"$prog/KvDeleteMark.gms"

sample='<?xml version="1.0" encoding="utf-8"?>\r\n<uiConfig>\r\n  <frame>\r\n    <dockBar position="float">\r\n      <cmdBarLane>\r\n      </cmdBarLane>\r\n    </dockBar>\r\n  </frame>\r\n  <commandBars>\r\n    <commandBarData guid="7c905e2a-cb64-4ba1-aff0-c306f392680c">\r\n      <toolbar>\r\n        <item guidRef="h1"/>\r\n      </toolbar>\r\n    </commandBarData>\r\n  </commandBars>\r\n  <items>\r\n  </items>\r\n</uiConfig>\r\n'
ws16=$c/users/bob/Corel16/Workspace/Mine
mkdir -p "$ws16"
printf "$sample" >"$ws16/DRAWUIConfig.xml"
cp "$ws16/DRAWUIConfig.xml" "$root/original16.xml"

src=$root/src17
mkdir -p "$src/content" "$c/users/bob/Corel17/Workspace"
printf "$sample" >"$src/content/workspace.xml"
echo "kept" >"$src/content/other.txt"
pkg=$c/users/bob/Corel17/Workspace/Mine.cdws
(cd "$src" && 7z a -tzip "$pkg" content >/dev/null)
cp "$pkg" "$root/original17.cdws"
mkdir -p "$c/Corel/16" "$c/Corel/17"

cat >"$prefix/user.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Software\\Corel\\CorelDRAW\\16.0\\Draw] 1700000000
#time=1d9a0b1c2d3e4f5
"LastWorkspaceUsed"="C:\\Users\\Bob\\Corel16\\Workspace\\Mine.xml"

[Software\\Corel\\CorelDRAW\\16.0\\Draw\\Application Preferences\\Directories] 1700000000
"EmbedObjDir"="C:\\Corel\\16\\"

[Software\\Corel\\CorelDRAW\\17.0\\Draw] 1700000000
"LastCorelWorkspaceUsed"="C:\\users\\bob\\Corel17\\Workspace\\Mine.cdws"

[Software\\Corel\\CorelDRAW\\17.0\\Draw\\Application Preferences\\Directories] 1700000000
"EmbedObjDir"="C:\\Corel\\17\\"
REG

item=63d5897e-4f43-430a-b339-65788eed2ec7  # the first standard button
unpacked=$root/unpacked
unpack() { rm -rf "$unpacked"; 7z x -y "$pkg" -o"$unpacked" >/dev/null; }

# No switch: nothing at all.
out=$(WINEPREFIX=$prefix "$prog/barsetup" 2>&1); status=$?
check "no switch exits 0" test $status -eq 0
check "no switch says nothing" test -z "$out"
check "no switch leaves the icons" test -e "$prog/${icons[0]}.ico"

# What the user set on the files stays: mode, and owner when root runs this.
chmod 0444 "$ws16/DRAWUIConfig.xml" "$pkg"
if [ "$(id -u)" = 0 ]; then chown 4321:4322 "$ws16/DRAWUIConfig.xml" "$pkg"; fi
stat -c '%a %u:%g' "$ws16/DRAWUIConfig.xml" "$pkg" >"$root/stat_before"

# Help or an unknown switch: the usage, exit 2, nothing done.
set -f  # "/?" is an argument, not a pattern
for args in --help "/?" /regcdrplugin "/RegCdrPlugin -x"; do
  out=$(WINEPREFIX=$prefix "$prog/barsetup" $args 2>&1); status=$?
  check "$args: exit 2" test $status -eq 2
  check "$args: usage" grep -q '^usage: barsetup /RegCdrPlugin' <<<"$out"
done
set +f
check "unknown switch: named" grep -q '^barsetup: unknown switch -x$' <<<"$out"
check "usage: nothing done" cmp -s "$ws16/DRAWUIConfig.xml" "$root/original16.xml"

# Install with a toolbar name.
out=$(WINEPREFIX=$prefix "$prog/barsetup" /RegCdrPlugin /ToolBarName Cutter 2>"$root/err"); status=$?
check "install exits 0" test $status -eq 0
check "install message" test "$out" = "Install CorelDraw X6 X7 Success !"
check "nothing on stderr" test ! -s "$root/err"
check "16: toolbar added" grep -q "$item" "$ws16/DRAWUIConfig.xml"
check "16: toolbar named" grep -q '"Cutter"' "$ws16/DRAWUIConfig.xml"
check "16: backup kept" cmp -s "$ws16/DRAWUIConfig.xml.bak" "$root/original16.xml"
unpack
check "17: toolbar added in the package" grep -q "$item" "$unpacked/content/workspace.xml"
check "17: other entries kept" grep -qx kept "$unpacked/content/other.txt"
check "17: icons in the package" test -s "$unpacked/content/icons/${icons[8]}.ico"
check "17: backup kept" cmp -s "$pkg.bak" "$root/original17.cdws"
check "17: unpack directory gone" test ! -e "${pkg%.cdws}"
stat -c '%a %u:%g' "$ws16/DRAWUIConfig.xml" "$pkg" >"$root/stat_after"
check "mode and owner kept" cmp -s "$root/stat_before" "$root/stat_after"
check "icons consumed" test ! -e "$prog/${icons[0]}.ico"
check "macros copied" cmp -s "$c/Corel/17/GMS/KvOutput.gms" "$prog/KvOutput.gms"
check "missing macros skipped" test ! -e "$c/Corel/16/GMS/KvAddAutoMark.gms"

# A second install: same message, nothing added twice, backups unchanged.
cp "$ws16/DRAWUIConfig.xml" "$root/installed16.xml"
put_icons
out=$(WINEPREFIX=$prefix "$prog/barsetup" /RegCdrPlugin 2>&1)
check "second install message" test "$out" = "Install CorelDraw X6 X7 Success !"
check "16: nothing added twice" cmp -s "$ws16/DRAWUIConfig.xml" "$root/installed16.xml"
check "17: backup unchanged" cmp -s "$pkg.bak" "$root/original17.cdws"

# Removal: the toolbar goes, the macros go.
out=$(WINEPREFIX=$prefix "$prog/barsetup" /UnRegCdrPlugin 2>&1)
check "removal message" test "$out" = "Uninstall CorelDraw X6 X7 Success !"
check "16: toolbar removed" bash -c "! grep -q '$item' '$ws16/DRAWUIConfig.xml'"
unpack
check "17: toolbar removed from the package" bash -c "! grep -q '$item' '$unpacked/content/workspace.xml'"
check "macros deleted" test ! -e "$c/Corel/17/GMS/KvOutput.gms"

# An installer killed while unpacking leaves its unpack directory; the next
# run knows it for its own and removes it.
mkdir -p "$root/bin"
printf '#!/bin/sh\nif [ "$1" = x ]; then "%s" "$@" >/dev/null; kill -9 $PPID; exit 0; fi\nexec "%s" "$@"\n' \
  "$(command -v 7z)" "$(command -v 7z)" >"$root/bin/7z"
chmod +x "$root/bin/7z"
PATH=$root/bin:$PATH WINEPREFIX=$prefix "$prog/barsetup" /RegCdrPlugin >/dev/null 2>&1
check "killed while unpacking: the directory is left" test -d "${pkg%.cdws}/content"
WINEPREFIX=$prefix "$prog/barsetup" /RegCdrPlugin >/dev/null 2>&1
check "next run: the leftover is removed" test ! -e "${pkg%.cdws}"
check "next run: nothing of its own is left" bash -c "! ls -d '${pkg%.cdws}'.barsetup* 2>/dev/null"

# A user who may not give files away leaves a workspace of someone else's
# as it is, rather than making it his own.
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  own=$root/own
  mkdir -p "$own/dosdevices" "$own/drive_c/w/Mine"
  ln -s ../drive_c "$own/dosdevices/c:"
  printf "$sample" >"$own/drive_c/w/Mine/DRAWUIConfig.xml"
  cp "$own/drive_c/w/Mine/DRAWUIConfig.xml" "$root/own_before.xml"
  printf 'WINE REGISTRY Version 2\n[Software\\\\Corel\\\\CorelDRAW\\\\16.0\\\\Draw] 1\n"LastWorkspaceUsed"="C:\\\\w\\\\Mine.xml"\n' \
    >"$own/user.reg"
  chmod 0777 "$own/drive_c/w/Mine"
  chmod 0755 "$root" "$prog"
  out=$(setpriv --reuid=4321 --regid=4321 --clear-groups env WINEPREFIX="$own" "$prog/barsetup" /RegCdrPlugin 2>&1)
  check "someone else's file: the note says why" grep -q 'DRAWUIConfig.xml (cannot write the file.*Operation not permitted' <<<"$out"
  check "someone else's file: unchanged" cmp -s "$own/drive_c/w/Mine/DRAWUIConfig.xml" "$root/own_before.xml"
  check "someone else's file: still root's" test "$(stat -c %u "$own/drive_c/w/Mine/DRAWUIConfig.xml")" = 0
fi

# No user.reg: the no-version message, and a line on stderr naming the file.
out=$(WINEPREFIX=$root/none "$prog/barsetup" /RegCdrPlugin 2>"$root/err")
check "no registry: message" test "$out" = "Please install CorelDraw12 or X3 or X4 or X5 or X6 or X7 or X8 reinstall it!"
check "no registry: stderr names the file" grep -q "$root/none/user.reg" "$root/err"

# Workspaces that take no toolbar are named in the message: an empty, a
# truncated and a foreign DRAWUIConfig.xml, a value whose file is missing,
# and a POSIX path, whose file outside the drives is not touched.
bad=$root/bad
mkdir -p "$bad/dosdevices" "$bad/drive_c/Corel/16" "$root/outside/Mine"
ln -s ../drive_c "$bad/dosdevices/c:"
for v in 12 13 14; do mkdir -p "$bad/drive_c/w$v/Mine"; done
: >"$bad/drive_c/w12/Mine/DRAWUIConfig.xml"
printf "$sample" | head -c 300 >"$bad/drive_c/w13/Mine/DRAWUIConfig.xml"
echo "not a workspace" >"$bad/drive_c/w14/Mine/DRAWUIConfig.xml"
printf "$sample" >"$root/outside/Mine/DRAWUIConfig.xml"
cp -r "$bad/drive_c" "$root/bad_before"
cp "$root/outside/Mine/DRAWUIConfig.xml" "$root/outside_before.xml"
{
  echo 'WINE REGISTRY Version 2'
  for v in 12 13 14 15; do
    printf '\n[Software\\\\Corel\\\\CorelDRAW\\\\%s.0\\\\%s] 1\n"LastWorkspaceUsed"="C:\\\\w%s\\\\Mine.xml"\n' \
      "$v" "$([ "$v" -le 14 ] && echo CorelDRAW || echo Draw)" "$v"
  done
  printf '\n[Software\\\\Corel\\\\CorelDRAW\\\\16.0\\\\Draw] 1\n"LastWorkspaceUsed"="%s"\n' "$root/outside/Mine.xml"
  printf '\n[Software\\\\Corel\\\\CorelDRAW\\\\16.0\\\\Draw\\\\Application Preferences\\\\Directories] 1\n'
  printf '"EmbedObjDir"="C:\\\\Corel\\\\16\\\\"\n'
} >"$bad/user.reg"
no_config='(the file holds no CorelDRAW workspace configuration): it was left unchanged.'
expected="Install CorelDraw X6 Success !

The toolbar could not be changed in C:\\w12\\Mine\\DRAWUIConfig.xml $no_config
The toolbar could not be changed in C:\\w13\\Mine\\DRAWUIConfig.xml $no_config
The toolbar could not be changed in C:\\w14\\Mine\\DRAWUIConfig.xml $no_config
The workspace C:\\w15\\Mine\\DRAWUIConfig.xml does not exist: nothing was changed for it.
The registry value $root/outside/Mine.xml names no workspace file: nothing was changed for it."
put_icons
out=$(WINEPREFIX=$bad "$prog/barsetup" /RegCdrPlugin 2>&1)
check "unusable workspaces: message names them" test "$out" = "$expected"
[ "$out" = "$expected" ] || printf '%s\n--- expected:\n%s\n' "$out" "$expected"
for v in 12 13 14; do
  check "unusable workspace $v: unchanged" cmp -s "$bad/drive_c/w$v/Mine/DRAWUIConfig.xml" \
    "$root/bad_before/w$v/Mine/DRAWUIConfig.xml"
done
check "a POSIX path: the file outside is untouched" cmp -s "$root/outside/Mine/DRAWUIConfig.xml" "$root/outside_before.xml"
check "a POSIX path: no backup outside" test ! -e "$root/outside/Mine/DRAWUIConfig.xml.bak"

# A user.reg that is a directory: read as no registry, not a crash.
mkdir -p "$root/dirreg/user.reg"
out=$(WINEPREFIX=$root/dirreg "$prog/barsetup" /RegCdrPlugin 2>"$root/err"); status=$?
check "registry directory: exits 0" test $status -eq 0
check "registry directory: message" test "$out" = "Please install CorelDraw12 or X3 or X4 or X5 or X6 or X7 or X8 reinstall it!"
check "registry directory: stderr names the file" grep -q "cannot read $root/dirreg/user.reg" "$root/err"

checks_done
