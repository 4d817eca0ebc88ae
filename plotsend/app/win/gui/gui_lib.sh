# Shared steps of the GUI checks, sourced by gui_test.sh: a private X server,
# a private wine prefix, the prepared work directory, the probe, xdotool
# input and screenshots. Every process a check starts is ended by its id (or,
# for wine, by ending this prefix's own wineserver) when the check ends.
#
# Expects GUI_OUT (this run's output directory), WINEPREFIX (the private
# prefix), GUI_PROBE (gui_probe.exe) and GUI_TESTDATA to be set.

GUI_PIDS=()          # processes to end when the check ends
GUI_WATCHDOG=""
GUI_X_PID=""

gui_log() { printf 'gui: [%3ds] %s\n' "$SECONDS" "$*" >&2; }
# A failing check leaves a picture of the screen as it was.
gui_fail() {
  gui_log "FAIL: $*"
  if [[ -n $GUI_X_PID ]] && timeout 10 import -window root "$GUI_OUT/failure.png" 2>/dev/null; then
    gui_log "the screen at the failure: $GUI_OUT/failure.png"
  fi
  exit 1
}
# ctest reads exit code 77 as "skipped" (SKIP_RETURN_CODE).
gui_skip() { gui_log "SKIP: $*"; exit 77; }

gui_cleanup() {
  local status=$?
  trap - EXIT INT TERM
  if [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]]; then
    # Ends every program of this prefix, and only of this prefix.
    wineserver -k 2>/dev/null || true
    timeout 15 wineserver -w 2>/dev/null || true
  fi
  local pid
  for pid in "${GUI_PIDS[@]}" $GUI_X_PID $GUI_WATCHDOG; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${GUI_PIDS[@]}" $GUI_X_PID $GUI_WATCHDOG; do
    wait "$pid" 2>/dev/null || true
  done
  exit "$status"
}

# gui_begin SECONDS: sets up the clean-up, makes sure of the tools and the
# prefix, then starts the check's time limit; past it the check fails and
# cleans up like any other end.
gui_begin() {
  local limit=$1 check_pid=$$
  trap gui_cleanup EXIT
  trap 'gui_log "FAIL: time limit of '"$limit"' s reached"; exit 124' TERM
  trap 'exit 130' INT
  mkdir -p "$GUI_OUT"
  gui_require_tools
  gui_prefix
  (
    sleep "$limit" &
    sleeper=$!
    trap 'kill $sleeper 2>/dev/null; exit 0' TERM
    wait "$sleeper" && kill -TERM "$check_pid"
  ) &
  GUI_WATCHDOG=$!
}

# gui_wait_for SECONDS COMMAND...: polls COMMAND until it succeeds.
gui_wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.2
  done
}

gui_require_tools() {
  local tool
  for tool in Xvfb xdotool import wine wineserver wineboot; do
    command -v "$tool" >/dev/null || gui_skip "$tool is missing (run ./scripts/setup)"
  done
}

# The private prefix, created once (wineboot -i takes a while) and reused.
gui_prefix() {
  local ready="$WINEPREFIX/.plotara-gui-ready"
  if [[ ! -e $ready ]]; then
    gui_make_prefix
    touch "$ready"
  fi
  # Xvfb runs no window manager, and wine waits 2 s for one whenever a
  # window it has handed to one goes away (the waiting animation did, before
  # the preview could paint): wine is told to manage no window. Also set in
  # a prefix made before.
  local unmanaged="$WINEPREFIX/.plotara-gui-unmanaged"
  if [[ ! -e $unmanaged ]]; then
    gui_reg 'HKCU\Software\Wine\X11 Driver' Managed N
    timeout 60 wineserver -w || true
    touch "$unmanaged"
  fi
}

