#pragma once

#include "analysis/distancemodels.h"

// What a run computes with: the user's tuning settings and this process's
// place in its MPI group. The analysis object holds them as its own fields
// (AnalysisModule::epochs and the rest), which the training reads where it
// uses them, through this part of the object alone.
struct AnalysisSettings {
    double conscience_learning_rate = 0.001;
    double kohonen_learning_rate = 0.04;
    double convergence_threshold = 0.25;
    int epochs = 100;
    DistanceFunction distance_metric = euclidian_distance;

    // The run is one process of an MPI group.
    bool mpi_mode = false;
    // The number of processes in the group (one process without MPI); the
    // name is from when each process had a processor of its own.
    int num_processors = 1;
    int rank = 0;
};
