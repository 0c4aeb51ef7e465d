#!/usr/bin/env bash
# Builds and runs every test: once in the normal build (g++), once built by
# clang++ with AddressSanitizer and UndefinedBehaviorSanitizer, so that both
# compilers see every source; then the threaded code once more with
# ThreadSanitizer; then the fuzz target over the sequence reader for a fixed
# short time. Every build treats warnings as errors.
#
# scripts/test.sh --quick: the layout check and the normal build with its
# tests only (no sanitizers, no fuzz), for the inner loop of development;
# what CI runs is the whole command.
set -euo pipefail
cd "$(dirname "$0")/.."
quick=false
case "${1:-}" in
    "") ;;
    --quick) quick=true ;;
    *)
        echo "usage: scripts/test.sh [--quick]" >&2
        exit 2
        ;;
esac
jobs=$(nproc)
compilers=(g++)
$quick || compilers+=(clang++)
for compiler in "${compilers[@]}"; do
    if ! command -v "$compiler" >/dev/null 2>&1; then
        echo "$compiler is needed (scripts/install-deps.sh installs it)" >&2
        exit 1
    fi
done

# configure FOLDER COMPILER [OPTIONS...]: CMake in FOLDER with that compiler
# and warnings as errors. A folder that another compiler configured starts
# afresh: CMake would drop the other options when it changes compilers.
configure() {
    local dir=$1 compiler
    compiler=$(command -v "$2")
    shift 2
    if [ -f "$dir/CMakeCache.txt" ] &&
        ! grep -qx "CMAKE_CXX_COMPILER:[A-Z]*=$compiler" "$dir/CMakeCache.txt"; then
        rm -rf "$dir"
    fi
    cmake -S . -B "$dir" -DCMAKE_CXX_COMPILER="$compiler" -DTAVREL_WERROR=ON "$@"
}

# Every tracked source keeps the committed .clang-format layout.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

configure build g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
if $quick; then
    exit 0
fi

# The second compiler builds every test with both sanitizers, at -O1 as
# AddressSanitizer advises: clang's -O0 makes the MPI runs of the tests
# several times slower than their timeouts allow.
configure build-asan clang++ -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DTAVREL_SANITIZE=ON
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

# ThreadSanitizer for the code that crosses threads (the engine, the
# toolkit core, whose Refresh is called from the analysis thread, and the
# tree and chart that the analysis thread grows while the main loop paints,
# and whole runs of the program in its window). UCX, which MPICH loads into
# the program, hooks madvise, which glibc calls on a thread's way out, after
# ThreadSanitizer has let the thread go: the hook would crash there (Mesa's
# threads end when the window closes, the engine's worker threads after
# every run). The program makes no use of the hooks on one machine.
configure build-tsan g++ -DCMAKE_BUILD_TYPE=Debug -DTAVREL_TSAN=ON
cmake --build build-tsan -j"$jobs"
TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp halt_on_error=1" UCX_MEM_MMAP_HOOK_MODE=none \
    ctest --test-dir build-tsan --output-on-failure -j"$jobs" -L "^(analysis|core|gui)$"

# The fuzz target over the sequence reader and whole runs, with
# AddressSanitizer and UndefinedBehaviorSanitizer, for a fixed short time:
# a fault it finds fails the test command, and the input that shows it is
# kept in build-fuzz/artifacts/. New inputs it finds stay in
# build-fuzz/corpus/; the seed corpus in the repository is only read.
configure build-fuzz clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_SANITIZE=ON \
    -DTAVREL_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build build-fuzz -j"$jobs" --target sequencefile_fuzzer
mkdir -p build-fuzz/corpus build-fuzz/artifacts
build-fuzz/tests/fuzz/sequencefile_fuzzer -max_total_time=30 -timeout=10 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/ \
    build-fuzz/corpus tests/fuzz/corpus
