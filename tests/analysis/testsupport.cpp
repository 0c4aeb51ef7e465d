#include "testsupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "analysis/charstring.h"
#include "analysis/sequencefile.h"
#include "analysis/seqvector.h"
#include "scratchfolder.h"
#include "tests/support/childprocess.h"

TempDir::TempDir() {
    dir_ = make_scratch_folder("tavrel-test-");
    if (dir_.empty()) ADD_FAILURE() << "cannot make a temporary directory";
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& contents) const {
    const std::string file = path(name);
    std::ofstream out(file, std::ios::binary);
    out << contents;
    return file;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool file_exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

bool is_step_line(const std::string& line) {
    return line.rfind("Num_seqs: ", 0) == 0;
}

bool is_progress_line(const std::string& line) {
    return is_step_line(line) || line == "Error: Zero partition" ||
           line.rfind("Warning: no split found for ", 0) == 0;
}

std::vector<std::string> without_progress(const std::vector<std::string>& lines) {
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        if (!is_progress_line(line)) kept.push_back(line);
    }
    return kept;
}

HeldLock::HeldLock(const std::string& path) {
    int said[2];
    int told[2];
    if (pipe2(said, O_CLOEXEC) != 0) return;
    if (pipe2(told, O_CLOEXEC) != 0) {
        close(said[0]);
        close(said[1]);
        return;
    }
    holder_ = std::make_unique<ChildProcess>([&] {
        close(said[0]);
        close(told[1]);
        const int fd = open(path.c_str(), O_RDWR);
        struct flock lock;
        std::memset(&lock, 0, sizeof lock);
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (fd < 0 || fcntl(fd, F_SETLK, &lock) != 0) return 1;
        const char locked = 'L';
        if (write(said[1], &locked, 1) != 1) return 1;
        // Until the test closes its end.
        char nothing;
        while (read(told[0], &nothing, 1) != 0) {
        }
        return 0;
    });
    close(said[1]);
    close(told[0]);
    tell_ = told[1];
    char locked = 0;
    held_ = holder_->pid() > 0 && read(said[0], &locked, 1) == 1 && locked == 'L';
    close(said[0]);
    EXPECT_TRUE(held_) << "cannot lock " << path;
}

HeldLock::~HeldLock() {
    release();
}

pid_t HeldLock::holder() const {
    return holder_ ? holder_->pid() : -1;
}

void HeldLock::release() {
    if (tell_ >= 0) close(tell_);
    tell_ = -1;
    if (holder_) holder_->wait_for_end();
    holder_.reset();
}

namespace {

// The kernel's list of file locks as it stood at one moment. Read piece
// by piece, it may change between the pieces and show a lock twice or not
// at all; the first read takes as much of it as fits in a page, in one
// look. A list longer than that counts once two readings agree.
std::string locks_at_once() {
    const auto read_all = [](bool* one_look) {
        std::string text;
        const int fd = open("/proc/locks", O_RDONLY | O_CLOEXEC);
        if (fd < 0) return text;
        char buffer[1 << 16];
        for (int reads = 0;; ++reads) {
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got <= 0) {
                *one_look = reads <= 1;
                break;
            }
            text.append(buffer, static_cast<std::size_t>(got));
        }
        close(fd);
        return text;
    };
    bool one_look = false;
    std::string text = read_all(&one_look);
    while (!one_look) {
        std::string again = read_all(&one_look);
        if (one_look || again == text) return again;
        text = std::move(again);
    }
    return text;
}

}  // namespace

int lock_waiters(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return -1;
    char file_id[64];
    std::snprintf(file_id, sizeof file_id, " %02x:%02x:%lu ", major(info.st_dev),
                  minor(info.st_dev), static_cast<unsigned long>(info.st_ino));
    int waiting = 0;
    for (const std::string& line : lines_of(locks_at_once())) {
        if (line.find("->") != std::string::npos && line.find(file_id) != std::string::npos) {
            ++waiting;
        }
    }
    return waiting;
}

namespace {

// The entries of a folder of /proc, which may go while they are read.
std::vector<std::filesystem::path> entries_of(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> entries;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        entries.push_back(it->path());
    }
    return entries;
}

