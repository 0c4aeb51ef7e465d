// The epoch kernels of every form this processor runs: the Kohonen steps
// over a range of site patterns, against the formula member by member.

#include "analysis/epochkernels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "analysis/alignedarray.h"
#include "analysis/seqvector.h"
#include "epochsupport.h"

TEST(EpochKernels, KohonenStepsOfEveryTileWidthAreTheFormulas) {
    // Ranges that end in every width of a last tile, after whole tiles or
    // alone, against n + rate * (x - n) member by member.
    std::mt19937 random(5);
    constexpr int kRows = 6;
    constexpr int kPatterns = 3 * kTile;
    std::vector<std::uint8_t> tiles(static_cast<std::size_t>(kPatterns) * kRows);
    for (std::uint8_t& code : tiles) code = static_cast<std::uint8_t>(random() % 4);
    // Members in an order of their own, one of them twice.
    const std::vector<int> rows = {4, 0, 5, 2, 0};
    std::vector<int> offsets;
    for (int r : rows) offsets.push_back(r * kTile);
    const MemberCodes members = {tiles.data(), kRows, offsets.data(),
                                 static_cast<int>(offsets.size())};
    const double rate = 0.3;
    std::uniform_real_distribution<double> coordinate(-0.5, 1.5);
    for (const EpochKernels* const* form = EpochKernels::available(); *form; ++form) {
        for (const int begin : {0, kTile}) {
            for (int end = begin + kPatternStep; end <= begin + 2 * kTile; end += kPatternStep) {
                SCOPED_TRACE(std::string((*form)->name) + " [" + std::to_string(begin) + ", " +
                             std::to_string(end) + ")");
                AlignedArray<double> planes;
                planes.reserve(3 * kPatterns);
                for (int v = 0; v < 3 * kPatterns; ++v) planes[v] = coordinate(random);
                std::vector<double> expected(planes.data(), planes.data() + 3 * kPatterns);
                for (int r : rows) {
                    for (int p = begin; p < end; ++p) {
                        const std::uint8_t code =
                            tiles[(static_cast<std::size_t>(p / kTile) * kRows + r) * kTile +
                                  p % kTile];
                        const Base& letter = Base::corner(code);
                        const double target[3] = {letter.x, letter.y, letter.z};
                        for (int c = 0; c < 3; ++c) {
                            double& n = expected[c * kPatterns + p];
                            n = n + rate * (target[c] - n);
                        }
                    }
                }
                const NeuronPlanes neuron = {planes.data(), planes.data() + kPatterns,
                                             planes.data() + 2 * kPatterns};
                (*form)->kohonen(neuron, members, rate, begin, end);
                int differing = 0;
                for (int v = 0; v < 3 * kPatterns; ++v) {
                    differing += bits(planes[v]) != bits(expected[v]);
                }
                EXPECT_EQ(differing, 0);
            }
        }
    }
}
