#!/usr/bin/env bash
# Line and branch coverage of src/ by the test suite: builds the tests with --coverage in a build
# folder of their own (build-coverage/, or $COVERAGE_BUILD), runs CTest offscreen, and prints
# lcov's summary for the files under src/. Installs lcov when it is missing.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${COVERAGE_BUILD:-"$here/build-coverage"}

"$here/tools/setup.sh" --packages-only
if ! command -v lcov >/dev/null 2>&1; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lcov
fi

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="--coverage -O0" -DCMAKE_EXE_LINKER_FLAGS="--coverage"
fi
cmake --build "$build" -j2
find "$build" -name '*.gcda' -delete
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure) || echo "coverage: some tests failed"

info="$build/coverage.info"
# Debian's lcov warns about its own Perl subroutines on every run; those lines say nothing of the code.
exec 2> >(grep -v '^Subroutine .* redefined' >&2)
lcov --quiet --capture --directory "$build" --rc lcov_branch_coverage=1 --output-file "$info.all"
lcov --quiet --extract "$info.all" "$here/src/*" --rc lcov_branch_coverage=1 --output-file "$info"
lcov --summary "$info" --rc lcov_branch_coverage=1
