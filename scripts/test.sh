#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (unit, ui, e2e), then builds
# the fuzz targets and runs each for 20 seconds.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
cd "$root"
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
status=0
ctest --preset default "$@" || status=$?

export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/koro-ccache}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$root")}"
export CCACHE_NOHASHDIR=1
[ -f build-fuzz/CMakeCache.txt ] || cmake --preset fuzz
cmake --build --preset fuzz -j"$(nproc)"
bash fuzz/run.sh 20 || status=1
exit "$status"
