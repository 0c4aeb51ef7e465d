#ifndef TESTS_GUI_FIVETAXA_H
#define TESTS_GUI_FIVETAXA_H

namespace guitest {

// A sequence file small enough that a window run ends within moments, large
// enough that the tree has inner groups to draw.
inline constexpr char kFiveTaxa[] =
    "5 8\n"
    "alpha ACGTACGT\n"
    "beta  ACGTACGA\n"
    "gamma TTGTACCA\n"
    "delta TTGAACCA\n"
    "eps   GCGTTCGA\n";

}  // namespace guitest

#endif
