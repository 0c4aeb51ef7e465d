#include "robinsonfoulds.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>

namespace {

using Split = std::vector<std::uint64_t>;

// Reads a Newick text into the leaf sets of its subtrees.
class NewickReader {
public:
    explicit NewickReader(const std::string& text) : text_(text) {}

    // False when the text is not a tree.
    bool read() {
        std::vector<std::vector<int>> open;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '(') {
                open.emplace_back();
                ++at_;
            } else if (c == ',' || c == ' ' || c == '\n' || c == '\r' || c == '\t') {
                ++at_;
            } else if (c == ')') {
                if (open.empty()) return false;
                ++at_;
                std::vector<int> leaves = std::move(open.back());
                open.pop_back();
                skip_label_and_length();
                subtrees_.push_back(leaves);
                if (!open.empty()) {
                    open.back().insert(open.back().end(), leaves.begin(), leaves.end());
                }
            } else if (c == ';') {
                break;
            } else {
                const std::string name = read_name();
                if (name.empty()) return false;
                skip_label_and_length();
                const int leaf = static_cast<int>(taxa_.size());
                taxa_.push_back(name);
                if (!open.empty()) open.back().push_back(leaf);
            }
        }
        return open.empty();
    }

    const std::vector<std::string>& taxa() const { return taxa_; }
    const std::vector<std::vector<int>>& subtrees() const { return subtrees_; }

private:
    std::string read_name() {
        std::string name;
        if (text_[at_] == '\'') {
            ++at_;
            while (at_ < text_.size()) {
                if (text_[at_] == '\'') {
                    if (at_ + 1 < text_.size() && text_[at_ + 1] == '\'') {
                        name += '\'';
                        at_ += 2;
                        continue;
                    }
                    ++at_;
                    break;
                }
                name += text_[at_++];
            }
            return name;
        }
        while (at_ < text_.size() && std::string("(),:;").find(text_[at_]) == std::string::npos &&
               text_[at_] != ' ' && text_[at_] != '\n') {
            name += text_[at_++];
        }
        return name;
    }

    // An inner node's label and a branch length are of no interest here.
    void skip_label_and_length() {
        while (at_ < text_.size() && std::string(",);").find(text_[at_]) == std::string::npos) {
            ++at_;
        }
    }

    const std::string& text_;
    std::size_t at_ = 0;
    std::vector<std::string> taxa_;
    std::vector<std::vector<int>> subtrees_;
};

// The non-trivial splits of a tree, each as the side without the first
// taxon (by name order), as bit sets over the taxa sorted by name.
bool splits_of(const std::string& newick, std::vector<std::string>* names,
               std::set<Split>* splits) {
    NewickReader reader(newick);
    if (!reader.read()) return false;
    *names = reader.taxa();
    std::sort(names->begin(), names->end());
    std::map<std::string, int> index;
    for (std::size_t i = 0; i < names->size(); ++i) index[(*names)[i]] = static_cast<int>(i);
    if (index.size() != names->size()) return false;
    const int n = static_cast<int>(names->size());
    const std::size_t words = (names->size() + 63) / 64;
    for (const std::vector<int>& subtree : reader.subtrees()) {
        Split split(words, 0);
        for (int leaf : subtree) {
            const int bit = index[reader.taxa()[leaf]];
            split[bit / 64] |= std::uint64_t{1} << (bit % 64);
        }
        if (split[0] & 1) {
            for (std::uint64_t& word : split) word = ~word;
            if (n % 64) split.back() &= (std::uint64_t{1} << (n % 64)) - 1;
        }
        int size = 0;
        for (std::uint64_t word : split) size += __builtin_popcountll(word);
        if (size >= 2 && size <= n - 2) splits->insert(split);
    }
    return true;
}

}  // namespace

double normalised_robinson_foulds(const std::string& first, const std::string& second) {
    std::vector<std::string> first_names;
    std::vector<std::string> second_names;
    std::set<Split> first_splits;
    std::set<Split> second_splits;
    if (!splits_of(first, &first_names, &first_splits) ||
        !splits_of(second, &second_names, &second_splits) || first_names != second_names) {
        return -1.0;
    }
    const std::size_t total = first_splits.size() + second_splits.size();
    if (total == 0) return 0.0;
    std::size_t shared = 0;
    for (const Split& split : first_splits) shared += second_splits.count(split);
    return static_cast<double>(total - 2 * shared) / static_cast<double>(total);
}

std::vector<std::string> newick_taxa(const std::string& newick) {
    NewickReader reader(newick);
    reader.read();
    return reader.taxa();
}
