#pragma once

// Descriptors 0, 1 and 2 of the process: standard input, output and error.

// Opens /dev/null on each of them that is closed (`tavrel >&-`), so that
// no file, socket or pipe that the program or a library opens later takes
// its number: a tree file or an MPI pipe on descriptor 1 would take the
// progress lines, on descriptor 2 every library's complaint. What goes to a
// closed standard output then goes nowhere, as the user asked. Call first
// in main, before anything opens a descriptor. Gives 0, or the errno of
// the open of /dev/null that failed.
int open_standard_descriptors();