// The fields of a /proc/P/stat line after the command's name.
std::vector<std::string> stat_fields(const std::string& stat) {
    std::vector<std::string> fields;
    const std::size_t name_end = stat.rfind(')');
    if (name_end == std::string::npos) return fields;
    std::istringstream rest(stat.substr(name_end + 1));
    for (std::string field; rest >> field;) fields.push_back(field);
    return fields;
}

std::string first_line(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

bool is_number(const std::string& name) {
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

OpenForWriting process_writing(const std::string& path, pid_t besides) {
    for (const std::filesystem::path& process : entries_of("/proc")) {
        const std::string pid = process.filename().string();
        if (!is_number(pid) || std::stoi(pid) == getpid() || std::stoi(pid) == besides) continue;
        for (const std::filesystem::path& entry : entries_of(process / "fd")) {
            std::error_code error;
            if (std::filesystem::read_symlink(entry, error).string() != path) continue;
            const std::string fd = entry.filename().string();
            const std::string info = read_file((process / "fdinfo" / fd).string());
            const std::size_t flags = info.find("flags:");
            if (flags == std::string::npos) continue;
            const long mode = std::strtol(info.c_str() + flags + 6, nullptr, 8) & O_ACCMODE;
            if (mode == O_WRONLY || mode == O_RDWR) return {std::stoi(pid), std::stoi(fd)};
        }
    }
    return {};
}

TaxaOfFile::TaxaOfFile(const std::string& file) {
    std::istringstream in(file);
    SequenceData data;
    const AnalysisStatus status = read_sequence_data(in, &data);
    EXPECT_TRUE(status.ok()) << status.message();
    for (int i = 0; i < data.num_seqs; ++i) {
        owned_.push_back(std::make_unique<SeqVector>());
        owned_.back()->id = i;
        owned_.back()->name = data.names[i];
        owned_.back()->set_letters(data.sequences[i]);
        by_id.push_back(owned_.back().get());
    }
}

int TaxaOfFile::length() const {
    return by_id.empty() ? 0 : by_id[0]->length;
}

std::string shell_quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

ProgramResult run_command(const std::string& command) {
    ProgramResult result{-1, {}};
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) return result;
    ChildSpec spec;
    spec.args = {"/bin/sh", "-c", command};
    spec.out_fd = output[1];
    ChildProcess shell(spec);
    close(output[1]);
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(output[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    close(output[0]);
    if (shell.pid() <= 0) return result;
    shell.wait_for_end();
    result.exit_code = shell.exit_code();
    result.out = lines_of(text);
    return result;
}

std::string tavrel_bin() {
    return TAVREL_BIN;
}

bool built_with_sanitizer() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

const char kNoAddressSpaceLimitWithSanitizers[] =
    "the sanitizers reserve more address space than any limit here allows";

std::string without_leak_check() {
    return built_with_sanitizer() ? "env ASAN_OPTIONS=detect_leaks=0 " : "";
}

long long least_that_works(long long from, long long most, long long resolution,
                           const std::function<bool(long long)>& works) {
    long long enough = from;
    while (enough <= most && !works(enough)) enough *= 2;
    if (enough > most) return 0;
    long long too_little = enough / 2;
    while (enough - too_little > resolution) {
        const long long middle = too_little + (enough - too_little) / 2;
        (works(middle) ? enough : too_little) = middle;
    }
    return enough;
}

namespace {
constexpr int kPollMsecs = 5;

// Every process of process group `group` and every process they started:
// mpiexec's ranks lead groups of their own, so killing the group leaves a
// rank that waits for a peer spinning on.
std::set<pid_t> processes_of_group(pid_t group) {
    const std::vector<ProcessInfo> processes = running_processes();
    std::set<pid_t> found;
    for (const ProcessInfo& p : processes) {
        if (p.group == group) found.insert(p.pid);
    }
    for (bool grew = true; grew;) {
        grew = false;
        for (const ProcessInfo& p : processes) {
            if (found.count(p.parent) != 0 && found.insert(p.pid).second) grew = true;
        }
    }
    return found;
}

// Each process with each of its threads' state and the kernel function it
// waits in.
std::string describe_processes(const std::set<pid_t>& pids) {
    std::string text;
    for (const pid_t pid : pids) {
        const std::filesystem::path dir = "/proc/" + std::to_string(pid);
        text += "  process " + std::to_string(pid) + " " + first_line(dir / "comm") + ":";
        std::error_code error;
        for (const auto& task : std::filesystem::directory_iterator(dir / "task", error)) {
            const std::vector<std::string> fields = stat_fields(first_line(task.path() / "stat"));
            text += " [" + (fields.empty() ? std::string("?") : fields[0]) + " " +
                    first_line(task.path() / "wchan") + "]";
        }
        text += "\n";
    }
    return text;
}
}  // namespace

BoundedResult run_bounded(const BoundedRun& run) {
    BoundedResult result;
    const std::string out_path = run.dir + "/bounded-stdout.txt";
    const std::string err_path = run.dir + "/bounded-stderr.txt";
    cpu_set_t cores;
    CPU_ZERO(&cores);
    const int machine = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    for (int c = 0; c < run.cores; ++c) CPU_SET((run.first_core + c) % machine, &cores);
    ChildSpec spec;
    spec.args = run.args;
    spec.environment = run.environment;
    spec.dir = run.dir;
    spec.out_file = out_path;
    spec.err_file = err_path;
    if (run.cores > 0) spec.cores = &cores;
    // A group of its own, so that a run that hangs goes with everything it
    // started (mpiexec's processes).
    ChildProcess child(spec);
    if (child.pid() <= 0) return result;
    if (run.while_running) run.while_running(child.pid());
    if (!poll_until([&] { return child.has_ended(); }, run.bound_msecs)) {
        result.timed_out = true;
        const std::set<pid_t> started = processes_of_group(child.pid());
        result.hang_report = describe_processes(started) +
                             "  stdout: " + std::to_string(lines_of(read_file(out_path)).size()) +
                             " lines; stderr: " + read_file(err_path);
        child.end_group();
        for (const pid_t p : started) kill(p, SIGKILL);
    }
    // What the run left behind it: mpiexec's processes end with it. Until
    // the run is reaped, its process group cannot be another's.
    child.end_group();
    child.wait_for_end();
    result.wait_status = child.wait_status();
    result.out = lines_of(read_file(out_path));
    result.err = read_file(err_path);
    std::filesystem::remove(out_path);
    std::filesystem::remove(err_path);
    return result;
}

std::vector<pid_t> children_named(pid_t parent, const std::string& name) {
    std::vector<pid_t> children;
    for (const ProcessInfo& p : running_processes()) {
        if (p.parent == parent && p.name == name) children.push_back(p.pid);
    }
    return children;
}

std::vector<ProcessInfo> running_processes() {
    std::vector<ProcessInfo> processes;
    for (const std::filesystem::path& entry : entries_of("/proc")) {
        const std::string pid = entry.filename().string();
        if (!is_number(pid)) continue;
        const std::vector<std::string> fields = stat_fields(first_line(entry / "stat"));
        if (fields.size() < 3) continue;
        processes.push_back({std::stoi(pid), std::stoi(fields[1]), std::stoi(fields[2]),
                             first_line(entry / "comm")});
    }
    return processes;
}

std::vector<std::string> process_stat_fields(pid_t pid) {
    return stat_fields(first_line("/proc/" + std::to_string(pid) + "/stat"));
}

bool poll_until(const std::function<bool()>& condition, int bound_msecs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(bound_msecs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMsecs));
    }
    return true;
}

ProcessWatch::ProcessWatch(pid_t pid)
    : pid_(pid), fd_(static_cast<int>(syscall(SYS_pidfd_open, pid, 0))) {
    if (fd_ < 0) ADD_FAILURE() << "cannot watch process " << pid;
}

ProcessWatch::ProcessWatch(ProcessWatch&& other) noexcept : pid_(other.pid_), fd_(other.fd_) {
    other.fd_ = -1;
}

ProcessWatch::~ProcessWatch() {
    if (fd_ >= 0) close(fd_);
}

bool ProcessWatch::ended() const {
    pollfd ready = {fd_, POLLIN, 0};
    return fd_ >= 0 && poll(&ready, 1, 0) == 1;
}

void ProcessWatch::end() const {
    if (fd_ >= 0) syscall(SYS_pidfd_send_signal, fd_, SIGKILL, nullptr, 0);
}

std::string status_text(int wait_status) {
    if (WIFSIGNALED(wait_status)) return "signal " + std::to_string(WTERMSIG(wait_status));
    return "exit code " + std::to_string(WEXITSTATUS(wait_status));
}

void run_in_parallel(int count, int threads, const std::function<void(int)>& task) {
    std::atomic<int> next{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            for (int i = next++; i < count; i = next++) task(i);
        });
    }
    for (std::thread& worker : workers) worker.join();
}

