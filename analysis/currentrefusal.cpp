#include "analysis/currentrefusal.h"

#include <new>
#include <system_error>

AnalysisStatus current_refusal(const char* out_of_memory) {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return AnalysisStatus::failure(out_of_memory);
    } catch (const std::system_error& error) {
        return AnalysisStatus::failure("Error: The system refused the run a resource: " +
                                       error.code().message());
    }
}

AnalysisStatus current_refusal(const std::string& out_of_memory) {
    return current_refusal(out_of_memory.c_str());
}
