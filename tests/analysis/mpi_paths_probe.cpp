// Under mpiexec: one MPI run of the same input with each form of the
// epochs, with the groups shared as the program shares them and with every
// group shared, each appending its line to OUTPUT-FORM.tre.
//
//   mpi_paths_probe INPUT OUTPUT

#include <climits>
#include <sstream>
#include <string>

#include "analysis/analysismodule.h"
#include "analysis/mpiprocessgroup.h"
#include "analysis/straightforwardepochcompute.h"

int main(int argc, char** argv) {
    const int rank = MpiProcessGroup::initialize(&argc, &argv);
    if (argc != 3) return 2;
    struct Form {
        const char* name;
        EpochComputeFactory make;
        long long shared_work;
    };
    const Form forms[] = {
        {"fast", make_fast_epoch_compute, AnalysisOptions::kSharedEpochWork},
        {"fast-shared", make_fast_epoch_compute, 0},
        {"straightforward", make_straightforward_epoch_compute, AnalysisOptions::kSharedEpochWork},
        {"straightforward-shared", make_straightforward_epoch_compute, 0},
    };
    int code = 0;
    for (const Form& form : forms) {
        AnalysisModule module(rank);
        module.options.epoch_compute = form.make;
        module.options.shared_epoch_work = form.shared_work;
        std::ostringstream quiet;
        module.options.console = &quiet;
        if (rank == 0) {
            if (!module.set_input_path(argv[1]).ok()) return 1;
            if (!module.set_output_path(std::string(argv[2]) + "-" + form.name + ".tre").ok()) {
                return 1;
            }
        }
        AnalysisModule::run(&module);
        if (!module.run_status.ok()) code = 1;
    }
    MpiProcessGroup::finalize();
    return code;
}