gui_make_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  gui_log "creating the wine prefix $WINEPREFIX"
  # No display yet, and no Mono or Gecko installers.
  env -u DISPLAY WINEDLLOVERRIDES="mscoree=;mshtml=" timeout 120 wineboot -i >/dev/null 2>&1 ||
    gui_fail "wineboot -i did not finish"
  # Wine's own fonts (Tahoma, the dialog font; Marlett, the caption buttons)
  # where a Windows keeps its fonts: this wine does not find them otherwise.
  local font
  for font in /usr/share/wine/fonts/*.ttf; do
    [[ -e $font ]] && ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
  done
  # Wine draws the window frames itself (there is no window manager), and
  # the Chinese dialog font SimSun, which a Chinese Windows has, is stood in
  # for by WenQuanYi Micro Hei.
  gui_reg 'HKCU\Software\Wine\X11 Driver' Decorated N
  gui_reg 'HKCU\Software\Wine\Fonts\Replacements' SimSun "WenQuanYi Micro Hei"
  gui_reg 'HKCU\Software\Wine\Fonts\Replacements' NSimSun "WenQuanYi Micro Hei"
  timeout 60 wineserver -w || true
}

# gui_reg KEY NAME VALUE: one string value in the prefix's registry.
gui_reg() {
  env -u DISPLAY timeout 60 wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1 ||
    gui_fail "could not set $1\\$2"
}

# Starts Xvfb on a free display and exports DISPLAY.
gui_start_x() {
  local fifo="$GUI_OUT/displayfd" display=""
  rm -f "$fifo"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$fifo" \
    >"$GUI_OUT/xvfb.log" 2>&1 &
  GUI_X_PID=$!
  read -r -t 20 display <"$fifo" || gui_fail "Xvfb did not report its display"
  rm -f "$fifo"
  [[ $display =~ ^[0-9]+$ ]] || gui_fail "Xvfb reported no display number"
  export DISPLAY=":$display"
  gui_start_probe
}

# gui_language en|zh: the locale wine runs in; it takes the system language
# from it. Only wine's processes get it: the locale is wine's business.
GUI_WINE_ENV=(LC_ALL=C.UTF-8 LANG=C.UTF-8)
gui_language() {
  case $1 in
    en) GUI_WINE_ENV=(LC_ALL=C.UTF-8 LANG=C.UTF-8) ;;
    zh) GUI_WINE_ENV=(LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8) ;;
  esac
}

gui_wine() { env "${GUI_WINE_ENV[@]}" wine "$@"; }

# The probe serves the whole check from one wine process (see gui_probe.cpp);
# started once X runs, in the check's language.
gui_start_probe() {
  coproc GUI_PROBE_CO { exec env "${GUI_WINE_ENV[@]}" wine "$GUI_PROBE" serve 2>/dev/null; }
  GUI_PIDS+=("$GUI_PROBE_CO_PID")
  GUI_PROBE_IN=${GUI_PROBE_CO[1]}
  GUI_PROBE_OUT=${GUI_PROBE_CO[0]}
  [[ $(gui_probe langid) =~ ^[0-9]+$ ]] || gui_fail "the probe does not answer"
}

# gui_probe ARGS...: asks the running wine session; the answer on stdout,
# the probe's status as the return status.
gui_probe() {
  local IFS=$'\t' line
  printf '%s\n' "$*" 1>&"$GUI_PROBE_IN" || return 1
  while read -r -t 30 -u "$GUI_PROBE_OUT" line; do
    line=${line%$'\r'}
    if [[ $line == "--end "* ]]; then
      return "${line#--end }"
    fi
    printf '%s\n' "$line"
  done
  return 1
}

gui_work_dir() { printf '%s\n' "$WINEPREFIX/drive_c/PlotaraCdr"; }

# The serial ports wine lists: the port list shows them before TCP/IP (there
# are no USB cutters under wine), at most ten.
gui_serial_count() {
  local n
  n=$(timeout 30 env "${GUI_WINE_ENV[@]}" wine reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' 2>/dev/null | grep -c REG_SZ)
  ((n > 10)) && n=10
  printf '%s\n' "${n:-0}"
}

# gui_prepare_job TCP_PORT: c:\PlotaraCdr\ with the sample job and a
# config.ini that selects TCP/IP to 127.0.0.1 at TCP_PORT.
gui_prepare_job() {
  local tcp_port=$1 dir
  dir=$(gui_work_dir)
  local tcp_index
  tcp_index=$(gui_serial_count)
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$GUI_TESTDATA/kavren.plt" "$GUI_TESTDATA/markref.kv" "$dir/"
  sed -e "s/^PortSel_i=.*/PortSel_i=$tcp_index/" \
      -e 's/^IP_FIELD_0=.*/IP_FIELD_0=127/' -e 's/^IP_FIELD_1=.*/IP_FIELD_1=0/' \
      -e 's/^IP_FIELD_2=.*/IP_FIELD_2=0/' -e 's/^IP_FIELD_3=.*/IP_FIELD_3=1/' \
      -e "s/^IP_PORT=.*/IP_PORT=$tcp_port/" \
      "$GUI_TESTDATA/config.ini" >"$dir/config.ini"
  if ! grep -q '^IP_FIELD_0=127$' "$dir/config.ini" || ! grep -q '^IP_FIELD_3=1$' "$dir/config.ini"; then
    gui_fail "config.ini does not point at 127.0.0.1"
  fi
}

