#!/usr/bin/env bash
# Configures and builds Quillpost into build/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLPOST_BUILD_DIR:-$root/build}"
launcher=()
# A compiler cache, when one is installed, makes rebuilds of unchanged files free.
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" \
  -DQP_WERROR="${QP_WERROR:-OFF}" "${launcher[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
