#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) in
# build-fuzz and runs each for a bounded time, starting from seeds made of the test data and the
# sample file. The working corpora grow in build-fuzz/corpus/<target> from run to run; inputs that
# crash, hang or leak land in build-fuzz/artifacts/.
#
#   FUZZ_SECONDS   seconds per target (default 60)
#   FUZZ_TARGETS   which targets to run (default: "notesfile urf dsvlayer")
# Further arguments go to every libFuzzer run (for example -jobs=2 -workers=2).
set -euo pipefail
cd "$(dirname "$0")/.."
cxx=${FUZZ_CXX:-clang++-14}
seconds=${FUZZ_SECONDS:-60}
targets=${FUZZ_TARGETS:-"notesfile urf dsvlayer"}
build=build-fuzz

CXX=$cxx cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILL_FUZZ=ON \
      -DQUILL_BUILD_TESTS=OFF -DQUILL_BUILD_BENCH=OFF -DQUILL_BUILD_APPS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzzers >"$build/build.log" 2>&1 || { cat "$build/build.log"; exit 1; }

export QT_QPA_PLATFORM=offscreen
# The toolkit seeds its hash tables at random; a fixed seed keeps a run with -seed=N repeatable.
export QT_HASH_SEED=${QT_HASH_SEED:-0}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds/notesfile" "$seeds/urf" "$seeds/dsvlayer" "$build/artifacts"
cp tests/data/notes/*.nts tests/data/notes/found/*.nts examples/sample.nts "$seeds/notesfile/"
cp tests/data/urf/* tests/data/tools/*.urf tests/data/tools/*.rst "$seeds/urf/"
"$build/fuzz/fuzz_seeds" "$seeds/notesfile" "$seeds/dsvlayer"

# Per target: input size limit (the sample file is about 200 KB) and dictionary.
options_for() {
  case "$1" in
    notesfile) echo "-max_len=262144 -dict=fuzz/notesfile.dict" ;;
    urf) echo "-max_len=65536 -dict=fuzz/urf.dict" ;;
    dsvlayer) echo "-max_len=16384" ;;
  esac
}

status=0
for target in $targets; do
  corpus=$build/corpus/$target
  log=$build/fuzz_$target.log
  mkdir -p "$corpus"
  echo "== fuzz_$target for ${seconds}s"
  set +e
  # shellcheck disable=SC2046
  "$build/fuzz/fuzz_$target" $(options_for "$target") -max_total_time="$seconds" -timeout=20 \
      -rss_limit_mb=2560 -malloc_limit_mb=2560 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/${target}-" "$@" "$corpus" "$seeds/$target" >"$log" 2>&1
  rc=$?
  set -e
  grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)' "$log" || true
  if [ "$rc" != 0 ]; then
    echo "fuzz_$target failed (exit $rc); see $log and $build/artifacts/"
    status=1
  fi
done
exit $status
