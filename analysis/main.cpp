// tavrel: infers the branching order of a phylogenetic tree from aligned
// DNA sequences and appends it to a tree file as a Newick topology.

#include <stdio_ext.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "analysis/analysismodule.h"
#include "analysis/blockedsignals.h"
#include "analysis/commandline.h"
#include "analysis/currentrefusal.h"
#include "analysis/grouprelease.h"
#include "analysis/mpiprocessgroup.h"
#include "analysis/outputrelay.h"
#include "analysis/processsignals.h"
#include "analysis/showntext.h"
#include "analysis/standarddescriptors.h"
#include "analysis/terminationwatcher.h"
#include "analysis/treefile.h"
#include "glow/core/Glow.h"
#include "gui/GUI.h"

namespace {

constexpr int kExitError = 1;
constexpr const char* kDisplayOption = "-display";
constexpr const char* kDisplayLost = "Error: the window or its display was lost";

// The window's process is process 0 of an MPI group.
bool window_of_group = false;

// The one place that shows a message: one line on standard output, flushed
// at once (handed to the output relay while it runs). Gives the status's
// exit code.
int report(const AnalysisStatus& status) {
    if (!status.message().empty() && !relay_line(status.message())) {
        std::cout << status.message() << std::endl;
    }
    return status.exit_code();
}

// Applies the tuning options present, in their fixed order; refuses an
// unknown model and settings a run cannot work with.
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

AnalysisStatus run_once(AnalysisModule& module) {
    AnalysisModule::run(&module);
    return module.run_status;
}

// Batch mode, and process 0 of an MPI batch run: gives the failure that
// ends it, or the run's outcome. A missing input path is shown at once but
// ends nothing yet: the output path and the tuning options are still
// checked, and then no run is made.
AnalysisStatus batch_sequence(AnalysisModule& module, const CommandLine& line) {
    AnalysisStatus status = line.check_values();
    if (!status.ok()) return status;

    const int input = line.find("-input_path");
    if (input) {
        status = module.set_input_path(line.value(input));
        if (!status.ok()) return status;
    } else {
        report(AnalysisStatus::failure("Syntax Error: nogui argument requires input_path argument",
                                       CommandLine::kExitUsage));
    }
    const int output = line.find("-output_path");
    if (!output) {
        return AnalysisStatus::failure("Syntax Error: nogui argument requires output_path argument",
                                       CommandLine::kExitUsage);
    }
    status = module.set_output_path(line.value(output));
    if (!status.ok()) return status;
    status = apply_tuning(module, line);
    if (!status.ok()) return status;
    if (!input) return AnalysisStatus::silent_failure(CommandLine::kExitUsage);
    return run_once(module);
}

// An MPI process other than 0: its own tuning options, then the run on the
// input that process 0 shares. A refusal here still waits for process 0's
// input, so that the whole group ends together: with this refusal's line
// and exit code when process 0 has started a run, silently with process 0's
// exit code when process 0 makes none (it reports its own reason).
AnalysisStatus worker_sequence(AnalysisModule& module, const CommandLine& line) {
    AnalysisStatus refusal = line.check_values();
    if (refusal.ok()) refusal = apply_tuning(module, line);
    if (!refusal.ok()) return module.refuse_run(refusal);
    AnalysisStatus status = run_once(module);
    // The window's settings differed from this process's: the window may
    // run again with mended settings.
    while (module.group_waits_again()) status = run_once(module);
    return status;
}

// Ends the process at once with standard output flushed, for a run still
// under way on the analysis thread: the objects it uses, static ones
// included, must not be destroyed under it. With `end_mpi`, the run makes
// no further MPI call, and MPI ends as usual.
[[noreturn]] void end_now(int exit_code, bool end_mpi = false) {
    stop_tree_appends();
    if (end_mpi) MpiProcessGroup::finalize();
    end_output_relay();
    std::cout.flush();
    std::fflush(stdout);
    std::_Exit(exit_code);
}

// The window, or the connection to its X server, is gone: called from
// inside Xlib, in the middle of a GLUT or GL call on the event loop's
// thread, where neither may run again. A run under way appends nothing
// more (a line already going into the tree file is finished first). Its
// thread may still print: the line goes out last, through the output relay
// or, without one, under standard output's lock, kept to the end, without
// the piece of a progress line that the thread has left in the stream's
// buffer. The other processes of a group may wait for this one in a
// collective: the group ends.
[[noreturn]] void end_with_lost_display() {
    stop_tree_appends();
    if (!end_output_relay(kDisplayLost)) {
        flockfile(stdout);
        __fpurge(stdout);
        std::fputs(kDisplayLost, stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    if (window_of_group) MpiProcessGroup::abort(kExitError);
    std::_Exit(kExitError);
}

// The window mode, and process 0 of an MPI window run: the window until
// "Quit". Only "-mpi" and "-nogui" of the command line mean anything here
// (and what GLUT takes for itself).
AnalysisStatus window_sequence(AnalysisModule& module, int* argc, char** argv) {
    // GLUT's own option, which GLUT would refuse by ending the process.
    const int display_option = CommandLine(argc, argv).find(kDisplayOption);
    if (display_option != 0 && display_option == *argc - 1) {
        return AnalysisStatus::failure(
            std::string("Syntax Error: ") + kDisplayOption + " requires a value",
            CommandLine::kExitUsage);
    }
    std::string display;
    if (!glow::Glow::CanOpenDisplay(*argc, argv, &display)) {
        display = display.empty() ? "(DISPLAY is not set)" : shown_text(display);
        return AnalysisStatus::failure("Error: cannot open the display " + display +
                                       "; run with -nogui for batch mode");
    }
    // Standard output's reader may stop reading: neither the window nor its
    // end waits for it.
    if (start_output_relay()) module.options.console = &relayed_run_lines();
    // Before GLUT and the GL driver start threads of their own.
    start_termination_watcher();
    window_of_group = module.mpi_mode;
    glow::Glow::SetDisplayLostHandler(end_with_lost_display);
    glow::Glow::Init(argc, argv);
    GUI gui(&module);
    AnalysisStatus status = AnalysisStatus::success();
    try {
        status = gui.Run();
    } catch (...) {
        // The window itself met a refusal: a run under way, which may hold
        // the other processes of a group in a collective, cannot be waited
        // for.
        status = current_refusal(kNoMemory);
    }
    if (gui.analysisThread.IsRunning()) end_now(report(status), module.left_group_run());
    return status;
}

// Runs a mode's sequence; the standard library's refusals that reach it
// from outside a run (reading the command line, building the window) end it
// with their line and exit code 1. With `others_may_wait`, another process
// may wait for this one in a collective that it will never make: then the
// group must end at once.
template <typename Sequence>
AnalysisStatus guarded(const Sequence& sequence, bool others_may_wait) {
    try {
        return sequence();
    } catch (...) {
        return current_refusal(kNoMemory).ending_group(others_may_wait);
    }
}

int run_without_mpi(int argc, char** argv, bool batch) {
    const int code = report(guarded(
        [&] {
            AnalysisModule module;
            if (!batch) return window_sequence(module, &argc, argv);
            return batch_sequence(module, CommandLine(&argc, argv));
        },
        false));
    end_output_relay();
    return code;
}

// Process 0 of an MPI group: batch, or the window, which needs MPI calls
// from its analysis thread.
AnalysisStatus process_zero_sequence(AnalysisModule& module, int* argc, char** argv, bool batch) {
    if (batch) return batch_sequence(module, CommandLine(argc, argv));
    const AnalysisStatus threads = MpiProcessGroup::thread_support();
    if (!threads.ok()) return threads;
    return window_sequence(module, argc, argv);
}

// MPI_Init starts MPI's own threads (UCX's, for one). Made while the
// signals that end a process are blocked, they keep the block, so such a
// signal always reaches a thread of the program, which holds it off while
// it writes the tree file.
int initialize_mpi(int* argc, char*** argv, bool threaded) {
    const BlockedSignals held(BlockedSignals::termination());
    const int rank = MpiProcessGroup::initialize(argc, argv, threaded);
    restore_start_dispositions();
    return rank;
}

int run_with_mpi(int argc, char** argv, bool batch) {
    const int rank = initialize_mpi(&argc, &argv, !batch);
    // Options are read from what MPI_Init left of the command line.
    AnalysisStatus status = AnalysisStatus::success();
    if (rank != 0) {
        // Process 0 waits for this one from the start.
        status = guarded(
            [&] {
                AnalysisModule module(rank);
                return worker_sequence(module, CommandLine(&argc, argv));
            },
            true);
    } else {
        // Until process 0 has its group, nothing can tell the others that
        // no input comes.
        std::unique_ptr<AnalysisModule> module;
        status = guarded(
            [&] {
                module = std::make_unique<AnalysisModule>(rank);
                return AnalysisStatus::success();
            },
            true);
        if (module) {
            GroupRelease release(module->group_protocol());
            status =
                guarded([&] { return process_zero_sequence(*module, &argc, argv, batch); }, false);
            release.ending(status.exit_code());
        }
    }
    const int code = report(status);
    end_output_relay();
    if (status.ends_group_now()) MpiProcessGroup::abort(code);
    MpiProcessGroup::finalize();
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    const int no_null = open_standard_descriptors();
    restore_start_dispositions();
    drop_unwritable_output();
    if (no_null != 0) {
        return report(AnalysisStatus::failure(
            std::string("Error: /dev/null could not be opened for a closed standard stream: ") +
            std::strerror(no_null)));
    }
    const bool mpi = find_argument(&argc, argv, "-mpi") != 0;
    const bool batch = find_argument(&argc, argv, "-nogui") != 0;
    return mpi ? run_with_mpi(argc, argv, batch) : run_without_mpi(argc, argv, batch);
}
