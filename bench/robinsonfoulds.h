#pragma once

#include <string>
#include <vector>

// The normalised Robinson-Foulds distance of two trees over the same taxa
// (Newick texts; branch lengths and inner labels are ignored, roots too):
// the splits found in one tree only, over the splits of both. 0 for the
// same unrooted topology, 1 for trees that share no split. Negative when a
// text cannot be read or the taxa differ.
double normalised_robinson_foulds(const std::string& first, const std::string& second);

// The taxon names of a Newick text in order of appearance (for checks).
std::vector<std::string> newick_taxa(const std::string& newick);
