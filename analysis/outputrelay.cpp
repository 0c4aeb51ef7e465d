#include "analysis/outputrelay.h"

#include <limits.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <streambuf>

#include "analysis/blockedsignals.h"

namespace {

// The run's lines may fill this much; the window's lines have the rest.
constexpr std::size_t kRunRoom = std::size_t(256) << 10;
constexpr std::size_t kWindowRoom = std::size_t(64) << 10;
constexpr std::size_t kCapacity = kRunRoom + kWindowRoom;
// A pipe that polls writable takes this much at once without a wait, so
// the writing thread waits for its reader only in poll, where the program's
// end can see that it waits.
constexpr std::size_t kPiece = PIPE_BUF;
// A run's line is gathered up to this length before it is handed over.
constexpr std::size_t kLineBytes = 4096;

// The lines waiting: `used` bytes from `head` on, round the end. The piece
// being written stays counted in `used` until it has gone, so the givers
// never write over it. Static, so that starting the relay needs no memory.
char ring[kCapacity];
std::size_t head = 0;
std::size_t used = 0;
// Started and not ended.
bool running = false;
// The program ends: no line is taken any more.
bool closing = false;
// No line waits for room any more.
bool no_waits = false;

pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
// Lines came; some went out (or were dropped), or no line waits any more.
pthread_cond_t given = PTHREAD_COND_INITIALIZER;
pthread_cond_t taken = PTHREAD_COND_INITIALIZER;

class Locked {
public:
    Locked() { pthread_mutex_lock(&lock); }
    ~Locked() { pthread_mutex_unlock(&lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

// Writes some of the `length` bytes at `from`; gives how many went, or
// `length` when the write failed and they are dropped.
std::size_t write_some(const char* from, std::size_t length) {
    for (;;) {
        pollfd out = {STDOUT_FILENO, POLLOUT, 0};
        if (::poll(&out, 1, -1) < 0 && errno != EINTR) return length;
        const ssize_t wrote = ::write(STDOUT_FILENO, from, length);
        if (wrote > 0) return static_cast<std::size_t>(wrote);
        // A descriptor left non-blocking by whoever opened it polls again.
        if (wrote < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        return length;
    }
}

void* write_lines(void*) {
    pthread_mutex_lock(&lock);
    for (;;) {
        while (used == 0) pthread_cond_wait(&given, &lock);
        const std::size_t length = std::min({used, kCapacity - head, kPiece});
        const char* from = ring + head;
        pthread_mutex_unlock(&lock);
        const std::size_t gone = write_some(from, length);
        pthread_mutex_lock(&lock);
        head = (head + gone) % kCapacity;
        used -= gone;
        pthread_cond_broadcast(&taken);
    }
    return nullptr;
}

void copy_in(const char* text, std::size_t length) {
    std::size_t at = (head + used) % kCapacity;
    while (length > 0) {
        const std::size_t part = std::min(length, kCapacity - at);
        std::memcpy(ring + at, text, part);
        used += part;
        text += part;
        length -= part;
        at = 0;
    }
}

// Hands `first` and then `second` over as one piece of text; a run's line
// waits for room, unless waits have stopped. False when the relay has not
// been started.
bool give(const char* first, std::size_t first_length, const char* second,
          std::size_t second_length, bool run_line) {
    const Locked held;
    if (closing) return true;
    if (!running) return false;
    const std::size_t length = first_length + second_length;
    const std::size_t room = run_line ? kRunRoom : kCapacity;
    if (length > room) return true;
    while (used + length > room) {
        if (!run_line || no_waits) return true;
        pthread_cond_wait(&taken, &lock);
    }
    copy_in(first, first_length);
    copy_in(second, second_length);
    pthread_cond_signal(&given);
    return true;
}

// A run's lines, each gathered whole and handed over at its end.
class RunLines : public std::streambuf {
public:
    RunLines() { setp(line_, line_ + sizeof line_); }

protected:
    int_type overflow(int_type c) override {
        hand_over();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override {
        hand_over();
        return 0;
    }

private:
    void hand_over() {
        const std::size_t length = static_cast<std::size_t>(pptr() - pbase());
        if (length > 0 && !give(pbase(), length, nullptr, 0, true)) {
            std::fwrite(pbase(), 1, length, stdout);
            std::fflush(stdout);
        }
        setp(line_, line_ + sizeof line_);
    }

    char line_[kLineBytes];
};

}  // namespace

bool start_output_relay() {
    {
        const Locked held;
        if (running || closing) return running;
    }
    // What stdio holds goes first.
    std::fflush(stdout);
    pthread_t thread;
    bool started = false;
    {
        // The relay takes no signal: those that end the program go to the
        // threads that handle them, and one that its own write raises
        // (SIGPIPE, SIGXFSZ) waits, blocked, while the write fails.
        const BlockedSignals none(BlockedSignals::asynchronous());
        started = pthread_create(&thread, nullptr, write_lines, nullptr) == 0;
    }
    if (!started) return false;
    pthread_detach(thread);
    const Locked held;
    running = true;
    return true;
}

std::ostream& relayed_run_lines() {
    static RunLines lines;
    static std::ostream stream(&lines);
    return stream;
}

bool relay_line(const std::string& line) {
    return give(line.data(), line.size(), "\n", 1, false);
}

void stop_output_waits() {
    const Locked held;
    no_waits = true;
    pthread_cond_broadcast(&taken);
}

bool end_output_relay(const char* last_line) {
    const Locked held;
    if (!running) return false;
    closing = true;
    no_waits = true;
    pthread_cond_broadcast(&taken);
    if (last_line != nullptr) {
        const std::size_t length = std::strlen(last_line);
        if (used + length + 1 <= kCapacity) {
            copy_in(last_line, length);
            copy_in("\n", 1);
            pthread_cond_signal(&given);
        }
    }
    // While standard output can take more (or fails at once), the writing
    // thread gets on; once it would wait for a reader, the rest is dropped.
    while (used > 0) {
        pollfd out = {STDOUT_FILENO, POLLOUT, 0};
        if (::poll(&out, 1, 0) == 0) break;
        pthread_cond_wait(&taken, &lock);
    }
    running = false;
    pthread_cond_broadcast(&taken);
    return true;
}
