#!/usr/bin/env bash
# Kills `vkxx resave` at random moments while it replaces an existing file, a few hundred times:
# the target must always be the old file or the new one, whole, and at most one temporary file
# may ever stand beside it (the next save removes it).
# Usage: kill_during_save.sh VKXX SAMPLES_FOLDER [ROUNDS]
set -euo pipefail
vkxx=$1
samples=$2
rounds=${3:-300}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The target flips between two documents. Writing into an existing file keeps its other lines,
# so what a whole save gives is found first on a copy.
cp "$samples/DefaultVK48.ckd" "$work/a.ckd"
cp "$samples/MouseClicks.ckd" "$work/b.ckd"
"$vkxx" resave "$work/a.ckd" "$work/target.ckd"

saved=0
for ((round = 0; round < rounds; round++)); do
  source=$work/$([ $((round % 2)) = 0 ] && echo b || echo a).ckd
  cp "$work/target.ckd" "$work/old"
  cp "$work/target.ckd" "$work/new"
  "$vkxx" resave "$source" "$work/new"
  "$vkxx" resave "$source" "$work/target.ckd" &
  pid=$!
  # Anywhere from before the start to after the end of the save (a few milliseconds).
  sleep "0.00$((RANDOM % 10))$((RANDOM % 10))"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true

  if cmp -s "$work/target.ckd" "$work/new"; then
    saved=$((saved + 1))
  elif ! cmp -s "$work/target.ckd" "$work/old"; then
    echo "round $round: the target is neither the old nor the new file" >&2
    exit 1
  fi
  leftovers=$(find "$work" -maxdepth 1 -name '.target.ckd*' | wc -l)
  if [ "$leftovers" -gt 1 ]; then
    echo "round $round: $leftovers temporary files beside the target" >&2
    ls -la "$work" >&2
    exit 1
  fi
done
echo "$rounds saves killed at random moments ($saved finished first): the target was always whole"
