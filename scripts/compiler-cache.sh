# Sourced by the build scripts: every build on this machine goes through one ccache, kept outside
# the checkout like the Qt for Windows cache, so a repeated run - or a new clone in another
# folder - compiles only what changed. Sets compiler_cache, the CMake options that use it.
# KEYLOOM_CACHE names the cache's parent folder (default ~/.cache/keyloom); CCACHE_DIR wins.
export CCACHE_DIR=${CCACHE_DIR:-${KEYLOOM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/keyloom}/ccache}
# Paths inside the checkout are hashed relative to it, and the compiler's working folder is left
# out of the hash, so clones in different folders share their objects. The price: the debug
# information of a cached object names the folder of the clone that compiled it first.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(pwd -P)}
export CCACHE_NOHASHDIR=true
# Three builds (normal, sanitizers, Windows) with debug information fit with room to spare.
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-6G}
compiler_cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# The cache's hits and misses so far, as "hits misses"; compiler_cache_report prints those since.
compiler_cache_count() {
  ccache --print-stats 2> /dev/null | awk '
    $1 == "direct_cache_hit" || $1 == "preprocessed_cache_hit" { hits += $2 }
    $1 == "cache_miss" { misses += $2 }
    END { print hits + 0, misses + 0 }'
}
compiler_cache_start=$(compiler_cache_count)
compiler_cache_report() {
  local hits misses
  read -r hits misses <<< "$(compiler_cache_count)"
  read -r start_hits start_misses <<< "$compiler_cache_start"
  echo "ccache: $((hits - start_hits)) hits, $((misses - start_misses)) compiled ($CCACHE_DIR)"
}
