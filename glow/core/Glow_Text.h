#ifndef GLOW_CORE_GLOW_TEXT_H
#define GLOW_CORE_GLOW_TEXT_H

namespace glow {

// Internal to the toolkit: every text it is handed takes null as "".
inline const char* Glow_OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

// Internal to the toolkit: the GLUT character code of one byte of text, for
// measuring and for drawing alike. GLUT's bitmap fonts have glyphs for every
// code from 1 to 255 (Latin-1 above 127); a plain char above 127 would be
// negative, which GLUT neither measures nor draws.
inline int Glow_CharCode(int ch) {
    return static_cast<unsigned char>(ch);
}

}  // namespace glow

#endif
