#include "analysis/straightforwardepochcompute.h"

#include <cstring>
#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/check.h"

namespace {

class StraightforwardEpochCompute : public EpochCompute {
public:
    explicit StraightforwardEpochCompute(const EpochSetup& setup) : setup_(setup) {
        for (int k = 0; k < kNeurons; ++k) {
            neuron_[k].name = "weight";
            neuron_[k].id = setup.taxa + k;
        }
    }

    void start_step(SeqVector* const* group, int n, const int* classified, int count) override {
        tavrel_assert(n > 0);
        for (int k = 0; k < kNeurons; ++k) neuron_[k].allocate(group[0]->length);
        inputs_.assign(count, nullptr);
        for (int j = 0; j < count; ++j) inputs_[j] = group[classified[j]];
        reset_neurons();
    }

    void reset_neurons() override {
        for (SeqVector& neuron : neuron_) AnalysisModule::init_neuron(&neuron);
    }

    void model_values(double* values) override {
        for (std::size_t j = 0; j < inputs_.size(); ++j) {
            for (int k = 0; k < kNeurons; ++k) {
                values[2 * j + k] = setup_.model(&neuron_[k], inputs_[j], setup_.constants);
            }
        }
    }

    double rms_error(int j, int k) override {
        return AnalysisModule::rms_error(&neuron_[k], inputs_[j]);
    }

    void kohonen_update(SeqVector* const* const members[2], const int counts[2]) override {
        update_positions(members, counts, 0, neuron_[0].length);
    }

    // A part is a range of positions: the three coordinates of both neurons
    // at each position.
    void kohonen_update_part(SeqVector* const* const members[2], const int counts[2], int part,
                             int parts, std::vector<double>* packed) override {
        int begin = 0;
        int end = 0;
        positions(part, parts, &begin, &end);
        update_positions(members, counts, begin, end);
        packed->clear();
        for (int i = begin; i < end; ++i) {
            for (const SeqVector& neuron : neuron_) {
                packed->push_back(neuron.data[i].x);
                packed->push_back(neuron.data[i].y);
                packed->push_back(neuron.data[i].z);
            }
        }
    }

    int part_size(int part, int parts) const override {
        int begin = 0;
        int end = 0;
        positions(part, parts, &begin, &end);
        return kValuesPerPosition * (end - begin);
    }

    void unpack_parts(const double* all, int parts) override {
        const int length = neuron_[0].length;
        for (int i = 0; i < length; ++i) {
            for (SeqVector& neuron : neuron_) {
                neuron.data[i].x = *all++;
                neuron.data[i].y = *all++;
                neuron.data[i].z = *all++;
            }
        }
        static_cast<void>(parts);
    }

    bool neurons_equal() const override {
        return std::memcmp(neuron_[0].data, neuron_[1].data, sizeof(Base) * neuron_[0].length) == 0;
    }

    void copy_neuron(int k, SeqVector* to) const override {
        to->allocate(neuron_[k].length);
        for (int i = 0; i < neuron_[k].length; ++i) to->data[i] = neuron_[k].data[i];
    }

    void set_neuron(int k, const SeqVector& from) override {
        tavrel_assert(from.length == neuron_[k].length);
        for (int i = 0; i < from.length; ++i) neuron_[k].data[i] = from.data[i];
    }

private:
    static constexpr int kValuesPerPosition = kNeurons * 3;

    // Moves positions [begin, end) of neuron 0, then of neuron 1, towards
    // each of its members in list order.
    void update_positions(SeqVector* const* const members[2], const int counts[2], int begin,
                          int end) {
        for (int k = 0; k < kNeurons; ++k) {
            for (int m = 0; m < counts[k]; ++m) {
                AnalysisModule::kohonen_update(&neuron_[k], members[k][m], setup_.kohonen_rate,
                                               begin, end);
            }
        }
    }

    void positions(int part, int parts, int* begin, int* end) const {
        const long long length = neuron_[0].length;
        *begin = static_cast<int>(length * part / parts);
        *end = static_cast<int>(length * (part + 1) / parts);
    }

    const EpochSetup setup_;
    SeqVector neuron_[kNeurons];
    std::vector<SeqVector*> inputs_;
};

}  // namespace

std::unique_ptr<EpochCompute> make_straightforward_epoch_compute(const EpochSetup& setup) {
    return std::make_unique<StraightforwardEpochCompute>(setup);
}
