#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ (or $FUZZ_BUILD) and runs each of them in turn.
#   tools/fuzz.sh [seconds] [target...]     each target for that long (default 60 s), its corpus
#                                           kept in build-fuzz/corpus/<target> for the next run
#   tools/fuzz.sh --runs N [target...]      N inputs per target from seed 1 over the seeds alone:
#                                           the same inputs every time (CI)
# Stops at the first target that fails; the input that broke it is saved in build-fuzz/artifacts/.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD:-"$here/build-fuzz"}

limit=(-max_total_time=60)
runs=""
if [ "${1:-}" = "--runs" ]; then
    runs=$2
    limit=(-runs="$runs" -seed=1)
    shift 2
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
    limit=(-max_total_time="$1")
    shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(colorize linebreaks textfile tagcase table attribute owncommand sortlines css
                                     relpath viewsource journal sourcemap abbreviation spelling)

# clang and its runtime libraries (libFuzzer, the sanitizers) of the same version.
QUILLORA_EXTRA_PACKAGES="clang" "$here/tools/setup.sh" --packages-only
version=$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n1)
QUILLORA_EXTRA_PACKAGES="clang libclang-rt-$version-dev" "$here/tools/setup.sh" --packages-only

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$here/tests/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
fi
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

# Qt's caches live as long as the process; they are not leaks.
export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
    if [ -n "$runs" ]; then
        corpus=$(mktemp -d) # new inputs are not kept: every run starts from the seeds alone
    else
        corpus="$build/corpus/$target"
        mkdir -p "$corpus"
    fi
    echo "== fuzz_$target"
    "$build/fuzz_$target" "${limit[@]}" -max_len=4096 -timeout=20 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target-" "$corpus" "$here/tests/fuzz/seeds/$target" 2>&1 |
        grep -v -E '^#[0-9]+.*(NEW|REDUCE|pulse)|# Uses: |dictionary|^INFO: |NEW_FUNC' || { echo "fuzz_$target FAILED"; exit 1; }
    if [ -n "$runs" ]; then rm -rf "$corpus"; fi
done
echo "All fuzz targets passed."
