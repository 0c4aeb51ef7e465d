// Linked into a copy of the program for the tests, with the replaced
// operator new of tests/support: its allocations are counted from the
// moment main begins, so that a test can make the K-th allocation of a run
// fail and see what the program does then.
//
//   TAVREL_FAIL_NEW_AT=K       the K-th allocation (from 1) fails: the
//                              throwing forms throw std::bad_alloc, the
//                              nothrow forms give null; all others succeed
//   TAVREL_NEW_COUNT_FILE=F    the number of allocations made is written to
//                              F when the process exits normally
//   TAVREL_FAIL_NEW_RANK=R     both only in the MPI process of rank R
//                              (PMI_RANK)
//   TAVREL_FAIL_NEW_TRACE=1    the failing allocation's call stack goes to
//                              standard error, for finding where it was
//   TAVREL_FAIL_NEW_PROGRAM_ONLY=1
//                              only the allocations that the program asks
//                              for count and may fail: those whose first
//                              caller outside the C++ library lies in the
//                              executable. The others pass untouched: those
//                              of the libraries the program loads, such as
//                              the GL driver, whose code (partly C++, as
//                              LLVM) is not the program's to answer and is
//                              not made to be unwound by an exception
//
// The program is linked with --wrap=main: the allocations of static
// initialisation, which no program could answer with a message, are not
// counted and never fail.

#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/replacednew.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long long> made{0};
long long fail_at = 0;
bool trace = false;
const char* count_file = nullptr;

// The loaded segments of one object: the executable or the C++ library.
struct Segments {
    static constexpr int kMost = 16;
    std::uintptr_t start[kMost] = {};
    std::uintptr_t end[kMost] = {};
    int count = 0;

    bool holds(const void* address) const {
        const auto a = reinterpret_cast<std::uintptr_t>(address);
        for (int i = 0; i < count; ++i)
            if (a >= start[i] && a < end[i]) return true;
        return false;
    }
};

bool program_only = false;
Segments executable;
Segments cxx_library;

int note_segments(dl_phdr_info* info, std::size_t, void*) {
    Segments* object = nullptr;
    // The executable comes first, without a name.
    if (info->dlpi_name == nullptr || info->dlpi_name[0] == '\0') {
        if (executable.count == 0) object = &executable;
    } else if (std::strstr(info->dlpi_name, "libstdc++") != nullptr) {
        object = &cxx_library;
    }
    if (object == nullptr) return 0;
    for (int i = 0; i < info->dlpi_phnum && object->count < Segments::kMost; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD) continue;
        object->start[object->count] = info->dlpi_addr + header.p_vaddr;
        object->end[object->count] = info->dlpi_addr + header.p_vaddr + header.p_memsz;
        ++object->count;
    }
    return 0;
}

// Whether the program asked for the allocation that returns to `caller`:
// directly, or through the C++ library (a string growing, say).
bool asked_by_program(void* caller) {
    if (executable.holds(caller)) return true;
    if (!cxx_library.holds(caller)) return false;
    constexpr int kFrames = 64;
    void* frames[kFrames];
    const int n = backtrace(frames, kFrames);
    int i = 0;
    while (i < n && frames[i] != caller) ++i;
    while (i < n && cxx_library.holds(frames[i])) ++i;
    return i < n && executable.holds(frames[i]);
}

long long number_from(const char* name) {
    const char* text = std::getenv(name);
    return text ? std::atoll(text) : 0;
}

// Whether this allocation, which returns to `caller`, is the one that fails.
bool fails_now(void* caller) {
    if (!counting.load(std::memory_order_relaxed)) return false;
    if (program_only && !asked_by_program(caller)) return false;
    const long long k = made.fetch_add(1, std::memory_order_relaxed) + 1;
    if (k != fail_at) return false;
    if (trace) {
        void* frames[64];
        backtrace_symbols_fd(frames, backtrace(frames, 64), 2);
    }
    return true;
}

void write_count() {
    if (count_file == nullptr) return;
    if (std::FILE* f = std::fopen(count_file, "w")) {
        std::fprintf(f, "%lld\n", made.load());
        std::fclose(f);
    }
}

}  // namespace

extern "C" int __real_main(int argc, char** argv);

extern "C" int __wrap_main(int argc, char** argv) {
    const char* rank = std::getenv("TAVREL_FAIL_NEW_RANK");
    const char* own_rank = std::getenv("PMI_RANK");
    const bool chosen =
        rank == nullptr || (own_rank != nullptr && std::strcmp(rank, own_rank) == 0);
    if (chosen) {
        fail_at = number_from("TAVREL_FAIL_NEW_AT");
        count_file = std::getenv("TAVREL_NEW_COUNT_FILE");
        trace = number_from("TAVREL_FAIL_NEW_TRACE") != 0;
        program_only = number_from("TAVREL_FAIL_NEW_PROGRAM_ONLY") != 0;
        if (program_only) dl_iterate_phdr(note_segments, nullptr);
        std::atexit(write_count);
        replacednew::set_decider(fails_now);
    }
    counting.store(true);
    return __real_main(argc, argv);
}
