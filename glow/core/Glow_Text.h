#ifndef GLOW_CORE_GLOW_TEXT_H
#define GLOW_CORE_GLOW_TEXT_H

namespace glow {

// Internal to the toolkit: every text it is handed takes null as "".
inline const char* Glow_OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

}  // namespace glow

#endif
