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
    int check_values() const {
        for (const char* option : kValueOptions) {
            if (find(option) == *argc_ - 1 && find(option) != 0) {
                say(std::string("Syntax Error: ") + option + " requires a value");
                return kExitUsage;
            }
        }
        return kExitSuccess;
    }

private:
    int* argc_;
    char** argv_;
};

// Applies the tuning options present, in their fixed order; refuses an
// unknown model and settings a run cannot work with.
int apply_tuning(AnalysisModule& module, const CommandLine& line) {
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
            say("Unknown distance metric (model)");
            return kExitError;
        }
    }
    if (int i = line.find("-epochs")) module.set_epochs(std::atoi(line.value(i)));
    const AnalysisStatus settings = module.check_settings();
    if (!settings.ok()) {
        say(settings.message());
        return settings.exit_code();
    }
    return kExitSuccess;
}

int finish_run(AnalysisModule& module) {
    AnalysisModule::run(&module);
    if (!module.run_status.message().empty()) say(module.run_status.message());
    return module.run_status.exit_code();
}

// Batch mode, and process 0 of an MPI batch run. *ran tells whether a run
// was made (in MPI the run itself then tells the other processes its end).
int batch_sequence(AnalysisModule& module, const CommandLine& line, bool* ran) {
    *ran = false;
    if (int code = line.check_values()) return code;

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
    if (int tuning = apply_tuning(module, line)) return tuning;
    if (!have_input) return code;

    *ran = true;
    return finish_run(module);
}

// An MPI process other than 0: its own tuning options, then the run on the
// input that process 0 shares. A refusal here ends the whole group, since
// process 0 would otherwise wait for this process in every exchange.
int worker_sequence(AnalysisModule& module, const CommandLine& line) {
    int code = line.check_values();
    if (!code) code = apply_tuning(module, line);
    if (code) module.group->abort(code);
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
