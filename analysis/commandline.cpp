#include "analysis/commandline.h"

#include <cstring>

int find_argument(int* argc, char** argv, const char* name) {
    int found = 0;
    for (int i = 1; i < *argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) found = i;
    }
    return found;
}
