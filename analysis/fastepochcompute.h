#pragma once

#include <cstdint>
#include <vector>

#include "analysis/alignedarray.h"
#include "analysis/epochcompute.h"
#include "analysis/epochkernels.h"
#include "analysis/sitepatterns.h"

// The epochs of a split step by look-up tables. The neurons change only in
// the Kohonen update, so during an epoch each model value is a sum over
// positions of one of four terms per position and neuron, one per letter:
// the terms are computed once per epoch and every model value becomes a
// sequence of look-ups and additions, position by position as the formula
// adds them. Equal columns share their terms and their Kohonen steps.
class FastEpochCompute : public EpochCompute {
public:
    explicit FastEpochCompute(const EpochSetup& setup);

    void start_step(SeqVector* const* group, int n, const int* classified, int count) override;
    void reset_neurons() override;
    void model_values(double* values) override;
    double rms_error(int j, int k) override;
    void kohonen_update(SeqVector* const* const members[2], const int counts[2]) override;
    void kohonen_update_part(SeqVector* const* const members[2], const int counts[2], int part,
                             int parts, std::vector<double>* packed) override;
    int part_size(int part, int parts) const override;
    void unpack_parts(const double* all, int parts) override;
    bool neurons_equal() const override;
    void finish_step() override;
    void copy_neuron(int k, SeqVector* to) const override;
    void set_neuron(int k, const SeqVector& from) override;

private:
    // share_work on the run's pool.
    template <typename Task>
    void share(long long work, int most, const Task& task);
    // The group's codes per pattern into the code tiles, and the
    // classified inputs' into the blocks.
    void fill_tiles(SeqVector* const* group);
    void fill_blocks(SeqVector* const* group, const int* classified);
    void build_rows(int begin, int end);
    // The members' rows in the code tiles, for the Kohonen kernels.
    void find_member_codes(SeqVector* const* const members[2], const int counts[2]);
    // Kohonen updates of patterns [begin, end), on the pool; the rows of the
    // range follow when `rows` is set.
    void update_range(const int counts[2], int begin, int end, bool rows);
    // The pattern range of task t of `tasks`, in whole tiles.
    void pattern_range(int t, int tasks, int* begin, int* end) const;
    NeuronPlanes planes(int k);
    double* plane(int index);
    const double* plane(int index) const;

    const EpochSetup setup_;
    const EpochKernels& kernels_;
    DistanceModel model_ = DistanceModel::euclidian;
    TermSet terms_ = TermSet::squared;
    int tables_ = 1;

    int length_ = 0;
    int padded_patterns_ = 0;
    SitePatterns patterns_;
    // Row of each taxon id in the code tiles; -1 outside the step's group.
    std::vector<int> row_of_id_;
    // The taxon id of each row: the entries of row_of_id_ that are set.
    std::vector<int> id_of_row_;
    int rows_in_tiles_ = 0;
    // The group's codes per pattern in tiles (see MemberCodes).
    AlignedArray<std::uint8_t> code_tiles_;
    // The classified inputs' codes in blocks of kLanes (see EpochKernels).
    AlignedArray<std::uint8_t> blocks_;
    int classified_ = 0;
    // x, y, z planes of neuron 0, then of neuron 1.
    AlignedArray<double> planes_;
    AlignedArray<double> rows_;
    // Per classified input: its sums as sum_blocks gives them.
    std::vector<double> sums_;
    // Each neuron's members as offsets into a tile (see MemberCodes).
    std::vector<int> member_offsets_[kNeurons];
};
