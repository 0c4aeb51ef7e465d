#include "analysis/commandline.h"

#include <cstring>
#include <string>

namespace {

const char* const kValueOptions[] = {
    "-input_path",
    "-output_path",
    "-conscience_learning_rate",
    "-kohonen_learning_rate",
    "-convergence_threshold",
    "-distance_metric",
    "-epochs",
};

}  // namespace

int find_argument(int* argc, char** argv, const char* name) {
    int found = 0;
    for (int i = 1; i < *argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) found = i;
    }
    return found;
}

AnalysisStatus CommandLine::check_values() const {
    for (const char* option : kValueOptions) {
        const int index = find(option);
        if (index != 0 && index == *argc_ - 1) {
            return AnalysisStatus::failure(
                std::string("Syntax Error: ") + option + " requires a value", kExitUsage);
        }
    }
    return AnalysisStatus::success();
}
