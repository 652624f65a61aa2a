#!/usr/bin/env bash
# Installs what Quillmark needs, builds everything and runs the whole test suite:
# once optimised, once more under AddressSanitizer and UndefinedBehaviorSanitizer.
# QUILL_SKIP_SANITIZE=1 skips the second pass.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-tests -j "$jobs"
ctest --test-dir build-tests -j "$jobs" --output-on-failure

if [ "${QUILL_SKIP_SANITIZE:-0}" != 1 ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
        -DQUILL_SANITIZE=ON -DQUILL_BUILD_BENCH=OFF >/dev/null
  cmake --build build-asan -j "$jobs"
  ctest --test-dir build-asan -j "$jobs" --output-on-failure
fi
