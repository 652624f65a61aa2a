#!/usr/bin/env bash
# Installs what Quillmark needs, builds everything and runs the whole test suite:
# once optimised, once more under AddressSanitizer and UndefinedBehaviorSanitizer (which also runs
# the window stress test with a fixed seed), then, when clang is there, each fuzz target for a
# bounded time (scripts/fuzz.sh). QUILL_SKIP_SANITIZE=1 skips the second pass, QUILL_SKIP_FUZZ=1
# the fuzzing.
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
  QUILL_STRESS_SEED=20261210 QUILL_STRESS_OPS=1500 ctest --test-dir build-asan -j "$jobs" --output-on-failure
fi

# libFuzzer comes with libclang-rt-14-dev; without it there is nothing to fuzz with.
if [ "${QUILL_SKIP_FUZZ:-0}" != 1 ] && command -v clang++-14 >/dev/null &&
   compgen -G "/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
  # A fixed seed: the same start gives the same first inputs on every run of the suite.
  FUZZ_SECONDS=${FUZZ_SECONDS:-60} ./scripts/fuzz.sh -seed=1
fi
