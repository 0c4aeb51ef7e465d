// libFuzzer target: every input is a sequence file, read on its own from
// memory and then run whole, from the file on disk to the tree file. A fault
// is a sanitizer report, a failed check of the program, or a broken promise
// of the file formats: what the reader accepts is well formed, a run that
// succeeds appends exactly one whole line ending in ";" and naming every
// taxon, and a run that fails appends nothing.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "analysis/analysismodule.h"
#include "analysis/seqvector.h"
#include "tests/analysis/scratchfolder.h"

namespace {

constexpr std::size_t kMaxNameLength = 99;
// A message is one line that repeats at most 40 characters of a bad token
// and at most one name.
constexpr std::size_t kMaxMessageLength = 300;

// What the tree file holds before a run: nothing, whole lines, or a last
// line without its newline.
const char* const kTreeBefore[] = {"", "(old,tree);\n", "((x,y)"};
const char* const kModels[] = {"JC", "Euclidian", "F81", "F84", "K2P"};

// The folder of the files of every run, made once and removed at exit.
std::string& work_dir() {
    static std::string dir;
    return dir;
}

void remove_work_dir() {
    std::error_code ignored;
    std::filesystem::remove_all(work_dir(), ignored);
}

[[noreturn]] void fault(const std::string& what) {
    std::cerr << "sequencefile_fuzzer: " << what << std::endl;
    // abort() skips the exit handlers.
    remove_work_dir();
    std::abort();
}

void expect(bool holds, const std::string& what) {
    if (!holds) fault(what);
}

std::string read_whole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_whole(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    expect(out.good(), "cannot write " + path);
}

bool is_control(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

void check_message(const AnalysisStatus& status) {
    expect(status.exit_code() == 1, "a refused file ends with exit code 1");
    const std::string& line = status.message();
    expect(!line.empty() && line.size() <= kMaxMessageLength,
           "a refusal is one short line: " + line.substr(0, kMaxMessageLength));
    for (char c : line) expect(!is_control(c), "a message holds no control byte");
}

// Reads the file from memory; gives the taxon count it accepted, or -1.
int check_reader(const std::string& text, std::ostream* console) {
    AnalysisModule module;
    module.options.console = console;
    std::istringstream in(text);
    SequenceData data;
    const AnalysisStatus status = module.read_input(in, &data);
    if (!status.ok()) {
        check_message(status);
        return -1;
    }
    expect(data.num_seqs >= 0 && data.seq_len >= 0, "counts are not negative");
    expect(data.names.size() == static_cast<std::size_t>(data.num_seqs) &&
               data.sequences.size() == data.names.size(),
           "one name and one sequence per taxon");
    for (int i = 0; i < data.num_seqs; ++i) {
        const std::string name = data.names[i].c_str();
        expect(static_cast<int>(name.size()) == data.names[i].getLength(),
               "a name is stored whole");
        expect(!name.empty() && name.size() <= kMaxNameLength, "a name has 1 to 99 characters");
        for (char c : name) {
            expect(!is_control(c) && c != ' ', "a name holds no control byte or blank");
        }
        const std::string& sequence = data.sequences[i];
        expect(sequence.size() == static_cast<std::size_t>(data.seq_len),
               "a sequence has the given length");
        for (char c : sequence) expect(Base::is_nucleotide(c), "a sequence holds A, C, G, T only");
    }
    return data.num_seqs;
}

// The taxon labels of a Newick line; a quoted label holds doubled quotes.
int count_labels(const std::string& line) {
    int labels = 0;
    bool in_label = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\'') {
            std::size_t end = i + 1;
            while (end < line.size() &&
                   !(line[end] == '\'' && (end + 1 == line.size() || line[end + 1] != '\''))) {
                end += line[end] == '\'' ? 2 : 1;
            }
            expect(end < line.size(), "a quoted label is closed: " + line);
            i = end;
            if (!in_label) ++labels;
            in_label = true;
        } else if (c == '(' || c == ')' || c == ',' || c == ';') {
            in_label = false;
        } else if (!in_label) {
            ++labels;
            in_label = true;
        }
    }
    return labels;
}

void check_run(const std::string& text, std::size_t variant, int accepted_taxa,
               std::ostream* console) {
    const std::string input = work_dir() + "/in.txt";
    const std::string output = work_dir() + "/out.tre";
    write_whole(input, text);
    const std::string before = kTreeBefore[variant % 3];
    write_whole(output, before);

    AnalysisModule module;
    module.options.console = console;
    expect(module.set_input_path(input).ok(), "the input file is accepted");
    expect(module.set_output_path(output).ok(), "the tree file is accepted");
    expect(module.set_distance_metric(kModels[variant % 5]), "the model is known");
    // One epoch, and a threshold every RMS error is below: each step costs
    // one epoch, so that large groups keep the fuzzer fast.
    module.set_epochs(1);
    module.set_convergence_threshold(10.0);
    AnalysisModule::run(&module);

    const std::string after = read_whole(output);
    if (!module.run_status.ok()) {
        check_message(module.run_status);
        expect(accepted_taxa < 0, "a file the reader accepts runs");
        expect(after == before, "a failed run appends nothing");
        return;
    }
    expect(accepted_taxa >= 0, "a file the reader refuses does not run");
    std::string glue = before.empty() || before.back() == '\n' ? "" : "\n";
    expect(after.size() > before.size() + glue.size() &&
               after.compare(0, before.size(), before) == 0 &&
               after.compare(before.size(), glue.size(), glue) == 0,
           "a run keeps what the file held and starts a line of its own");
    const std::string line = after.substr(before.size() + glue.size());
    expect(line.size() >= 2 && line.compare(line.size() - 2, 2, ";\n") == 0,
           "the line ends in \";\" and a newline");
    expect(line.find('\n') == line.size() - 1, "one line");
    expect(count_labels(line.substr(0, line.size() - 1)) == accepted_taxa,
           "every taxon once in the line: " + line);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    work_dir() = make_scratch_folder("tavrel-fuzz-");
    if (work_dir().empty()) fault("cannot make a temporary folder");
    std::atexit(remove_work_dir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Progress lines and warnings go nowhere.
    std::ostream quiet(nullptr);
    const int taxa = check_reader(text, &quiet);
    check_run(text, size, taxa, &quiet);
    return 0;
}
