#pragma once

#include <memory>

#include "analysis/epochcompute.h"

// The epochs by the formulas themselves, position by position: every model
// value, every RMS error and every Kohonen step computed from the Bases of
// the neuron and the taxon. The baseline of the benchmark and the oracle of
// the tests; the program itself runs the fast form.
std::unique_ptr<EpochCompute> make_straightforward_epoch_compute(const EpochSetup& setup);
