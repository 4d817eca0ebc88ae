#!/usr/bin/env bash
# plotmark.exe under wine makes jobs that Plotsend.exe prepares, run from a
# folder that holds both programs as the release does: an SVG, whose job
# Plotsend.exe writes as a U Disk File identical to what the native plotmark
# and plotsend export make of it; and an HP-GL design, with --start, whose
# job Plotsend.exe prepares while plotmark.exe refuses to write into the
# work directory it holds. Environment as for the GUI checks (gui_lib.sh),
# plus GUI_PLOTMARK (plotmark.exe), GUI_NATIVE_PLOTMARK and
# PLOTMARK_TESTDATA. Exit status 0 passed, 1 failed, 77 skipped.
set -uo pipefail
source "$GUI_LIB"

export WINEDEBUG=-all
readonly main="Plotara  6.27" kUDisk=1007 kClose=1004

# The message box that says the command file is written comes to the
# front; Enter closes it.
confirm_finished() {
  local deadline=$((SECONDS + 30)) box
  while ((SECONDS < deadline)); do
    box=$(gui_probe foreground)
    if [[ -n $box && $box != "$main" && $box != "Save As" ]]; then
      gui_expect_texts "$box" 65535 "Save .PLT File Finished"
      gui_key "$box" Return
      return 0
    fi
    sleep 0.2
  done
  return 1
}

rm -rf "${GUI_OUT:?}"
gui_begin 240
gui_language en
for tool in "$GUI_NATIVE_PLOTSEND" "$GUI_NATIVE_PLOTMARK"; do
  [[ -x $tool ]] || gui_skip "no $tool (build the native preset first)"
done
gui_start_x
gui_prepare_job 9100  # config.ini with TCP/IP to 127.0.0.1
work=$(gui_work_dir)
rm -f "$work/kavren.plt" "$work/markref.kv"

# The release layout: both programs in one folder; the designs in another.
apps="$WINEPREFIX/drive_c/plotara" designs="$WINEPREFIX/drive_c/designs"
rm -rf "$apps" "$designs"
mkdir -p "$apps" "$designs"
cp "$GUI_PLOTSEND" "$apps/Plotsend.exe"
cp "$GUI_PLOTMARK" "$apps/plotmark.exe"
cp "$PLOTMARK_TESTDATA/loop.svg" "$designs/"
# A 60 x 40 mm rectangle and a circle of 15 mm radius, as a PLT.
printf 'IN;SP1;PU400,400;PD2800,400,2800,2000,400,2000,400,400;PU3600,1600;CI600;SP0;' >"$designs/loop.plt"

# native_job NAME DESIGN ARGS...: the native plotmark's job in $GUI_OUT/NAME.
native_job() {
  local dir="$GUI_OUT/$1" design=$2
  shift 2
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$work/config.ini" "$dir/"
  "$GUI_NATIVE_PLOTMARK" --workdir "$dir" "$design" "$@" >/dev/null || gui_fail "the native plotmark failed on $design"
}
# same_job NAME: plotmark.exe wrote the same job files as the native one.
same_job() {
  local file
  for file in kavren.plt markref.kv codeinfo.kv; do
    cmp -s "$work/$file" "$GUI_OUT/$1/$file" || gui_fail "plotmark.exe wrote another $file than the native plotmark"
  done
}

# The native programs' command file for the same SVG and settings.
expected="$GUI_OUT/expected.plt"
native_job svg "$designs/loop.svg" --cut-stroke '#ff00ff'
native_job plt "$designs/loop.plt" --marks 3
cp -r "$GUI_OUT/svg" "$GUI_OUT/svg-export"
"$GUI_NATIVE_PLOTSEND" --workdir "$GUI_OUT/svg-export" export "$expected" >"$GUI_OUT/export.log" 2>&1 ||
  gui_fail "plotsend export failed: $(cat "$GUI_OUT/export.log")"

# SVG: the job into the default work directory and the sheet; Plotsend.exe
# prepares the job and writes it as a U Disk File.
gui_wine 'c:\plotara\plotmark.exe' 'c:\designs\loop.svg' --cut-stroke '#ff00ff' --sheet 'c:\designs\loop-sheet' \
  >"$GUI_OUT/plotmark-svg.out" 2>&1 || gui_fail "plotmark.exe failed: $(cat "$GUI_OUT/plotmark-svg.out")"
