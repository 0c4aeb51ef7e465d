#include "analysis/fastepochcompute.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "analysis/check.h"
#include "analysis/workerpool.h"

namespace {

// Code buffers of at least this many bytes are released after their step
// (so that the larger steps' stay for no longer than they train); of at
// most kKeptCodesFloor never. In between, the input decides: the buffers
// every thread keeps add at most kKeptCodesShare of a byte per position.
constexpr std::size_t kKeptCodes = std::size_t{1} << 20;
constexpr std::size_t kKeptCodesFloor = std::size_t{64} << 10;
constexpr std::size_t kKeptCodesShare = 2;
constexpr int kPlanesPerNeuron = 3;
// Taxa whose letters a fill of the code tiles reads at a time, across its
// tiles.
constexpr int kSliceRows = 64;

TermSet terms_of(DistanceModel model) {
    switch (model) {
        case DistanceModel::euclidian:
            return TermSet::squared;
        case DistanceModel::jc:
            return TermSet::distance_and_squared;
        case DistanceModel::k2p:
        case DistanceModel::f81:
        case DistanceModel::f84:
            return TermSet::substitutions_and_squared;
    }
    return TermSet::squared;
}

int padded(int count) {
    return (count + kPatternStep - 1) / kPatternStep * kPatternStep;
}

int tiles_of(int patterns) {
    return (patterns + kTile - 1) / kTile;
}

// Task t of `tasks`: its share [first, last) of the patterns [begin, end),
// `begin` the start of a tile, in whole tiles (the last may be partial).
void tile_range(int begin, int end, int t, int tasks, int* first, int* last) {
    const long long tiles = tiles_of(end - begin);
    *first = std::min(end, begin + static_cast<int>(tiles * t / tasks) * kTile);
    *last = std::min(end, begin + static_cast<int>(tiles * (t + 1) / tasks) * kTile);
}

// Writes the codes of `count` inputs' letters into a block, position by
// position: input l's code at position i is byte i * kLanes + l.
void interleave_codes(const char* const* lanes, int count, int length, std::uint8_t* block) {
    for (int i = 0; i < length; ++i, block += kLanes) {
        for (int l = 0; l < count; ++l) block[l] = Base::code_of_nucleotide(lanes[l][i]);
    }
}

// The fills below take letters eight at a time, a word's bytes.
constexpr int kWordLetters = sizeof(std::uint64_t);
static_assert(kLanes == kWordLetters, "a block's lanes are the bytes of a word");
static_assert(kTile % kWordLetters == 0, "a tile is whole words");
// Byte k of a word loaded from memory is the letter at address k.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "words of letters are little-endian");
constexpr std::uint64_t kLowTwoBits = 0x0303030303030303ULL;

// The codes of eight letters in one word, each byte as code_of_nucleotide
// gives it: the bits that the shifts carry in from the next byte are masked
// off.
std::uint64_t word_codes(const char* letters) {
    std::uint64_t word;
    std::memcpy(&word, letters, sizeof word);
    return ((word >> 1) ^ (word >> 2)) & kLowTwoBits;
}

// Transposes 8 x 8 bytes in place: byte k of word l goes to byte l of word
// k, by swapping ever smaller off-diagonal blocks.
void transpose_bytes(std::uint64_t* x) {
    constexpr std::uint64_t kMasks[] = {0x00000000ffffffffULL, 0x0000ffff0000ffffULL,
                                        0x00ff00ff00ff00ffULL};
    int half = kWordLetters / 2;
    for (const std::uint64_t mask : kMasks) {
        const int shift = 8 * half;
        for (int l = 0; l < kWordLetters; ++l) {
            if (l & half) continue;
            const std::uint64_t t = ((x[l] >> shift) ^ x[l + half]) & mask;
            x[l + half] ^= t;
            x[l] ^= t << shift;
        }
        half /= 2;
    }
}

// The codes of a whole tile of letters in order, a word at a time.
void encode_tile(const char* letters, std::uint8_t* codes) {
    for (int q = 0; q < kTile; q += kWordLetters) {
        const std::uint64_t word = word_codes(letters + q);
        std::memcpy(codes + q, &word, sizeof word);
    }
}

// interleave_codes for a block of kLanes inputs: a word of every lane at a
// time.
void interleave_full(const char* const* lanes, int length, std::uint8_t* block) {
    std::uint64_t words[kLanes];
    int i = 0;
    for (; i + kWordLetters <= length; i += kWordLetters, block += sizeof words) {
        for (int l = 0; l < kLanes; ++l) words[l] = word_codes(lanes[l] + i);
        transpose_bytes(words);
        std::memcpy(block, words, sizeof words);
    }
    const char* rest[kLanes];
    for (int l = 0; l < kLanes; ++l) rest[l] = lanes[l] + i;
    interleave_codes(rest, kLanes, length - i, block);
}

// Room for `bytes` codes; whether the buffer is new, its pages not yet mapped.
bool reserve_codes(AlignedArray<std::uint8_t>* codes, std::size_t bytes) {
    const bool grows = bytes > codes->capacity();
    codes->reserve(bytes);
    return grows;
}

// Maps the whole pages of [begin, begin + bytes) of a new buffer in one call:
// filling it would take a page fault per page. Where the system cannot, the
// writes fault as before.
void map_pages(void* begin, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    static const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (start + page - 1) & ~(page - 1);
    const std::uintptr_t last = (start + bytes) & ~(page - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
    (void)begin;
    (void)bytes;
#endif
}

}  // namespace

std::unique_ptr<EpochCompute> make_fast_epoch_compute(const EpochSetup& setup) {
    return std::make_unique<FastEpochCompute>(setup);
}

FastEpochCompute::FastEpochCompute(const EpochSetup& setup)
    : setup_(setup), kernels_(setup.kernels ? *setup.kernels : EpochKernels::best()) {
    const bool known = identify_distance_model(setup.model, &model_);
    tavrel_assert(known);
    terms_ = terms_of(model_);
    tables_ = tables_of(terms_);
    row_of_id_.assign(setup.taxa, -1);
}

template <typename Task>
void FastEpochCompute::share(long long work, int most, const Task& task) {
    share_work(setup_.pool, work, most, task);
}

NeuronPlanes FastEpochCompute::planes(int k) {
    return {plane(k * kPlanesPerNeuron), plane(k * kPlanesPerNeuron + 1),
            plane(k * kPlanesPerNeuron + 2)};
}

void FastEpochCompute::pattern_range(int t, int tasks, int* begin, int* end) const {
    tile_range(0, padded_patterns_, t, tasks, begin, end);
}

void FastEpochCompute::start_step(SeqVector* const* group, int n, const int* classified,
                                  int count) {
    tavrel_assert(n > 0);
    length_ = group[0]->length;
    patterns_.find(group, n, length_, setup_.pool);
    padded_patterns_ = padded(patterns_.count());

    // Only the last group's rows are marked: resetting every taxon's would
    // cost the whole run's taxa at every step.
    for (const int id : id_of_row_) row_of_id_[id] = -1;
    id_of_row_.resize(n);
    for (int r = 0; r < n; ++r) {
        tavrel_assert(group[r]->id >= 0 && group[r]->id < setup_.taxa);
        tavrel_assert(group[r]->length == length_ && !group[r]->data);
        row_of_id_[group[r]->id] = r;
        id_of_row_[r] = group[r]->id;
    }
    rows_in_tiles_ = n;
    fill_tiles(group);

    classified_ = count;
    fill_blocks(group, classified);
    const int blocks = (count + kLanes - 1) / kLanes;
    sums_.assign(static_cast<std::size_t>(blocks) * kLanes * tables_ * kNeurons, 0.0);

    planes_.reserve(static_cast<std::size_t>(kNeurons) * kPlanesPerNeuron * padded_patterns_);
    rows_.reserve(static_cast<std::size_t>(padded_patterns_) * tables_ * kTermsPerTable);
    reset_neurons();
}

void FastEpochCompute::fill_tiles(SeqVector* const* group) {
    const int n = rows_in_tiles_;
    const int patterns = patterns_.count();
    const int tiles = tiles_of(padded_patterns_);
    const std::size_t tile_bytes = static_cast<std::size_t>(n) * kTile;
    const bool fresh = reserve_codes(&code_tiles_, tiles * tile_bytes);
    // Every column distinct: pattern p is position p, read in order.
    const int* const first = patterns_.count() == length_ ? nullptr : patterns_.first_positions();
    // Each task writes whole tiles, one after the other, taking the rows a
    // slice at a time so that their letters stay in the cache.
    share(static_cast<long long>(n) * padded_patterns_, tiles, [&](int t, int tasks) {
        const int first_tile = static_cast<int>(static_cast<long long>(tiles) * t / tasks);
        const int last_tile = static_cast<int>(static_cast<long long>(tiles) * (t + 1) / tasks);
        std::uint8_t* const start = code_tiles_.data() + first_tile * tile_bytes;
        if (fresh) map_pages(start, (last_tile - first_tile) * tile_bytes);
        for (int slice = 0; slice < n; slice += kSliceRows) {
            const int slice_end = std::min(n, slice + kSliceRows);
            for (int tile = first_tile; tile < last_tile; ++tile) {
                const int begin = tile * kTile;
                // The kernels run over whole tiles: the codes past the last
                // pattern are those of A.
                const int used = std::min(kTile, patterns - begin);
                std::uint8_t* row = code_tiles_.data() + tile * tile_bytes +
                                    static_cast<std::size_t>(slice) * kTile;
                for (int r = slice; r < slice_end; ++r, row += kTile) {
                    const char* letters = group[r]->letters.data();
                    if (!first && used == kTile) {
                        encode_tile(letters + begin, row);
                    } else {
                        for (int q = 0; q < used; ++q) {
                            const int p = begin + q;
                            row[q] = Base::code_of_nucleotide(letters[first ? first[p] : p]);
                        }
                    }
                    std::fill(row + used, row + kTile, 0);
                }
            }
        }
    });
}

void FastEpochCompute::fill_blocks(SeqVector* const* group, const int* classified) {
    const int blocks = (classified_ + kLanes - 1) / kLanes;
    const std::size_t block_bytes = static_cast<std::size_t>(length_) * kLanes;
    const bool fresh = reserve_codes(&blocks_, blocks * block_bytes);
    share(static_cast<long long>(classified_) * length_, blocks, [&](int t, int tasks) {
        const int first_block = static_cast<int>(static_cast<long long>(blocks) * t / tasks);
        const int last_block = static_cast<int>(static_cast<long long>(blocks) * (t + 1) / tasks);
        std::uint8_t* block = blocks_.data() + first_block * block_bytes;
        if (fresh) map_pages(block, (last_block - first_block) * block_bytes);
        for (int b = first_block; b < last_block; ++b, block += block_bytes) {
            const int used = std::min(kLanes, classified_ - b * kLanes);
            const char* lanes[kLanes];
            for (int l = 0; l < used; ++l)
                lanes[l] = group[classified[b * kLanes + l]]->letters.data();
            if (used == kLanes) {
                interleave_full(lanes, length_, block);
            } else {
                // Lanes past the last input sum A's terms, unread.
                std::fill(block, block + block_bytes, 0);
                interleave_codes(lanes, used, length_, block);
            }
        }
    });
}

void FastEpochCompute::build_rows(int begin, int end) {
    const NeuronPlanes both[kNeurons] = {planes(0), planes(1)};
    kernels_.build_rows(terms_, both, begin, end, rows_.data());
}

void FastEpochCompute::reset_neurons() {
    std::fill(
        planes_.data(),
        planes_.data() + static_cast<std::size_t>(kNeurons) * kPlanesPerNeuron * padded_patterns_,
        kNeuronStart);
    build_rows(0, padded_patterns_);
}

void FastEpochCompute::model_values(double* values) {
    const int blocks = (classified_ + kLanes - 1) / kLanes;
    const int stride = tables_ * kNeurons;
    // Tasks take whole pairs of blocks: a kernel may sum two at once.
    const int pairs = (blocks + 1) / 2;
    share(static_cast<long long>(classified_) * length_, pairs, [&](int t, int tasks) {
        const int first = 2 * static_cast<int>(static_cast<long long>(pairs) * t / tasks);
        const int last =
            std::min(blocks, 2 * static_cast<int>(static_cast<long long>(pairs) * (t + 1) / tasks));
        kernels_.sum_blocks(blocks_.data() + static_cast<std::size_t>(first) * length_ * kLanes,
                            last - first, patterns_.pattern_of(), rows_.data(), tables_, length_,
                            sums_.data() + static_cast<std::size_t>(first) * kLanes * stride);
        const int end = std::min(classified_, last * kLanes);
        for (int j = first * kLanes; j < end; ++j) {
            const double* s = sums_.data() + static_cast<std::size_t>(j) * stride;
            for (int k = 0; k < kNeurons; ++k) {
                const double first_sum = s[k];
                // Only the substitution models have a second table
                // before the squared distances.
                const double second_sum = tables_ == 3 ? s[kNeurons + k] : 0.0;
                double value = 0.0;
                switch (model_) {
                    case DistanceModel::euclidian:
                        value = euclidian_value(first_sum);
                        break;
                    case DistanceModel::jc:
                        value = jc_value(first_sum, length_);
                        break;
                    case DistanceModel::k2p:
                        value = k2p_value(first_sum, second_sum, length_, setup_.constants);
                        break;
                    case DistanceModel::f81:
                        value = f81_value(first_sum, second_sum, length_, setup_.constants);
                        break;
                    case DistanceModel::f84:
                        value = f84_value(first_sum, second_sum, length_, setup_.constants);
                        break;
                }
                values[2 * j + k] = value;
            }
        }
    });
}

double FastEpochCompute::rms_error(int j, int k) {
    const int stride = tables_ * kNeurons;
    const double squared =
        sums_[static_cast<std::size_t>(j) * stride + (tables_ - 1) * kNeurons + k];
    return rms_of_euclidian(euclidian_value(squared), length_);
}

void FastEpochCompute::find_member_codes(SeqVector* const* const members[2], const int counts[2]) {
    for (int k = 0; k < kNeurons; ++k) {
        member_offsets_[k].resize(counts[k]);
        for (int m = 0; m < counts[k]; ++m) {
            const int row = row_of_id_[members[k][m]->id];
            tavrel_assert(row >= 0);
            member_offsets_[k][m] = row * kTile;
        }
    }
}

void FastEpochCompute::update_range(const int counts[2], int begin, int end, bool rows) {
    const double rate = setup_.kohonen_rate;
    const long long work = static_cast<long long>(counts[0] + counts[1] + 1) * (end - begin);
    share(work, tiles_of(end - begin), [&](int t, int tasks) {
        int first = 0;
        int last = 0;
        tile_range(begin, end, t, tasks, &first, &last);
        for (int k = 0; k < kNeurons; ++k) {
            const MemberCodes codes = {code_tiles_.data(), rows_in_tiles_,
                                       member_offsets_[k].data(), counts[k]};
            kernels_.kohonen(planes(k), codes, rate, first, last);
        }
        // The next epoch's terms, while this range is in the cache.
        if (rows) build_rows(first, last);
    });
}

void FastEpochCompute::kohonen_update(SeqVector* const* const members[2], const int counts[2]) {
    find_member_codes(members, counts);
    update_range(counts, 0, padded_patterns_, true);
}

double* FastEpochCompute::plane(int index) {
    return planes_.data() + static_cast<std::size_t>(index) * padded_patterns_;
}

const double* FastEpochCompute::plane(int index) const {
    return planes_.data() + static_cast<std::size_t>(index) * padded_patterns_;
}

int FastEpochCompute::part_size(int part, int parts) const {
    int begin = 0;
    int end = 0;
    pattern_range(part, parts, &begin, &end);
    return kNeurons * kPlanesPerNeuron * (end - begin);
}

void FastEpochCompute::kohonen_update_part(SeqVector* const* const members[2], const int counts[2],
                                           int part, int parts, std::vector<double>* packed) {
    find_member_codes(members, counts);
    int begin = 0;
    int end = 0;
    pattern_range(part, parts, &begin, &end);
    update_range(counts, begin, end, false);
    packed->clear();
    for (int index = 0; index < kNeurons * kPlanesPerNeuron; ++index) {
        packed->insert(packed->end(), plane(index) + begin, plane(index) + end);
    }
}

void FastEpochCompute::unpack_parts(const double* all, int parts) {
    for (int part = 0; part < parts; ++part) {
        int begin = 0;
        int end = 0;
        pattern_range(part, parts, &begin, &end);
        for (int index = 0; index < kNeurons * kPlanesPerNeuron; ++index) {
            std::copy(all, all + (end - begin), plane(index) + begin);
            all += end - begin;
        }
    }
    share(static_cast<long long>(padded_patterns_) * kNeurons, tiles_of(padded_patterns_),
          [&](int t, int tasks) {
              int begin = 0;
              int end = 0;
              pattern_range(t, tasks, &begin, &end);
              build_rows(begin, end);
          });
}

bool FastEpochCompute::neurons_equal() const {
    const std::size_t plane_bytes = sizeof(double) * patterns_.count();
    for (int c = 0; c < kPlanesPerNeuron; ++c) {
        if (std::memcmp(plane(c), plane(kPlanesPerNeuron + c), plane_bytes) != 0) return false;
    }
    return true;
}

void FastEpochCompute::finish_step() {
    // The codes of a large group would stay for the whole run otherwise:
    // the groups after it are smaller.
    const std::size_t threads = setup_.pool ? setup_.pool->threads() : 1;
    const std::size_t positions = static_cast<std::size_t>(setup_.taxa) * length_;
    const std::size_t kept =
        std::clamp(positions / (kKeptCodesShare * threads), kKeptCodesFloor, kKeptCodes);
    if (code_tiles_.capacity() + blocks_.capacity() >= kept) {
        code_tiles_.release();
        blocks_.release();
    }
}

void FastEpochCompute::copy_neuron(int k, SeqVector* to) const {
    const double* x = plane(k * kPlanesPerNeuron);
    const double* y = plane(k * kPlanesPerNeuron + 1);
    const double* z = plane(k * kPlanesPerNeuron + 2);
    to->allocate(length_);
    for (int i = 0; i < length_; ++i) {
        const int p = patterns_.pattern_of()[i];
        to->data[i].x = x[p];
        to->data[i].y = y[p];
        to->data[i].z = z[p];
    }
}

void FastEpochCompute::set_neuron(int k, const SeqVector& from) {
    tavrel_assert(from.length == length_);
    const NeuronPlanes plane = planes(k);
    for (int p = 0; p < patterns_.count(); ++p) {
        const Base& b = from.data[patterns_.first_position(p)];
        plane.x[p] = b.x;
        plane.y[p] = b.y;
        plane.z[p] = b.z;
    }
    build_rows(0, padded_patterns_);
}
