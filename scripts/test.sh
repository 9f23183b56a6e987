#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (unit, ui, e2e).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
cd "$root"
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
ctest --preset default "$@"
