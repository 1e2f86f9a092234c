#!/usr/bin/env bash
# Kills `vkxx resave` at random moments while it replaces an existing file: a few hundred times
# where the save renames a new file over the old one, and twenty times each where it must
# rewrite a file of a few MB in place (a file with a second hard link; another user's file, when
# run as root). After each kill the next open must find the old file or the new one, whole, and
# at most one temporary file may stand beside it (the next save removes it).
# Usage: kill_during_save.sh VKXX SAMPLES_FOLDER [ROUNDS] [IN_PLACE_ROUNDS]
set -euo pipefail
vkxx=$1
samples=$2
rounds=${3:-300}
inPlaceRounds=${4:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"

# The target flips between two documents. Writing into an existing file keeps its other lines,
# so what a whole save gives is found first on a copy.
cp "$samples/DefaultVK48.ckd" "$work/a.ckd"
cp "$samples/MouseClicks.ckd" "$work/b.ckd"

# kill_loop NAME ROUNDS MAX_DELAY_IN_MS: the target exists already, set up as NAME needs.
kill_loop() {
  local name=$1 count=$2 ms=$3 saved=0 round source
  for ((round = 0; round < count; round++)); do
    source=$work/$([ $((round % 2)) = 0 ] && echo b || echo a).ckd
    cp "$work/target.ckd" "$work/old"
    cp "$work/target.ckd" "$work/new"
    "$vkxx" resave "$source" "$work/new"
    "$vkxx" resave "$source" "$work/target.ckd" &
    pid=$!
    # Anywhere from before the start to after the end of the save.
    sleep "$(printf '0.%03d' $((RANDOM % ms)))"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true

    # The next open puts back what a stopped rewrite kept.
    if ! "$vkxx" show "$work/target.ckd" >/dev/null 2>"$work/show.err"; then
      echo "$name, round $round: the next open failed:" >&2
      cat "$work/show.err" >&2
      exit 1
    fi
    if cmp -s "$work/target.ckd" "$work/new"; then
      saved=$((saved + 1))
    elif ! cmp -s "$work/target.ckd" "$work/old"; then
      echo "$name, round $round: the target is neither the old nor the new file" >&2
      exit 1
    fi
    leftovers=$(find "$work" -maxdepth 1 -name '.target.ckd*' | wc -l)
    if [ "$leftovers" -gt 1 ] || [ -e "$work/.target.ckd.saved" ]; then
      echo "$name, round $round: $leftovers files beside the target" >&2
      ls -la "$work" >&2
      exit 1
    fi
  done
  echo "$name: $count saves killed at random moments ($saved finished first): the target was always whole"
}

"$vkxx" resave "$work/a.ckd" "$work/target.ckd"
kill_loop "renamed into place" "$rounds" 10

# A few MB: lines the keypad does not read, which a save keeps.
awk 'BEGIN { print "[NOTES]\r"; for (i = 0; i < 32000; i++) printf "Line_%06d=%054d\r\n", i, i }' >>"$work/target.ckd"
ln "$work/target.ckd" "$work/second link"
kill_loop "rewritten in place (a second link)" "$inPlaceRounds" 150
rm "$work/second link"

if [ "$(id -u)" = 0 ] && chown 65534 "$work/target.ckd" && chmod 666 "$work/target.ckd"; then
  kill_loop "rewritten in place (another user's file)" "$inPlaceRounds" 150
else
  echo "another user's file: skipped (only root can give a file away)"
fi