std::vector<IgnoringLauncher> ignoring_launchers() {
    const auto trap = [](const char* name) {
        return std::string("trap '' ") + name + "; exec \"$@\"";
    };
    return {
        {SIGTERM, trap("TERM")},
        {SIGINT, trap("INT")},
        {SIGQUIT, trap("QUIT")},
        {SIGHUP, trap("HUP")},
        {SIGHUP, "exec nohup \"$@\" </dev/null"},
    };
}

ProgramResult run_tavrel(const std::vector<std::string>& args) {
    std::string command = shell_quote(tavrel_bin());
    for (const std::string& arg : args) command += " " + shell_quote(arg);
    return run_command(command);
}

std::vector<std::string> newick_names(const std::string& line) {
    std::vector<std::string> names;
    std::string name;
    for (char c : line) {
        if (c == '(' || c == ')' || c == ',' || c == ';') {
            if (!name.empty()) names.push_back(name);
            name.clear();
        } else {
            name += c;
        }
    }
    if (!name.empty()) names.push_back(name);
    return names;
}

std::string long_names_file(int taxa, char letter, unsigned seed) {
    std::mt19937 random(seed);
    const char bases[] = "ACGT";
    std::string file = std::to_string(taxa) + " 8\n";
    for (int i = 0; i < taxa; ++i) {
        std::string number = std::to_string(i);
        number.insert(0, 6 - number.size(), '0');
        file += letter + number + std::string(89, letter) + " ";
        for (int j = 0; j < 8; ++j) file += bases[random() % 4];
        file += "\n";
    }
    return file;
}

