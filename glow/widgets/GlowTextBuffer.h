#ifndef GLOW_WIDGETS_GLOWTEXTBUFFER_H
#define GLOW_WIDGETS_GLOWTEXTBUFFER_H

#include <string>
#include <vector>

namespace glow {

// Text storage of a text field: the characters, the table of line starts, the
// selection, and where characters lie in pixels. The buffer measures through
// a CharWidth so that its geometry is independent of any GL context; a text
// field passes the widths of its bitmap font.
//
// Positions lie between characters: 0 before the first, Length() after the
// last. Every operation clamps the positions and lines it is given, so no
// call reads outside the text.
class GlowTextBuffer {
public:
    // Pixel width of one character code 0 to 255.
    class CharWidth {
    public:
        virtual ~CharWidth() = default;
        virtual int operator()(unsigned char c) const = 0;
    };

    GlowTextBuffer();

    const char* CString() const { return text.c_str(); }
    const std::string& Text() const { return text; }
    int Length() const { return static_cast<int>(text.size()); }

    // Replaces the characters (null is an empty text). Line starts beyond the
    // new end are dropped and the selection is clamped to the new text.
    void SetText(const char* newText);

    int SelectionStart() const { return selectionStart; }
    int SelectionEnd() const { return selectionEnd; }
    int SelectionLength() const { return selectionEnd - selectionStart; }
    void SetSelection(int a, int b);
    void SetInsertionPoint(int p) { SetSelection(p, p); }
    void ReplaceSelection(char c);
    void DeleteSelection();
    void ClampSelection();

    int NumLines() const { return static_cast<int>(lineStarts.size()); }
    int LineStart(int line) const;
    int LineEnd(int line) const;

    int FindLine(int pos) const;
    // line -1 stands for the line that holds pos.
    int PixelOfPosition(const CharWidth& width, int pos, int line) const;
    int PositionAtPixel(const CharWidth& width, int line, int x) const;
    void VisibleRange(const CharWidth& width, int line, int startPixel, int windowWidth, int& first,
                      int& end, int& offset) const;
    // Rebuilds the line table after fromLine, wrapping at maxWidth pixels
    // (negative: only at line ends). Refuses (returns false, changes nothing)
    // a maxWidth of 0 and a negative fromLine.
    bool RebreakLines(const CharWidth& width, int maxWidth, int fromLine);
    int LineWidth(const CharWidth& width, int line) const;
    int MaxLineWidth(const CharWidth& width) const;

private:
    int ClampPosition(int pos) const;
    int ClampLine(int line) const;

    std::string text;
    std::vector<int> lineStarts;
    int selectionStart;
    int selectionEnd;
};

}  // namespace glow

#endif
