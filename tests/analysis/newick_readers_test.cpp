// Tree lines of taxa with hostile names, read back by the Newick readers of
// dendropy and Biopython (newick_readers.py): every name must come back as
// it stands in the sequence file.

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "testsupport.h"

namespace {

const char kPunctuation[] = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";

// Every punctuation character alone, leading, inside and trailing a name,
// and names that quoting rules tend to get wrong.
std::vector<std::string> hostile_names() {
    std::vector<std::string> names;
    for (const char* c = kPunctuation; *c; ++c) {
        const std::string p(1, *c);
        for (const std::string& name : {p, p + "lead", "in" + p + "side", "trail" + p}) {
            names.push_back(name);
        }
    }
    const char* odd[] = {"''",       "'quoted'", "it''s",         "back\\'",      "\\\\",
                         "__init__", "a_(b)_c",  "123",           "1.5e3",        "-7",
                         "[&R]",     "x:0.5",    "\u00c6r\u00f8", "\u540d\u524d", "a'b'c'd"};
    names.insert(names.end(), std::begin(odd), std::end(odd));
    // The longest name, made of characters that all need quoting.
    names.push_back(std::string(33, '(') + std::string(33, '\'') + std::string(33, ','));
    return names;
}

// A sequence file of these names with random sequences, and a file of the
// names one a line.
void write_files(const TempDir& dir, const std::string& stem,
                 const std::vector<std::string>& names) {
    std::mt19937 random(7);
    const int length = 24;
    std::string file = std::to_string(names.size()) + " " + std::to_string(length) + "\n";
    std::string list;
    for (const std::string& name : names) {
        std::string sequence(length, 'A');
        for (char& letter : sequence) letter = "ACGT"[random() % 4];
        file += name + " " + sequence + "\n";
        list += name + "\n";
    }
    dir.write(stem + ".txt", file);
    dir.write(stem + ".names", list);
}

}  // namespace

// Each reader has names it cannot take, however they are written: dendropy
// 4.5 takes a quoted name that is one of ( ) , : ; alone for that character
// itself, and Biopython 1.80 ends a quoted name at a doubled quote and reads
// a backslash as an escape, so that a quoted name ending in one runs on into
// the next. So the names go in three files, each read by every reader that
// can read it.
TEST(NewickReaders, EveryHostileNameComesBack) {
    TempDir dir;
    const std::string lone = "(),:;";
    std::vector<std::string> common, dendropy_only, biopython_only;
    for (const std::string& name : hostile_names()) {
        if (name.size() == 1 && lone.find(name[0]) != std::string::npos) {
            biopython_only.push_back(name);
        } else if (name.find('\'') != std::string::npos || name.back() == '\\') {
            dendropy_only.push_back(name);
        } else {
            common.push_back(name);
        }
    }
    struct Case {
        std::string stem;
        std::vector<std::string> names;
        std::vector<std::string> readers;
    };
    const Case cases[] = {{"common", common, {"dendropy", "Biopython"}},
                          {"dendropy_only", dendropy_only, {"dendropy"}},
                          {"biopython_only", biopython_only, {"Biopython"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stem);
        write_files(dir, c.stem, c.names);
        const std::string tree = dir.path(c.stem + ".tre");
        const ProgramResult run =
            run_tavrel({"-nogui", "-input_path", dir.path(c.stem + ".txt"), "-output_path", tree});
        ASSERT_EQ(run.exit_code, 0);
        std::string command =
            "/usr/bin/python3 " +
            shell_quote(std::string(TAVREL_SOURCE_DIR) + "/tests/analysis/newick_readers.py") +
            " " + shell_quote(tree) + " " + shell_quote(dir.path(c.stem + ".names"));
        std::vector<std::string> expected;
        for (const std::string& reader : c.readers) {
            command += " " + reader;
            expected.push_back("line 1: " + reader + " reads all " +
                               std::to_string(c.names.size()) + " names");
        }
        const ProgramResult read = run_command(command);
        EXPECT_EQ(read.out, expected);
        EXPECT_EQ(read.exit_code, 0);
    }
}