std::string simulated_file(int taxa, int length, unsigned seed) {
    std::mt19937 random(seed);
    const char letters[] = "ACGT";
    std::vector<std::string> pool(1, std::string(length, 'A'));
    for (char& c : pool[0]) c = letters[random() % 4];
    while (static_cast<int>(pool.size()) < taxa) {
        std::string child = pool[random() % pool.size()];
        for (int m = 0; m < length / 10; ++m) child[random() % length] = letters[random() % 4];
        pool.push_back(child);
    }
    std::ostringstream file;
    file << taxa << " " << length << "\n";
    for (int i = 0; i < taxa; ++i) file << "taxon_" << i << " " << pool[i] << "\n";
    return file.str();
}

std::string repeated_sequence_file(int taxa, int length) {
    std::string sequence(length, 'A');
    for (int j = 0; j < length; ++j) sequence[j] = "ACGT"[(j * 7 + j / 3) % 4];
    std::string file = std::to_string(taxa) + " " + std::to_string(length) + "\n";
    for (int i = 0; i < taxa; ++i) file += "m" + std::to_string(i) + " " + sequence + "\n";
    return file;
}

TreeNode* RecordingFrontEnd::node(int i) {
    return reinterpret_cast<TreeNode*>(&storage_[i]);
}

std::string RecordingFrontEnd::id(TreeNode* n) const {
    return std::to_string(reinterpret_cast<const char*>(n) - storage_);
}

void RecordingFrontEnd::note(const std::string& call) {
    calls.push_back(call);
    threads.insert(std::this_thread::get_id());
}

TreeNode* RecordingFrontEnd::tree_root() {
    return node(0);
}

void RecordingFrontEnd::add_leaves(TreeNode* n, const CharString& a, const CharString& b) {
    log.push_back("leaves " + id(n) + " " + a.c_str() + " " + b.c_str());
    note(log.back());
}

void RecordingFrontEnd::make_leaf(TreeNode* n, SeqVector* taxon) {
    log.push_back("leaf " + id(n) + " " + taxon->name.c_str());
    note(log.back());
}

void RecordingFrontEnd::split(TreeNode* n, TreeNode*** children, int count, int depth) {
    log.push_back("split " + id(n) + " " + std::to_string(count) + " " + std::to_string(depth));
    note(log.back());
    arrays_.emplace_back(count);
    for (int i = 0; i < count; ++i) arrays_.back()[i] = node(next_++);
    *children = arrays_.back().data();
}

void RecordingFrontEnd::add_value(int value) {
    values.push_back(value);
    note("value " + std::to_string(value));
}
