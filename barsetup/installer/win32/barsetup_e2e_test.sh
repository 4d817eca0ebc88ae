#!/usr/bin/env bash
# Barsetup.exe end to end under wine: /RegCdrPlugin, then /UnRegCdrPlugin, in
# a private prefix whose HKCU holds the keys of CorelDRAW X6 (16, a directory
# workspace), 2020 (22, a .cdws package made with p7zip) and 2019 (21, a
# package that is no zip, which the archiver fails to unpack). The final
# message box is read and dismissed under a private X server. First a
# stand-in CorelDRAW runs: the install is cancelled, then retried once it
# has closed.
# Environment (set by ctest): GUI_OUT, WINEPREFIX, GUI_PROBE, BARSETUP_EXE,
# BARSETUP_PAYLOAD_DIR, SEVENZIP_DIR, CHILD_PROBE.
# Exit status 0 passed, 1 failed, 77 skipped.
set -uo pipefail
source "$(dirname "$0")/../../../plotsend/app/win/gui/gui_lib.sh"

export WINEDEBUG=-all
readonly kTitle=Barsetup        # the program file's name without extension
readonly kToolbarGuid=8aaf09fd-3c88-4981-bc92-5e5f9996b4af
readonly kItemGuids=(63d5897e-4f43-430a-b339-65788eed2ec7 391d1eab-7fad-4ec0-92e0-dd3e8c972dd9
  6904e0c4-92a3-4554-b983-35235c63a197 a14cda0f-4e3e-4ff3-8f54-eff9b1a5795a
  4b14bc4c-30f8-4a6f-b127-28663fba4a0d f7e6319e-98e3-4628-a8dc-fa5e38e02d13)
readonly kToolbarName="Plotara 工具"
readonly kGms=(KvAddAutoMark.gms KvOutput.gms)   # two of the six: missing ones are skipped

e2e_wine() { env LC_ALL=C.UTF-8 LANG=C.UTF-8 wine "$@"; }

# e2e_reg KEY NAME VALUE: one string value in the prefix's HKCU.
e2e_reg() {
  env -u DISPLAY timeout 60 env LC_ALL=C.UTF-8 LANG=C.UTF-8 \
    wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1 ||
    gui_fail "could not set $1\\$2"
}

c_drive() { printf '%s/drive_c\n' "$WINEPREFIX"; }

# A UI configuration document of one version: "container" bodies below 17,
# "toolbar" from 17 on.
ui_config() {
  printf '<?xml version="1.0" encoding="utf-8"?>\r\n<uiConfig>\r\n  <frame>\r\n    <dockBar position="float">\r\n      <cmdBarLane>\r\n      </cmdBarLane>\r\n    </dockBar>\r\n  </frame>\r\n  <commandBars>\r\n    <commandBarData guid="7c905e2a-cb64-4ba1-aff0-c306f392680c">\r\n      <%s>\r\n        <item guidRef="h1"/>\r\n      </%s>\r\n    </commandBarData>\r\n  </commandBars>\r\n  <items>\r\n  </items>\r\n</uiConfig>\r\n' "$1" "$1"
}

