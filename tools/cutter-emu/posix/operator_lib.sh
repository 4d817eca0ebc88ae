# A person at the cutter, scripted: reads where the head is from the stand-in
# cutter's status file (--status with --sheet) and jogs it onto each printed
# mark in turn, with the 0.5 mm step while the mark is farther than that and
# the 0.1 mm step after, until the head is within the step of the mark on
# both axes; then confirms the mark. Sourced by the print-and-cut checks.
#
# The caller defines op_input COMMAND, which gives the alignment one of
# x+ x- y+ y- (a jog), fine, coarse (the step) or ok (the mark), and sets
# op_status to the status file. Every jog and every ok moves the head once.
#
# op_care: "step" stops as soon as the mark is within the step (the head may
# stay up to one step off on each axis); "nearest" jogs on while a step
# brings the head nearer (at most half a step off).
op_care=${op_care:-step}
op_moves=0
op_step=coarse
op_jogs=0

# op_read MARK: the status's move count, and the mark's offset from the head
# in mm (op_dx, op_dy).
op_read() {
  local line
  op_moves=$(awk '$1 == "moves" { print $2 }' "$op_status" 2>/dev/null)
  line=$(awk -v m="$1" '$1 == "mark" && $2 == m { sub("dx=", "", $3); sub("dy=", "", $4); print $3, $4 }' \
    "$op_status" 2>/dev/null)
  read -r op_dx op_dy <<<"$line"
  [[ -n $op_moves && -n $op_dy ]]
}

# op_wait_move MARK: waits (10 s at most) until the head has moved past
# op_moves, then reads the status for MARK.
op_wait_move() {
  local before=$op_moves
  for _ in $(seq 1000); do
    op_read "$1" && ((op_moves > before)) && return 0
    sleep 0.01
  done
  echo "operator: the head did not move (status: $(tr '\n' ' ' <"$op_status" 2>/dev/null))" >&2
  return 1
}

# op_next DX DY STEP: what to do next for a mark DX, DY mm away with the
# step STEP (coarse or fine): a jog, a step change, or ok.
op_next() {
  awk -v dx="$1" -v dy="$2" -v step="$3" -v care="$op_care" 'BEGIN {
    ax = dx < 0 ? -dx : dx; ay = dy < 0 ? -dy : dy
    if (ax >= 0.5 || ay >= 0.5) {
      if (step != "coarse") { print "coarse"; exit }
      if (ax >= ay) print (dx > 0 ? "x+" : "x-"); else print (dy > 0 ? "y+" : "y-")
      exit
    }
    # within the coarse step: the fine one
    limit = care == "nearest" ? 0.05 : 0.1
    if (ax < limit + 1e-9 && ay < limit + 1e-9) { print "ok"; exit }
    if (step != "fine") { print "fine"; exit }
    if (ax >= ay) print (dx > 0 ? "x+" : "x-"); else print (dy > 0 ? "y+" : "y-")
  }'
}

# op_align: the four marks, each jogged onto and confirmed. Fails when the
# head does not move, or a mark takes more than 400 jogs.
op_align() {
  local mark command jogs
  op_read 1 || { echo "operator: no status in $op_status" >&2; return 1; }
  for mark in 1 2 3 4; do
    op_read "$mark" || { echo "operator: the status names no mark $mark" >&2; return 1; }
    for ((jogs = 0; ; jogs++)); do
      ((jogs < 400)) || { echo "operator: mark $mark not reached after 400 jogs" >&2; return 1; }
      command=$(op_next "$op_dx" "$op_dy" "$op_step")
      op_input "$command" || return 1
      case $command in
        fine | coarse) op_step=$command ;;
        ok)
          echo "operator: mark $mark taken $op_dx, $op_dy mm from the head after $jogs steps" >&2
          op_wait_move $((mark < 4 ? mark + 1 : 1)) || return 1
          break
          ;;
        *)
          op_jogs=$((op_jogs + 1))
          op_wait_move "$mark" || return 1
          ;;
      esac
    done
  done
}
