#include "simulator.h"

#include <cmath>
#include <sstream>
#include <utility>

namespace {

// Expected substitutions per site on a branch.
constexpr double kMeanBranchLength = 0.03;
constexpr char kLetters[] = "ACGT";
constexpr int kLetterCount = 4;

// SplitMix64: a small generator whose output is fixed by its definition,
// unlike the distributions of the standard library.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }

private:
    std::uint64_t state_;
};

struct Node {
    int children[2] = {-1, -1};
};

}  // namespace

SimulatedAlignment simulate_alignment(int taxa, int length, std::uint64_t seed) {
    Random random(seed);
    std::vector<Node> nodes(taxa);
    std::vector<int> active(taxa);
    for (int i = 0; i < taxa; ++i) active[i] = i;
    while (active.size() > 1) {
        Node joined;
        for (int& child : joined.children) {
            const int pick = random.below(static_cast<int>(active.size()));
            child = active[pick];
            active[pick] = active.back();
            active.pop_back();
        }
        active.push_back(static_cast<int>(nodes.size()));
        nodes.push_back(joined);
    }

    SimulatedAlignment alignment;
    alignment.sequences.resize(taxa);
    for (int i = 0; i < taxa; ++i) alignment.names.push_back("t" + std::to_string(i));
    if (taxa == 0) return alignment;

    // Sequences down the tree, and the Newick text, without recursion.
    std::string root(length, 'A');
    for (char& c : root) c = kLetters[random.below(kLetterCount)];
    struct Visit {
        int node;
        std::string sequence;
        int next_child;
    };
    std::vector<Visit> stack;
    stack.push_back({active[0], root, 0});
    std::ostringstream newick;
    while (!stack.empty()) {
        Visit& visit = stack.back();
        if (visit.node < taxa) {
            alignment.sequences[visit.node] = visit.sequence;
            newick << alignment.names[visit.node];
            stack.pop_back();
            continue;
        }
        if (visit.next_child == 2) {
            newick << ')';
            stack.pop_back();
            continue;
        }
        newick << (visit.next_child == 0 ? '(' : ',');
        const int child = nodes[visit.node].children[visit.next_child++];
        const double branch = -kMeanBranchLength * std::log(1.0 - random.uniform());
        const double change = 0.75 * (1.0 - std::exp(-4.0 * branch / 3.0));
        std::string sequence = visit.sequence;
        for (char& c : sequence) {
            // A change is to one of the three other letters.
            if (random.uniform() < change) {
                int letter = 0;
                while (kLetters[letter] != c) ++letter;
                c = kLetters[(letter + 1 + random.below(kLetterCount - 1)) % kLetterCount];
            }
        }
        stack.push_back({child, std::move(sequence), 0});
    }
    newick << ';';
    alignment.newick = newick.str();
    return alignment;
}

std::string sequence_file_text(const SimulatedAlignment& alignment) {
    std::ostringstream text;
    const int length =
        alignment.sequences.empty() ? 0 : static_cast<int>(alignment.sequences[0].size());
    text << alignment.names.size() << ' ' << length << '\n';
    for (std::size_t i = 0; i < alignment.names.size(); ++i) {
        text << alignment.names[i] << ' ' << alignment.sequences[i] << '\n';
    }
    return text.str();
}

std::string stockholm_text(const SimulatedAlignment& alignment) {
    std::ostringstream text;
    text << "# STOCKHOLM 1.0\n";
    for (std::size_t i = 0; i < alignment.names.size(); ++i) {
        text << alignment.names[i] << ' ' << alignment.sequences[i] << '\n';
    }
    text << "//\n";
    return text.str();
}
