#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport.h"

// Whole runs of the program against reference_run.py, a plain transcription
// of the batch run in Python that shares no code with the engine: every
// epoch's model values, conscience values, RMS errors and Kohonen steps,
// the attempts and the farthest-pair split. A fault anywhere in the
// bipartition changes some line.

namespace {

const std::string kSampleFile = std::string(TAVREL_SOURCE_DIR) + "/data/sample.txt";

struct Settings {
    const char* model;
    const char* conscience;
    const char* kohonen;
    const char* threshold;
    const char* epochs;
};

std::string program_line(const std::string& input, const Settings& s) {
    TempDir dir;
    const std::string out = dir.path("out.tre");
    const ProgramResult result =
        run_tavrel({"-nogui", "-input_path", input, "-output_path", out, "-distance_metric",
                    s.model, "-conscience_learning_rate", s.conscience, "-kohonen_learning_rate",
                    s.kohonen, "-convergence_threshold", s.threshold, "-epochs", s.epochs});
    EXPECT_EQ(result.exit_code, 0) << input << " " << s.model;
    const std::vector<std::string> lines = lines_of(read_file(out));
    return lines.size() == 1 ? lines[0] : "(no single line)";
}

std::string reference_line(const std::string& input, const Settings& s) {
    const ProgramResult result = run_command(
        "/usr/bin/python3 " +
        shell_quote(std::string(TAVREL_SOURCE_DIR) + "/tests/analysis/reference_run.py") + " " +
        shell_quote(input) + " " + s.model + " " + s.conscience + " " + s.kohonen + " " +
        s.threshold + " " + s.epochs);
    EXPECT_EQ(result.exit_code, 0) << "reference_run.py failed";
    return result.out.size() == 1 ? result.out[0] : "(no reference line)";
}

}  // namespace

// The lines of the shipped sample with the default settings, one per model.
// Each was checked against reference_run.py (the test below does so again).
TEST(ReferenceLines, SampleLinePerModel) {
    struct Case {
        const char* model;
        const char* line;
    };
    // clang-format off
    const Case cases[] = {
        {"JC", "(((Saimiri_sciureus,(Pongo_abelii,Macaca_mulatta)),(Pan_troglodytes,Rattus_norvegicus)),((Homo_sapiens,Papio_anubis),(Callithrix_jacchus,(Gorilla_gorilla,Mus_musculus))));"},
        {"Euclidian", "(((Mus_musculus,Rattus_norvegicus),(Macaca_mulatta,(Pongo_abelii,Papio_anubis))),((Callithrix_jacchus,Saimiri_sciureus),(Pan_troglodytes,(Homo_sapiens,Gorilla_gorilla))));"},
        {"F81", "((Gorilla_gorilla,(Homo_sapiens,Pan_troglodytes)),(((Saimiri_sciureus,Rattus_norvegicus),(Callithrix_jacchus,Mus_musculus)),(Pongo_abelii,(Macaca_mulatta,Papio_anubis))));"},
        {"F84", "((Gorilla_gorilla,(Homo_sapiens,Pan_troglodytes)),(((Saimiri_sciureus,Rattus_norvegicus),(Callithrix_jacchus,Mus_musculus)),(Pongo_abelii,(Macaca_mulatta,Papio_anubis))));"},
        {"K2P", "((Gorilla_gorilla,(Homo_sapiens,Pan_troglodytes)),(((Saimiri_sciureus,Rattus_norvegicus),(Callithrix_jacchus,Mus_musculus)),(Pongo_abelii,(Macaca_mulatta,Papio_anubis))));"},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(program_line(kSampleFile, {c.model, "0.001", "0.04", "0.25", "100"}), c.line)
            << c.model;
    }
}

TEST(ReferenceLines, ProgramAndTranscriptionAgree) {
    TempDir dir;
    const std::string simulated = dir.write("sim.txt", simulated_file(14, 40, 5));
    const std::string skewed = dir.write("skewed.txt",
                                         "6 8\n"
                                         "s1 AAAAAGCA\ns2 AAAAGGCA\ns3 AATAAGCA\n"
                                         "s4 CCATAGTT\ns5 CCTTAGTT\ns6 CCTTAGTA\n");
    const Settings settings[] = {
        {"Euclidian", "0.001", "0.04", "0.25", "100"},
        {"JC", "0.001", "0.04", "0.25", "100"},
        {"K2P", "0.01", "0.1", "0.4", "30"},
        {"F81", "0.001", "0.04", "0.25", "100"},
        {"F84", "0.05", "0.2", "0.3", "20"},
        // No conscience: the attempts fail and the farthest-pair split decides.
        {"Euclidian", "0", "0.04", "0.25", "2"},
        {"JC", "0", "0.04", "10", "5"},
    };
    for (const std::string& input : {kSampleFile, simulated, skewed}) {
        for (const Settings& s : settings) {
            EXPECT_EQ(program_line(input, s), reference_line(input, s))
                << input << " " << s.model << " c=" << s.conscience << " eta=" << s.kohonen
                << " threshold=" << s.threshold << " epochs=" << s.epochs;
        }
    }
}
