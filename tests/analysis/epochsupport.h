#pragma once

#include <cstdint>
#include <random>
#include <vector>

class AnalysisModule;
class SeqVector;

// What the tests of the epochs' arithmetic share.

// The bits of a double: the forms of the arithmetic must agree on every one.
std::uint64_t bits(double value);

// Random taxa of a run (ids 0 to n - 1), each column drawn from
// `min_letters` to 4 letters. Columns drawn from one or two letters only
// repeat often, so the site patterns are shared by many positions.
std::vector<SeqVector*> random_taxa(AnalysisModule& builder, int n, int length,
                                    std::mt19937& random, int min_letters = 1);
