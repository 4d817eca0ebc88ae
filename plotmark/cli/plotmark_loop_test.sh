#!/usr/bin/env bash
# The closed loop: plotmark makes a job from testdata/loop.svg, the terminal
# plotsend prepares it and writes the device file (export), the stand-in
# cutter decodes it from 127.0.0.1, and the decoded cut must lie on the SVG's
# contour; for 1 and 3 sections.
#   plotmark_loop_test.sh PLOTMARK PLOTSEND CUTTER_EMU LOOP_CHECK TESTDATA
set -euo pipefail
plotmark=$1 plotsend=$2 emu=$3 check=$4 data=$5
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0

for sections in 1 3; do
  w="$root/s$sections"
  mkdir -p "$w/work"
  cp "$data/loop_config.ini" "$w/work/config.ini"
  "$plotmark" --workdir "$w/work" "$data/loop.svg" --cut-stroke '#ff00ff' --sections "$sections" \
    --sheet "$w/sheet" >"$w/plotmark.out"
  "$plotsend" --workdir "$w/work" export "$w/job" >"$w/plotsend.out"
  "$emu" --port 0 --idle-timeout 20 --log "$w/cut.log" >"$w/port" 2>"$w/emu.err" &
  emu_pid=$!
  for _ in $(seq 200); do [[ -s $w/port ]] && break; sleep 0.05; done
  exec 3<>"/dev/tcp/127.0.0.1/$(cat "$w/port")"
  cat "$w/job.PLT" >&3
  exec 3>&-
  wait "$emu_pid"
  if result=$("$check" "$w/cut.log"); then
    echo "ok: $sections sections: $result"
  else
    echo "FAIL: $sections sections: $result"
    failures=$((failures + 1))
  fi
  sections_seen=$(grep -c '^section ' "$w/cut.log" || true)
  if [[ $sections -gt 1 && $sections_seen -ne $((sections - 1)) ]]; then
    echo "FAIL: $sections sections, but the cutter saw $sections_seen section starts"
    failures=$((failures + 1))
  fi
done
echo "$((2 - failures > 0 ? 2 - failures : 0)) passed, $failures failed"
[[ $failures -eq 0 ]]
