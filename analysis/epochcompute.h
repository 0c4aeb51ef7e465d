#pragma once

#include <memory>
#include <vector>

#include "analysis/distancemodels.h"
#include "analysis/neurons.h"

class WorkerPool;
struct EpochKernels;

// What a run's epochs are computed with, fixed when the run starts.
struct EpochSetup {
    DistanceFunction model = euclidian_distance;
    ModelConstants constants;
    double kohonen_rate = 0.04;
    // The run's taxa are numbered 0 to taxa - 1; its neurons come after them.
    int taxa = 0;
    // Threads for the phases of an epoch; null runs everything on the caller.
    WorkerPool* pool = nullptr;
    // The form of the fast loops; null takes the best this processor runs.
    const EpochKernels* kernels = nullptr;
};

// The arithmetic of a split step's epochs: the model values of the inputs
// against both neurons, the RMS error of an input against its winner, and
// the Kohonen updates. The conscience, the winners, the member lists and
// the exchange between processes belong to the caller. One object serves
// every step of a run in turn.
class EpochCompute {
public:
    virtual ~EpochCompute() = default;

    // A new step on `group` (n taxa of equal length), its neurons reset as
    // for a first attempt. `classified` lists, in ascending order, the
    // indices into the group of the inputs whose model values this process
    // computes.
    virtual void start_step(SeqVector* const* group, int n, const int* classified, int count) = 0;
    // Both neurons at 0.5 in every coordinate, as every attempt starts.
    virtual void reset_neurons() = 0;
    // values[2 * j + k]: the model value of classified input j against
    // neuron k, for every classified input.
    virtual void model_values(double* values) = 0;
    // The RMS error of classified input j against neuron k, after
    // model_values.
    virtual double rms_error(int j, int k) = 0;
    // Moves neuron 0, then neuron 1, towards each of its members in list
    // order.
    virtual void kohonen_update(SeqVector* const* const members[2], const int counts[2]) = 0;
    // The Kohonen update shared by `parts` processes: this one updates its
    // part of the neurons only and packs the result into `packed`, which the
    // processes exchange; unpack_parts then takes every part, in order.
    virtual void kohonen_update_part(SeqVector* const* const members[2], const int counts[2],
                                     int part, int parts, std::vector<double>* packed) = 0;
    // Doubles in the packed form of a part.
    virtual int part_size(int part, int parts) const = 0;
    virtual void unpack_parts(const double* all, int parts) = 0;
    // Whether the two neurons hold the same doubles at every position.
    virtual bool neurons_equal() const = 0;
    // The step's training is over: large buffers may go.
    virtual void finish_step() {}
    // Neuron k position by position, and back (for tests).
    virtual void copy_neuron(int k, SeqVector* to) const = 0;
    virtual void set_neuron(int k, const SeqVector& from) = 0;
};

using EpochComputeFactory = std::unique_ptr<EpochCompute> (*)(const EpochSetup& setup);

// Look-up tables per site pattern, the same doubles as the formulas; the
// program's own.
std::unique_ptr<EpochCompute> make_fast_epoch_compute(const EpochSetup& setup);
