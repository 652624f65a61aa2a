#!/usr/bin/env bash
# Installs what Quillmark needs, builds it optimised and starts the viewer: on the given file, or on
# the sample notes when none is given.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILL_BUILD_TESTS=OFF -DQUILL_BUILD_BENCH=OFF >/dev/null
cmake --build build --target quillmark
sample=examples/sample.nts
if [ "$#" -eq 0 ] && [ -f "$sample" ]; then
  exec ./build/app/quillmark "$sample" "$@"
fi
exec ./build/app/quillmark "$@"
