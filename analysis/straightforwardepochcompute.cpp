#include "analysis/straightforwardepochcompute.h"

#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/check.h"

namespace {

constexpr int kNeurons = 2;

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
        for (int k = 0; k < kNeurons; ++k) {
            for (int m = 0; m < counts[k]; ++m) {
                AnalysisModule::kohonen_update(&neuron_[k], members[k][m], setup_.kohonen_rate);
            }
        }
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
    const EpochSetup setup_;
    SeqVector neuron_[kNeurons];
    std::vector<SeqVector*> inputs_;
};

}  // namespace

std::unique_ptr<EpochCompute> make_straightforward_epoch_compute(const EpochSetup& setup) {
    return std::make_unique<StraightforwardEpochCompute>(setup);
}
