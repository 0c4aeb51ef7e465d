#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

// A new, empty folder named `prefix` and six random characters under the
// build tree's scratch folder (TAVREL_TEST_SCRATCH, set by the build), or
// "" when it cannot be made. Tests and the fuzzer write only there.
inline std::string make_scratch_folder(const char* prefix) {
    const std::filesystem::path scratch = TAVREL_TEST_SCRATCH;
    std::error_code ignored;
    std::filesystem::create_directories(scratch, ignored);
    std::string pattern = (scratch / (std::string(prefix) + "XXXXXX")).string();
    return mkdtemp(pattern.data()) ? pattern : std::string();
}
