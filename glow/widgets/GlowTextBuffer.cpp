#include "glow/widgets/GlowTextBuffer.h"

#include <algorithm>

#include "glow/core/Glow_Text.h"

namespace glow {

GlowTextBuffer::GlowTextBuffer() : lineStarts(1, 0), selectionStart(0), selectionEnd(0) {}

int GlowTextBuffer::ClampPosition(int pos) const {
    return std::clamp(pos, 0, Length());
}

int GlowTextBuffer::ClampLine(int line) const {
    return std::clamp(line, 0, NumLines() - 1);
}

void GlowTextBuffer::SetText(const char* newText) {
    text = Glow_OrEmpty(newText);
    // Keep the first entry (always 0) and every start that still lies in the text.
    while (lineStarts.size() > 1 && lineStarts.back() > Length()) lineStarts.pop_back();
    ClampSelection();
}

void GlowTextBuffer::SetSelection(int a, int b) {
    a = ClampPosition(a);
    b = ClampPosition(b);
    selectionStart = std::min(a, b);
    selectionEnd = std::max(a, b);
}

void GlowTextBuffer::ReplaceSelection(char c) {
    ClampSelection();
    text.replace(static_cast<size_t>(selectionStart),
                 static_cast<size_t>(selectionEnd - selectionStart), 1, c);
    selectionEnd = selectionStart + 1;
}

void GlowTextBuffer::DeleteSelection() {
    ClampSelection();
    text.erase(static_cast<size_t>(selectionStart),
               static_cast<size_t>(selectionEnd - selectionStart));
    selectionEnd = selectionStart;
}

void GlowTextBuffer::ClampSelection() {
    if (selectionEnd > Length()) selectionEnd = Length();
    if (selectionStart > selectionEnd) selectionStart = selectionEnd;
    if (selectionStart < 0) selectionStart = 0;
    if (selectionEnd < selectionStart) selectionEnd = selectionStart;
}

int GlowTextBuffer::LineStart(int line) const {
    return ClampPosition(lineStarts[static_cast<size_t>(ClampLine(line))]);
}

int GlowTextBuffer::LineEnd(int line) const {
    line = ClampLine(line);
    if (line + 1 < NumLines()) {
        return std::max(LineStart(line), ClampPosition(lineStarts[static_cast<size_t>(line + 1)]));
    }
    return Length();
}

int GlowTextBuffer::FindLine(int pos) const {
    int lo = 0;
    int hi = NumLines();
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        const int start = lineStarts[static_cast<size_t>(mid)];
        if (start > pos) {
            hi = mid;
        } else if (start < pos) {
            lo = mid;
        } else {
            return mid;
        }
    }
    return lo;
}

int GlowTextBuffer::PixelOfPosition(const CharWidth& width, int pos, int line) const {
    pos = ClampPosition(pos);
    if (line == -1) line = FindLine(pos);
    const int end = std::min(pos, LineEnd(line));
    int sum = 0;
    for (int i = LineStart(line); i < end; ++i) sum += width(static_cast<unsigned char>(text[i]));
    return sum;
}

int GlowTextBuffer::PositionAtPixel(const CharWidth& width, int line, int x) const {
    const int start = LineStart(line);
    const int end = LineEnd(line);
    if (x < 0) return start;
    int acc = 0;
    for (int i = start; i < end; ++i) {
        const int next = acc + width(static_cast<unsigned char>(text[i]));
        if (x <= next) return next - x > x - acc ? i : i + 1;
        acc = next;
    }
    return end;
}

void GlowTextBuffer::VisibleRange(const CharWidth& width, int line, int startPixel, int windowWidth,
                                  int& first, int& end, int& offset) const {
    const int lineEnd = LineEnd(line);
    if (startPixel < 0) {
        offset = 0;
        first = end = lineEnd;
        return;
    }
    int acc = 0;
    first = LineStart(line);
    while (first < lineEnd) {
        const int w = width(static_cast<unsigned char>(text[first]));
        if (startPixel < acc + w) break;
        acc += w;
        ++first;
    }
    offset = startPixel - acc;
    end = first;
    // Widened so that a window reaching past INT_MAX cannot wrap around.
    const long long right = static_cast<long long>(startPixel) + windowWidth;
    while (end < lineEnd && right >= acc) {
        acc += width(static_cast<unsigned char>(text[end]));
        ++end;
    }
}

bool GlowTextBuffer::RebreakLines(const CharWidth& width, int maxWidth, int fromLine) {
    if (maxWidth == 0 || fromLine < 0) return false;
    lineStarts.resize(static_cast<size_t>(std::min(fromLine, NumLines() - 1)) + 1);
    int pos = LineStart(NumLines() - 1);
    int lineStart = pos;
    const int length = Length();
    int lineWidth = 0;
    int lastBreak = -1;
    auto startLine = [&](int at) {
        lineStarts.push_back(at);
        lineStart = at;
        lineWidth = 0;
        lastBreak = -1;
    };
    while (pos < length) {
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c == 13 && pos + 1 < length && text[pos + 1] == 10) {
            startLine(pos + 2);
            pos += 2;
        } else if (c == 13 || c == 10) {
            startLine(pos + 1);
            pos += 1;
        } else {
            if (c == ' ' || c == '\t') lastBreak = pos;
            lineWidth += width(c);
            if (maxWidth >= 0 && lineWidth > maxWidth) {
                if (pos == lineStart) {
                    // Too wide even alone: it keeps a line of its own.
                    pos += 1;
                    lineWidth = 0;
                    lastBreak = -1;
                    if (pos < length && text[pos] != 13 && text[pos] != 10) startLine(pos);
                } else if (lastBreak == -1 || lastBreak == pos) {
                    startLine(pos);
                } else {
                    pos = lastBreak + 1;
                    startLine(pos);
                }
            } else {
                pos += 1;
            }
        }
    }
    return true;
}

int GlowTextBuffer::LineWidth(const CharWidth& width, int line) const {
    int sum = 0;
    const int end = LineEnd(line);
    for (int i = LineStart(line); i < end; ++i) sum += width(static_cast<unsigned char>(text[i]));
    return sum;
}

int GlowTextBuffer::MaxLineWidth(const CharWidth& width) const {
    int widest = 0;
    for (int line = 0; line < NumLines(); ++line) widest = std::max(widest, LineWidth(width, line));
    return widest;
}

}  // namespace glow
