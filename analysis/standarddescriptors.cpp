#include "analysis/standarddescriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

int open_standard_descriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // An open takes the lowest closed descriptor, and those below this
        // one are open by now. Not closed on exec: it stands for the
        // standard stream that the program was given.
        if (::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY) < 0) return errno;
    }
    return 0;
}