# The program directory, the two workspaces and the registry keys.
prepare() {
  local c
  c=$(c_drive)
  PROGRAM_DIR="$c/Plotara 安装"
  WS16="$c/Corel 16/Workspace/Zoë"
  PKG22="$c/Corel 22/Workspace/Mine 工作区.cdws"
  PKG21="$c/Corel 21/Workspace/Broken.cdws"
  rm -rf "$PROGRAM_DIR" "$c/Corel 16" "$c/Corel 21" "$c/Corel 22"
  mkdir -p "$PROGRAM_DIR" "$WS16" "$c/Corel 16/Draw" "$c/Corel 22/Draw" "$(dirname "$PKG22")" \
    "$(dirname "$PKG21")"
  cp "$BARSETUP_EXE" "$PROGRAM_DIR/"
  cp "$BARSETUP_PAYLOAD_DIR"/*.ico "$PROGRAM_DIR/"
  [[ $(ls "$PROGRAM_DIR"/*.ico | wc -l) -eq 9 ]] || gui_fail "the payload does not hold nine icons"
  local gms
  for gms in "${kGms[@]}"; do printf 'macro project %s\n' "$gms" >"$PROGRAM_DIR/$gms"; done

  ui_config container >"$WS16/DRAWUIConfig.xml"
  cp "$WS16/DRAWUIConfig.xml" "$GUI_OUT/ws16.orig.xml"

  local stage="$GUI_OUT/package-stage"
  rm -rf "$stage" && mkdir -p "$stage/content"
  ui_config toolbar >"$stage/content/workspace.xml"
  printf 'kept as it is\n' >"$stage/content/other.txt"
  (cd "$stage" && 7z a -tzip -bd "$PKG22" content/workspace.xml content/other.txt >/dev/null) ||
    gui_fail "p7zip could not make the package"
  cp "$PKG22" "$GUI_OUT/pkg22.orig.cdws"
  head -c 3000 /dev/urandom >"$PKG21"
  cp "$PKG21" "$GUI_OUT/pkg21.orig.cdws"

  local cdr='HKCU\Software\Corel\CorelDRAW'
  e2e_reg "$cdr\\16.0\\Draw" LastWorkspaceUsed 'C:\Corel 16\Workspace\Zoë.xml'
  e2e_reg "$cdr\\16.0\\Draw\\Application Preferences\\Directories" EmbedObjDir 'C:\Corel 16\Draw\'
  e2e_reg "$cdr\\22.0\\Draw" LastCorelWorkspaceUsed 'C:\Corel 22\Workspace\Mine 工作区.cdws'
  e2e_reg "$cdr\\22.0\\Draw\\Application Preferences\\Directories" EmbedObjDir 'C:\Corel 22\Draw\'
  e2e_reg "$cdr\\21.0\\Draw" LastCorelWorkspaceUsed 'C:\Corel 21\Workspace\Broken.cdws'
  timeout 60 wineserver -w || true
  # The only 7z.exe the run can start is the one Barsetup.exe writes.
  [[ -z $(find "$c" -iname 7z.exe -print -quit) ]] || gui_fail "a 7z.exe is already in the prefix"
}

# run_barsetup EXPECTED_TEXT ARGS...: runs the program, reads its final
# message, dismisses it with a click on OK and checks the exit status.
run_barsetup() {
  start_barsetup "${@:2}"
  finish_barsetup "$@"
}

start_barsetup() {
  e2e_wine "$PROGRAM_DIR/Barsetup.exe" "$@" >"$GUI_OUT/barsetup.log" 2>&1 &
  BARSETUP_PID=$!
  GUI_PIDS+=("$BARSETUP_PID")
}

# finish_barsetup EXPECTED_TEXT ARGS...: the final message of the program
# that start_barsetup ARGS... started.
finish_barsetup() {
  local expected=$1 pid=$BARSETUP_PID
  shift
  gui_wait_for 120 gui_probe_box || gui_fail "no message box \"$kTitle\" after Barsetup.exe $*"
  # The probe's answer: the control's rectangle and state, then its text.
  local answer text
  answer=$(gui_probe control "$kTitle" "$kBoxText")
  text=$(sed -n '2,$p' <<<"$answer")
  [[ $text == "$expected" ]] || gui_fail "Barsetup.exe $* says \"$text\", expected \"$expected\""
  gui_shot root "$GUI_OUT/barsetup-${1#/}.png"
  gui_click "$kTitle" 1
  gui_wait_for 30 gui_window_gone "$kTitle" || gui_fail "the message box did not close"
  local status=0
  gui_wait_for 60 test ! -e "/proc/$pid" || gui_fail "Barsetup.exe did not end after its message"
  wait "$pid" || status=$?
  ((status == 0)) || gui_fail "Barsetup.exe $* ended with status $status"
  gui_log "Barsetup.exe $*: \"$expected\", exit status 0"
}

# The message box's text control: 0xFFFF as in Windows' message boxes.
readonly kBoxText=65535
gui_probe_box() { [[ -n $(gui_probe control "$kTitle" "$kBoxText") ]]; }
# The box's text in BOX_TEXT (the probe is asked from this shell: its pipes
# are not there in a pipeline's subshells).
read_box_text() {
  local answer
  answer=$(gui_probe control "$kTitle" "$kBoxText")
  BOX_TEXT=$(sed -n '2,$p' <<<"$answer")
}

# A stand-in CorelDRAW: the probe child under CorelDRAW's file name, seen by
# the system once it has made its ready file.
readonly kQuestion="CorelDRAW is running. It saves its workspace when it closes, which would undo the toolbar change. Close CorelDRAW, then choose Retry; Cancel changes nothing."
start_coreldraw() {
  local c
  c=$(c_drive)
  rm -f "$c/coreldraw-ready"
  cp "$CHILD_PROBE" "$c/CorelDRW.exe"
  env LC_ALL=C.UTF-8 LANG=C.UTF-8 wine "$c/CorelDRW.exe" sleep 600000 'C:\coreldraw-ready' >/dev/null 2>&1 &
  CORELDRAW_PID=$!
  GUI_PIDS+=("$CORELDRAW_PID")
  gui_wait_for 60 test -e "$c/coreldraw-ready" || gui_fail "the stand-in CorelDRW.exe did not start"
}
stop_coreldraw() {
  kill -KILL "$CORELDRAW_PID"
  wait "$CORELDRAW_PID" 2>/dev/null || true
}

# answer_question BUTTON_ID [BEFORE]: the question is shown; BEFORE (a
# command) runs, then the button is clicked, and the question goes.
answer_question() {
  gui_wait_for 120 gui_probe_box || gui_fail "no question while CorelDRW.exe runs"
  read_box_text
  [[ $BOX_TEXT == "$kQuestion" ]] || gui_fail "the question says \"$BOX_TEXT\""
  gui_shot root "$GUI_OUT/barsetup-coreldraw-running.png"
  [[ -z ${2:-} ]] || "$2"
  gui_click "$kTitle" "$1"
  gui_wait_for 30 question_gone || gui_fail "the question stayed"
}
question_gone() { read_box_text && [[ $BOX_TEXT != "$kQuestion" ]]; }

# Nothing of the run is to be seen: files as prepared, icons still there.
check_untouched() {
  local c
  c=$(c_drive)
  cmp -s "$WS16/DRAWUIConfig.xml" "$GUI_OUT/ws16.orig.xml" || gui_fail "cancelled: DRAWUIConfig.xml changed"
  cmp -s "$PKG22" "$GUI_OUT/pkg22.orig.cdws" || gui_fail "cancelled: the package changed"
  [[ ! -e $WS16/DRAWUIConfig.xml.bak && ! -e $PKG22.bak ]] || gui_fail "cancelled: a backup was made"
  [[ $(ls "$PROGRAM_DIR"/*.ico | wc -l) -eq 9 ]] || gui_fail "cancelled: the icons were consumed"
  [[ ! -e $PROGRAM_DIR/7z.exe && ! -e "$c/Corel 16/Draw/GMS" ]] || gui_fail "cancelled: the run went on"
  gui_log "cancelled while CorelDRW.exe runs: nothing changed"
}

# has_toolbar FILE: every GUID of the standard toolbar is in FILE.
has_toolbar() {
  local guid
  for guid in "$kToolbarGuid" "${kItemGuids[@]}"; do grep -q "$guid" "$1" || return 1; done
}
has_none_of_toolbar() {
  local guid
  for guid in "$kToolbarGuid" "${kItemGuids[@]}"; do ! grep -q "$guid" "$1" || return 1; done
}

# package_entry NAME: one entry of the version 22 package on stdout.
package_entry() { 7z e -so "$PKG22" "$1" 2>/dev/null; }
package_xml() {
  package_entry content/workspace.xml >"$GUI_OUT/pkg22.xml" && [[ -s $GUI_OUT/pkg22.xml ]] ||
    gui_fail "no content/workspace.xml in the package"
}

check_installed() {
  local c ws="$WS16/DRAWUIConfig.xml"
  c=$(c_drive)
  has_toolbar "$ws" || gui_fail "version 16: the toolbar is not in DRAWUIConfig.xml"
  grep -q "$kToolbarName" "$ws" || gui_fail "version 16: the toolbar is not named \"$kToolbarName\""
  cmp -s "$ws.bak" "$GUI_OUT/ws16.orig.xml" || gui_fail "version 16: no backup of the original"

  package_xml
  has_toolbar "$GUI_OUT/pkg22.xml" || gui_fail "version 22: the toolbar is not in the package's workspace.xml"
  grep -q "$kToolbarName" "$GUI_OUT/pkg22.xml" || gui_fail "version 22: the toolbar name is missing"
  [[ $(package_entry content/other.txt) == "kept as it is" ]] || gui_fail "version 22: content/other.txt was lost"
  local ico
  for ico in "$BARSETUP_PAYLOAD_DIR"/*.ico; do
    package_entry "content/icons/$(basename "$ico")" | cmp -s - "$ico" ||
      gui_fail "version 22: $(basename "$ico") is not in the package's content/icons"
  done
  cmp -s "$PKG22.bak" "$GUI_OUT/pkg22.orig.cdws" || gui_fail "version 22: no backup of the original package"
  [[ ! -e ${PKG22%.cdws} ]] || gui_fail "version 22: the unpack directory was left behind"
  [[ -z $(find "$c/Corel 22" -name '*.new' -print -quit) ]] || gui_fail "version 22: a half-made package was left"

  # The archiver came out of Barsetup.exe's own resources, byte for byte.
  cmp -s "$PROGRAM_DIR/7z.exe" "$SEVENZIP_DIR/7z.exe" || gui_fail "7z.exe beside Barsetup.exe is not the embedded one"
  cmp -s "$PROGRAM_DIR/7z.dll" "$SEVENZIP_DIR/7z.dll" || gui_fail "7z.dll beside Barsetup.exe is not the embedded one"
  [[ -z $(ls "$PROGRAM_DIR"/*.ico 2>/dev/null) ]] || gui_fail "the icons beside Barsetup.exe were not consumed"

  local version gms
  for version in 16 22; do
    for gms in "${kGms[@]}"; do
      cmp -s "$c/Corel $version/Draw/GMS/$gms" "$PROGRAM_DIR/$gms" ||
        gui_fail "version $version: $gms was not copied into GMS"
    done
    [[ ! -e "$c/Corel $version/Draw/GMS/KvDeleteMark.gms" ]] || gui_fail "version $version: a missing macro appeared"
  done
  gui_log "installed: both workspaces edited, package unpacked and repacked by the embedded 7z.exe, macros copied"
}

# The package the archiver could not unpack is as it was, needed no backup,
# and its unpack directory is gone.
check_broken_untouched() {
  cmp -s "$PKG21" "$GUI_OUT/pkg21.orig.cdws" || gui_fail "version 21: the broken package was changed"
  [[ ! -e $PKG21.bak && ! -e ${PKG21%.cdws} ]] || gui_fail "version 21: files were left beside the broken package"
}

check_removed() {
  local c ws="$WS16/DRAWUIConfig.xml"
  c=$(c_drive)
  has_none_of_toolbar "$ws" || gui_fail "version 16: the toolbar is still in DRAWUIConfig.xml"
  grep -q 7c905e2a-cb64-4ba1-aff0-c306f392680c "$ws" || gui_fail "version 16: the host toolbar went too"
  cmp -s "$ws.bak" "$GUI_OUT/ws16.orig.xml" || gui_fail "version 16: the backup was overwritten"
  package_xml
  has_none_of_toolbar "$GUI_OUT/pkg22.xml" || gui_fail "version 22: the toolbar is still in the package"
  [[ $(package_entry content/other.txt) == "kept as it is" ]] || gui_fail "version 22: content/other.txt was lost"
  cmp -s "$PKG22.bak" "$GUI_OUT/pkg22.orig.cdws" || gui_fail "version 22: the backup was overwritten"
  [[ ! -e ${PKG22%.cdws} ]] || gui_fail "version 22: the unpack directory was left behind"
  local version gms
  for version in 16 22; do
    [[ -d "$c/Corel $version/Draw/GMS" ]] || gui_fail "version $version: the GMS directory went"
    for gms in "${kGms[@]}"; do
      [[ ! -e "$c/Corel $version/Draw/GMS/$gms" ]] || gui_fail "version $version: $gms was not deleted"
    done
  done
  gui_log "removed: the toolbar is out of both workspaces, the macros deleted"
}

for tool in 7z cmp; do
  command -v "$tool" >/dev/null || gui_skip "$tool is missing (run ./scripts/setup)"
done
gui_begin 420
rm -f "$GUI_OUT/failure.png"
prepare
gui_start_x
broken_note='The workspace C:\Corel 21\Workspace\Broken.cdws could not be unpacked: it was left unchanged.'
start_coreldraw
start_barsetup /RegCdrPlugin /ToolBarName "$kToolbarName"
answer_question 2
finish_barsetup "Install cancelled while CorelDRAW is running: nothing was changed." /RegCdrPlugin
check_untouched
start_barsetup /RegCdrPlugin /ToolBarName "$kToolbarName"
answer_question 4 stop_coreldraw
finish_barsetup "Install CorelDraw X6 2020 Success !"$'\n\n'"$broken_note" \
  /RegCdrPlugin /ToolBarName "$kToolbarName"
check_installed
check_broken_untouched
run_barsetup "Uninstall CorelDraw X6 2020 Success !"$'\n\n'"$broken_note" /UnRegCdrPlugin
check_removed
check_broken_untouched
gui_log "PASS"