same_job svg
[[ -s $designs/loop-sheet.svg ]] || gui_fail "no sheet c:\\designs\\loop-sheet.svg"
gui_log "plotmark.exe wrote the SVG's job in c:\\PlotaraCdr\\"
gui_start_app
[[ -n $(gui_find_window "$main" 60) ]] || gui_fail "Plotsend.exe did not come up"
gui_wait_job_ready 60
gui_log "Plotsend.exe prepared the job"
gui_click "$main" "$kUDisk"
[[ -n $(gui_find_window "Save As" 30) ]] || gui_fail "the save dialog did not appear"
gui_probe clipboard 'c:\designs\svg-job.PLT' || gui_fail "the probe could not set the clipboard"
gui_point_at "Save As"
xdotool key --delay 100 ctrl+a ctrl+v Return
gui_wait_for 30 test -s "$designs/svg-job.PLT" || gui_fail "no file written at c:\\designs\\svg-job.PLT"
gui_wait_gone "Save As" 15 || gui_fail "the save dialog stayed"
confirm_finished || gui_fail "no message after the file was written"
gui_wait_app_exit 30 || gui_fail "Plotsend.exe did not end after the file was written"
cmp "$expected" "$designs/svg-job.PLT" || gui_fail "Plotsend.exe wrote another command file than plotsend export"
gui_log "PASS: the SVG's job became the same command file as on Linux"

# --start with another work directory: Plotsend.exe would not see the job.
gui_wine 'c:\plotara\plotmark.exe' 'c:\designs\loop.plt' --workdir 'c:\other' --start >"$GUI_OUT/other.out" 2>&1
[[ $? -eq 2 ]] || gui_fail "--start with --workdir c:\\other was not refused"
grep -qF 'Plotsend takes its job from c:\PlotaraCdr\' "$GUI_OUT/other.out" || gui_fail "the refusal reads $(cat "$GUI_OUT/other.out")"
[[ ! -e $WINEPREFIX/drive_c/other ]] || gui_fail "the refused run made c:\\other"

# HP-GL: the job, and --start brings up Plotsend.exe from beside plotmark.exe,
# which prepares it.
gui_wine 'c:\plotara\plotmark.exe' 'c:\designs\loop.plt' --marks 3 --start >"$GUI_OUT/plotmark-plt.out" 2>&1 ||
  gui_fail "plotmark.exe failed on the PLT: $(cat "$GUI_OUT/plotmark-plt.out")"
same_job plt
# 95 x 45 mm: from the rectangle's left and bottom to the circle's right and top.
[[ $(cat "$work/markref.kv") == "3800,1800,400,3,1" ]] || gui_fail "markref.kv reads $(cat "$work/markref.kv")"
grep -qiF 'started c:\plotara\Plotsend.exe' "$GUI_OUT/plotmark-plt.out" ||
  gui_fail "plotmark.exe did not say it started c:\\plotara\\Plotsend.exe: $(cat "$GUI_OUT/plotmark-plt.out")"
[[ -n $(gui_find_window "$main" 60) ]] || gui_fail "--start did not bring up Plotsend.exe"
gui_wait_job_ready 60
sleep 2  # the preview is painted after the job is ready
gui_shot "$(gui_find_window "$main" 5)" "$GUI_OUT/plt_job.png"
# While Plotsend.exe holds the work directory, another job is refused.
gui_wine 'c:\plotara\plotmark.exe' 'c:\designs\loop.svg' --replace >"$GUI_OUT/held.out" 2>&1
[[ $? -eq 1 ]] && grep -q 'Plotsend is running' "$GUI_OUT/held.out" ||
  gui_fail "plotmark.exe did not refuse the held work directory: $(cat "$GUI_OUT/held.out")"
same_job plt
gui_click "$main" "$kClose"
gui_wait_gone "$main" 30 || gui_fail "Plotsend.exe did not end after Close"
gui_wait_for 30 test ! -e "$work/kavren.plt" || gui_fail "Plotsend.exe left kavren.plt behind"
gui_log "PASS: the PLT's job was prepared"
