#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A deterministic simulated alignment: a random binary tree (taxa joined two
// at a time in random order), a random root sequence, and Jukes-Cantor
// changes along every branch. The same sizes and seed give the same
// alignment on every machine.
struct SimulatedAlignment {
    std::vector<std::string> names;
    std::vector<std::string> sequences;
    // The true tree, rooted, without branch lengths.
    std::string newick;
};

SimulatedAlignment simulate_alignment(int taxa, int length, std::uint64_t seed);

// The alignment as tavrel reads it, and in Stockholm format for quicktree.
std::string sequence_file_text(const SimulatedAlignment& alignment);
std::string stockholm_text(const SimulatedAlignment& alignment);
