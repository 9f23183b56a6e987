#!/usr/bin/env bash
# Configures and builds with the default preset; extra arguments go to `cmake --build`.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/koro-ccache}"
# Paths relative to the parent folder, so clones and worktrees beside each other share the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$PWD")}"
export CCACHE_NOHASHDIR=1
# The channel page's web libraries, exactly as the lock file names them.
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund
fi
[ -f build/CMakeCache.txt ] || cmake --preset default
cmake --build build -j"$(nproc)" "$@"
