#include "testsupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "analysis/charstring.h"
#include "analysis/seqvector.h"
#include "scratchfolder.h"

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

std::vector<std::string> without_progress(const std::vector<std::string>& lines) {
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        if (line.rfind("Num_seqs: ", 0) != 0) kept.push_back(line);
    }
    return kept;
}

std::string shell_quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

ProgramResult run_command(const std::string& command) {
    ProgramResult result{-1, {}};
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return result;
    std::string text;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
    const int status = pclose(pipe);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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