# gui_expected_export FILE [OPTION]...: the command file the terminal front
# end writes for the same job and settings, with the field options given.
gui_expected_export() {
  local copy="$GUI_OUT/export-workdir"
  rm -rf "$copy"
  cp -r "$(gui_work_dir)" "$copy"
  "$GUI_NATIVE_PLOTSEND" --workdir "$copy" "${@:2}" export "$1" >"$GUI_OUT/export.log" 2>&1 ||
    gui_fail "plotsend export failed: $(cat "$GUI_OUT/export.log")"
}

# Starts Plotsend.exe; GUI_APP_PID is wine's process for it.
gui_start_app() {
  gui_wine "$GUI_PLOTSEND" >"$GUI_OUT/plotsend.log" 2>&1 &
  GUI_APP_PID=$!
  GUI_PIDS+=("$GUI_APP_PID")
}

gui_app_running() { kill -0 "$GUI_APP_PID" 2>/dev/null; }
gui_app_ended() { ! gui_app_running; }

# gui_wait_app_exit SECONDS: the program ends (its exit code is not part of
# what it promises).
gui_wait_app_exit() {
  gui_wait_for "$1" gui_app_ended || return 1
  wait "$GUI_APP_PID" || true
}

# gui_find_window TITLE SECONDS: the X window of a visible top-level window
# with exactly this title, printed once it is there.
gui_find_window() {
  local pattern
  pattern="^$(printf '%s' "$1" | sed 's/[].[^$*+?(){}|\\]/\\&/g')\$"
  timeout "$2" xdotool search --sync --onlyvisible --name "$pattern" 2>/dev/null | head -n 1
}

gui_window_shown() { [[ -n $(gui_probe window "$1") ]]; }
gui_window_gone() { ! gui_window_shown "$1"; }

# gui_wait_gone TITLE SECONDS
gui_wait_gone() { gui_wait_for "$2" gui_window_gone "$1"; }

# The job is prepared once kavren.kv2 is written and the waiting animation
# ("Progress") has gone.
gui_wait_job_ready() {
  local dir
  dir=$(gui_work_dir)
  gui_wait_for "$1" test -s "$dir/kavren.kv2" || gui_fail "the job was not prepared (no kavren.kv2)"
  gui_wait_gone "Progress" "$1" || gui_fail "the waiting animation did not go away"
}

# gui_control TITLE ID: "x y width height enabled visible" in GUI_CONTROL.
gui_control() {
  local out
  out=$(gui_probe control "$1" "$2") || return 1
  GUI_CONTROL=$(sed -n 1p <<<"$out")
  [[ -n $GUI_CONTROL ]]
}

# gui_expect_texts TITLE ID TEXT [ID TEXT]...: the controls read so.
gui_expect_texts() {
  local title=$1 ids=() texts=() out i
  shift
  while (($# >= 2)); do
    ids+=("$1")
    texts+=("$2")
    shift 2
  done
  out=$(gui_probe control "$title" "${ids[@]}")
  mapfile -t lines <<<"$out"
  for i in "${!ids[@]}"; do
    [[ -n ${lines[2 * i]:-} ]] || gui_fail "control ${ids[i]} of \"$title\" not found"
    [[ ${lines[2 * i + 1]:-} == "${texts[i]}" ]] ||
      gui_fail "control ${ids[i]} of \"$title\" reads \"${lines[2 * i + 1]:-}\", expected \"${texts[i]}\""
  done
}

# gui_point_at TITLE [ID]: moves the pointer to the middle of the window or
# of its control. With no window manager the keyboard goes to the window
# under the pointer.
gui_point_at() {
  local x y w h
  if [[ $# -eq 2 ]]; then
    gui_control "$1" "$2" || gui_fail "control $2 of \"$1\" not found"
    read -r x y w h _ <<<"$GUI_CONTROL"
  else
    read -r x y w h <<<"$(gui_probe window "$1")"
    [[ -n $h ]] || gui_fail "window \"$1\" not found"
  fi
  xdotool mousemove --sync $((x + w / 2)) $((y + h / 2))
}

# gui_click TITLE ID: a real mouse click on an enabled control.
gui_click() {
  gui_point_at "$1" "$2"
  read -r _ _ _ _ enabled _ <<<"$GUI_CONTROL"
  [[ $enabled == 1 ]] || gui_fail "control $2 of \"$1\" is disabled"
  xdotool click 1
}

# gui_key TITLE KEY...: keys to the window with this title.
gui_key() {
  local title=$1
  shift
  gui_point_at "$title"
  xdotool key --delay 50 "$@"
}

# gui_shot X_WINDOW FILE: a screenshot of one window (or "root").
gui_shot() {
  import -window "$1" "$2" 2>/dev/null || gui_fail "screenshot $2 failed"
  gui_log "screenshot $2"
}
