#!/usr/bin/env bash
# Configures and builds with the default preset; extra arguments go to `cmake --build`.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/koro-ccache}"
# Paths relative to the parent folder, so clones and worktrees beside each other share the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$PWD")}"
export CCACHE_NOHASHDIR=1
[ -f build/CMakeCache.txt ] || cmake --preset default
cmake --build build -j"$(nproc)" "$@"
