#!/usr/bin/env bash
# check_install.sh <cmake> <build folder> <prefix> <file>...: installs the build into a fresh
# prefix and checks that every listed file (relative to the prefix) is there and not empty, and
# that the programs in bin/ can be run.
set -euo pipefail
cmake=$1 build=$2 prefix=$3
shift 3
rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" > /dev/null
status=0
for file in "$@"; do
  if [ ! -s "$prefix/$file" ]; then
    echo "missing from the installation: $file"; status=1
  elif [[ $file == bin/* ]] && [ ! -x "$prefix/$file" ]; then
    echo "not executable: $file"; status=1
  fi
done
exit $status
