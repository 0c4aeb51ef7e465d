#!/usr/bin/env bash
# Builds and runs every test: once in the normal build, once with
# AddressSanitizer and UndefinedBehaviorSanitizer; then the threaded code
# once more with ThreadSanitizer; then, where clang is found, the fuzz target
# over the sequence reader for a fixed short time.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# Every tracked source keeps the committed .clang-format layout.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTAVREL_SANITIZE=ON
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
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DTAVREL_TSAN=ON
cmake --build build-tsan -j"$jobs"
TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp halt_on_error=1" UCX_MEM_MMAP_HOOK_MODE=none \
    ctest --test-dir build-tsan --output-on-failure -j"$jobs" -L "^(analysis|core|gui)$"

# The fuzz target over the sequence reader and whole runs, with
# AddressSanitizer and UndefinedBehaviorSanitizer, for a fixed short time:
# a fault it finds fails the test command, and the input that shows it is
# kept in build-fuzz/artifacts/. New inputs it finds stay in
# build-fuzz/corpus/; the seed corpus in the repository is only read.
if command -v clang++ >/dev/null 2>&1; then
    cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTAVREL_SANITIZE=ON -DTAVREL_FUZZ=ON -DBUILD_TESTING=OFF
    cmake --build build-fuzz -j"$jobs" --target sequencefile_fuzzer
    mkdir -p build-fuzz/corpus build-fuzz/artifacts
    build-fuzz/tests/fuzz/sequencefile_fuzzer -max_total_time=30 -timeout=10 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/ \
        build-fuzz/corpus tests/fuzz/corpus
else
    echo "clang++ not found: the fuzz target is not built or run"
fi
