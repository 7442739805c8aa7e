#!/bin/sh
# A compiler launcher (CMake's CMAKE_<LANG>_COMPILER_LAUNCHER, Emscripten's
# EM_COMPILER_WRAPPER): runs the compile "$@" through ccache, with the cache
# in the user's cache folder, bounded in size. Paths inside this clone are
# taken relative to it (base_dir), so that every clone, wherever it is, finds
# what another compiled. ccache keys each object by the compiler, its every
# flag and the content of every file it reads, so a different build or
# source compiles anew.
set -e
export CCACHE_DIR="${XDG_CACHE_HOME:-$HOME/.cache}/wave1d/ccache"
export CCACHE_MAXSIZE=500M
CCACHE_BASEDIR=$(cd "$(dirname "$0")/../.." && pwd)
export CCACHE_BASEDIR
exec ccache "$@"
