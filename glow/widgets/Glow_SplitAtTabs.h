#ifndef GLOW_WIDGETS_GLOW_SPLITATTABS_H
#define GLOW_WIDGETS_GLOW_SPLITATTABS_H

#include <string>
#include <vector>

namespace glow {

// The pieces of a tab-separated list (button labels, menu items): runs of
// tabs count as one separator and leading or trailing tabs are skipped, so
// no piece is empty. Null has no pieces.
inline std::vector<std::string> Glow_SplitAtTabs(const char* text) {
    std::vector<std::string> pieces;
    if (text == nullptr) return pieces;
    std::string piece;
    for (const char* p = text;; ++p) {
        if (*p == '\t' || *p == '\0') {
            if (!piece.empty()) pieces.push_back(piece);
            piece.clear();
            if (*p == '\0') break;
        } else {
            piece += *p;
        }
    }
    return pieces;
}

}  // namespace glow

#endif
