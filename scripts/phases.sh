# Sourced by the test scripts: `phase NAME` ends the running phase and starts the next one, and
# `phases_report` (called on exit) prints how long each took. A script run by another one that
# has sourced this file adds its phases to the caller's list instead of printing its own.
if [ -z "${KEYLOOM_PHASE_TIMES:-}" ]; then
  KEYLOOM_PHASE_TIMES=$(mktemp /tmp/keyloom-phases.XXXXXX)
  export KEYLOOM_PHASE_TIMES
  phases_owner=1
else
  phases_owner=0
fi
phase_name=
phase_start=

phase_end() {
  [ -n "$phase_name" ] || return 0
  printf '%s\t%s\t%s\n' "$(($(date +%s) - phase_start))" "$phase_name" "${1:-}" >> "$KEYLOOM_PHASE_TIMES"
  phase_name=
}

phase() {
  phase_end
  phase_name=$1
  phase_start=$(date +%s)
  echo "== $phase_name"
}

# phases_report [STATUS]: a phase still running when the script stopped with a failure is marked.
phases_report() {
  local status=${1:-0}
  if [ "$status" != 0 ]; then phase_end "(failed)"; else phase_end; fi
  [ "$phases_owner" = 1 ] || return 0
  echo
  echo "Phase times:"
  awk -F '\t' '{ total += $1; printf "  %-34s %3d:%02d %s\n", $2, $1 / 60, $1 % 60, $3 }
               END { printf "  %-34s %3d:%02d\n", "total", total / 60, total % 60 }' "$KEYLOOM_PHASE_TIMES"
  rm -f "$KEYLOOM_PHASE_TIMES"
}
