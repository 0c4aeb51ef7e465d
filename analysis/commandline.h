#pragma once

// The index of the last argument among 1 to *argc - 1 that equals `name`
// exactly, or 0 when none does (index 0, the program name, is never
// compared). The value of an option at index i is argument i + 1.
int find_argument(int* argc, char** argv, const char* name);
