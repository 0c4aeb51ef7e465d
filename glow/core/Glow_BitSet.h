#ifndef GLOW_CORE_GLOW_BITSET_H
#define GLOW_CORE_GLOW_BITSET_H

namespace glow {

// The value type behind the toolkit's bit sets: `Set` derives from it, names
// its bits, and gets the comparisons and the bitwise operators, which give
// back a `Set`.
template <class Set>
class Glow_BitSet {
public:
    constexpr Glow_BitSet() : bits_(0) {}
    constexpr Glow_BitSet(unsigned int bits) : bits_(bits) {}
    constexpr unsigned int Bits() const { return bits_; }
    constexpr bool Has(unsigned int bit) const { return (bits_ & bit) != 0; }

    friend constexpr bool operator==(Set a, Set b) { return a.Bits() == b.Bits(); }
    friend constexpr bool operator!=(Set a, Set b) { return a.Bits() != b.Bits(); }
    friend constexpr Set operator|(Set a, Set b) { return Set(a.Bits() | b.Bits()); }
    friend constexpr Set operator&(Set a, Set b) { return Set(a.Bits() & b.Bits()); }
    Set& operator|=(Set o) {
        bits_ |= o.Bits();
        return static_cast<Set&>(*this);
    }
    Set& operator&=(Set o) {
        bits_ &= o.Bits();
        return static_cast<Set&>(*this);
    }

private:
    unsigned int bits_;
};

}  // namespace glow

#endif
