#!/usr/bin/env bash
# Starts two `vkxx resave` runs onto one file at the same moment, a few hundred times, on files of
# 100 KB to 4 MB: the file must always end as one of the two saves whole, and each run's exit
# status must tell the truth (a run that failed must not be the one whose contents are there).
# Usage: overlapping_saves.sh VKXX SAMPLES_FOLDER [ROUNDS]
set -euo pipefail
vkxx=$1
samples=$2
rounds=${3:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Both inputs set the same sections and keys of the target, so saving one on top of the other
# gives the same file as saving it alone: the two whole results are known beforehand.
a=$samples/MouseClicks.ckd
b=$samples/MultiMediaKeys.ckd
sizes=(100 1000 4000)
# Mostly small files, to keep the loop short; one pair in ten a larger one.
schedule=(100 100 100 100 100 100 100 100 100 1000 100 100 100 100 100 100 100 100 100 4000)
for kb in "${sizes[@]}"; do
  "$vkxx" resave "$samples/DefaultVK48.ckd" "$work/start$kb"
  # Lines the keypad does not read make the file larger; a save keeps them.
  awk -v lines=$((kb * 16)) 'BEGIN { print "[NOTES]\r"; for (i = 0; i < lines; i++) printf "Line_%06d=%054d\r\n", i, i }' >>"$work/start$kb"
  for x in a b; do
    cp "$work/start$kb" "$work/$x$kb"
    "$vkxx" resave "${!x}" "$work/$x$kb"
  done
  cp "$work/a$kb" "$work/check"
  "$vkxx" resave "$b" "$work/check"
  cmp -s "$work/check" "$work/b$kb" || { echo "saving b on top of a differs from saving b alone" >&2; exit 1; }
done

both=0
for ((round = 0; round < rounds; round++)); do
  kb=${schedule[$((round % ${#schedule[@]}))]}
  target=$work/target.ckd
  cp "$work/start$kb" "$target"
  "$vkxx" resave "$a" "$target" 2>"$work/a.err" & pa=$!
  "$vkxx" resave "$b" "$target" 2>"$work/b.err" & pb=$!
  sa=0; wait "$pa" || sa=$?
  sb=0; wait "$pb" || sb=$?

  if cmp -s "$target" "$work/a$kb"; then result=a
  elif cmp -s "$target" "$work/b$kb"; then result=b
  elif cmp -s "$target" "$work/start$kb"; then result=neither
  else
    echo "round $round ($kb KB): the file is neither save whole (exit statuses $sa, $sb)" >&2
    cat "$work/a.err" "$work/b.err" >&2
    exit 1
  fi
  # A failed run says why; the file holds a run that succeeded, or what it held before if both failed.
  for x in a b; do
    status=s$x
    if [ "${!status}" != 0 ] && ! grep -q "another save of this file is under way" "$work/$x.err"; then
      echo "round $round: run $x failed for another reason:" >&2
      cat "$work/$x.err" >&2
      exit 1
    fi
  done
  if { [ "$result" = a ] && [ "$sa" != 0 ]; } || { [ "$result" = b ] && [ "$sb" != 0 ]; } ||
     { [ "$result" = neither ] && { [ "$sa" = 0 ] || [ "$sb" = 0 ]; }; }; then
    echo "round $round ($kb KB): the file holds $result, but the exit statuses were $sa and $sb" >&2
    exit 1
  fi
  [ "$sa" = 0 ] && [ "$sb" = 0 ] && both=$((both + 1))
  leftovers=$(find "$work" -maxdepth 1 -name '.target.ckd*' | wc -l)
  if [ "$leftovers" != 0 ]; then
    echo "round $round: files left beside the target" >&2
    ls -la "$work" >&2
    exit 1
  fi
done
echo "$rounds pairs of overlapping saves ($both with both saved, one after the other): always one save whole"
