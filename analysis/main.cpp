// tavrel: infers the branching order of a phylogenetic tree from aligned
// DNA sequences and appends it to a tree file as a Newick topology.

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>

#include "analysis/analysismodule.h"
#include "analysis/commandline.h"
#include "analysis/mpiprocessgroup.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

const char* const kValueOptions[] = {
    "-input_path",
    "-output_path",
    "-conscience_learning_rate",
    "-kohonen_learning_rate",
    "-convergence_threshold",
    "-distance_metric",
    "-epochs",
};

// Every message is one line on standard output, flushed at once.
void say(const std::string& line) {
    std::cout << line << std::endl;
}

class CommandLine {
public:
    CommandLine(int* argc, char** argv) : argc_(argc), argv_(argv) {}

    int find(const char* name) const { return find_argument(argc_, argv_, name); }
    const char* value(int index) const { return argv_[index + 1]; }

    // An option that stands last has no value: a usage error.
    AnalysisStatus check_values() const {
        for (const char* option : kValueOptions) {
            if (find(option) == *argc_ - 1 && find(option) != 0) {
                return AnalysisStatus::failure(
                    std::string("Syntax Error: ") + option + " requires a value", kExitUsage);
            }
        }
        return AnalysisStatus::success();
    }

private:
    int* argc_;
    char** argv_;
};

// Applies the tuning options present, in their fixed order; refuses an
// unknown model and settings a run cannot work with. The caller reports
// a refusal.
AnalysisStatus apply_tuning(AnalysisModule& module, const CommandLine& line) {
    if (int i = line.find("-conscience_learning_rate")) {
        module.set_conscience_learning_rate(std::atof(line.value(i)));
    }
    if (int i = line.find("-kohonen_learning_rate")) {
        module.set_kohonen_learning_rate(std::atof(line.value(i)));
    }
    if (int i = line.find("-convergence_threshold")) {
        module.set_convergence_threshold(std::atof(line.value(i)));
    }
    if (int i = line.find("-distance_metric")) {
        if (!module.set_distance_metric(CharString(line.value(i)))) {
            return AnalysisStatus::failure("Unknown distance metric (model)", kExitError);
        }
    }
    if (int i = line.find("-epochs")) module.set_epochs(std::atoi(line.value(i)));
    return module.check_settings();
}

int report(const AnalysisStatus& status) {
    if (!status.message().empty()) say(status.message());
    return status.exit_code();
}

int finish_run(AnalysisModule& module) {
    AnalysisModule::run(&module);
    return report(module.run_status);
}

// Batch mode, and process 0 of an MPI batch run. *ran tells whether a run
// was made (in MPI the run itself then tells the other processes its end).
int batch_sequence(AnalysisModule& module, const CommandLine& line, bool* ran) {
    *ran = false;
    const AnalysisStatus values = line.check_values();
    if (!values.ok()) return report(values);

    int code = kExitSuccess;
    bool have_input = false;
    if (int i = line.find("-input_path")) {
        if (!module.set_input_path(line.value(i))) {
            say(std::string("Error: Input file ") + line.value(i) + " not found");
            return kExitError;
        }
        have_input = true;
    } else {
        say("Syntax Error: nogui argument requires input_path argument");
        code = kExitUsage;
    }

    const int o = line.find("-output_path");
    if (!o) {
        say("Syntax Error: nogui argument requires output_path argument");
        return kExitUsage;
    }
    if (!module.set_output_path(line.value(o))) {
        say(std::string("Error: Output file ") + line.value(o) + " could not be created");
        return kExitError;
    }
    const AnalysisStatus tuning = apply_tuning(module, line);
    if (!tuning.ok()) return report(tuning);
    if (!have_input) return code;

    *ran = true;
    return finish_run(module);
}

// An MPI process other than 0: its own tuning options, then the run on the
// input that process 0 shares. A refusal here still waits for process 0's
// input, so that the whole group ends together: with this refusal's line
// and exit code when process 0 has started a run, silently with process 0's
// exit code when process 0 makes none (it reports its own reason).
int worker_sequence(AnalysisModule& module, const CommandLine& line) {
    AnalysisStatus refusal = line.check_values();
    if (refusal.ok()) refusal = apply_tuning(module, line);
    if (!refusal.ok()) return report(module.refuse_run(refusal));
    return finish_run(module);
}

void say_window_not_built() {
    say("Error: The window mode is not built yet; run with -nogui");
}

int run_without_mpi(int argc, char** argv, bool batch) {
    if (!batch) {
        say_window_not_built();
        return kExitError;
    }
    AnalysisModule module;
    bool ran = false;
    return batch_sequence(module, CommandLine(&argc, argv), &ran);
}

int run_with_mpi(int argc, char** argv, bool batch) {
    const int rank = MpiProcessGroup::initialize(&argc, &argv);
    // Options are read from what MPI_Init left of the command line.
    const CommandLine line(&argc, argv);
    int code = kExitSuccess;
    {
        AnalysisModule module(rank);
        if (rank != 0) {
            code = worker_sequence(module, line);
        } else if (!batch) {
            say_window_not_built();
            code = kExitError;
            module.release_group(code);
        } else {
            bool ran = false;
            code = batch_sequence(module, line, &ran);
            if (!ran) module.release_group(code);
        }
    }
    MpiProcessGroup::finalize();
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    const bool mpi = find_argument(&argc, argv, "-mpi") != 0;
    const bool batch = find_argument(&argc, argv, "-nogui") != 0;
    return mpi ? run_with_mpi(argc, argv, batch) : run_without_mpi(argc, argv, batch);
}
