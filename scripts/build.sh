#!/usr/bin/env bash
# Configures and builds with the default preset; extra arguments go to `cmake --build`.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/koro-ccache}"
[ -f build/CMakeCache.txt ] || cmake --preset default
cmake --build build -j"$(nproc)" "$@"
