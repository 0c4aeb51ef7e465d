#pragma once

#include <string>

class CharString;

// The Newick form of a taxon name: unchanged, or single-quoted with every
// quote doubled when it holds a character that Newick gives a meaning, or
// that common readers refuse in a name written without quotes.
// Underscores stay unquoted: read as written by convention, they are what
// most tree files hold.
std::string newick_label(const CharString& name);
