#ifndef GLOW_CORE_GLOWWINDOW_H
#define GLOW_CORE_GLOWWINDOW_H

#include <string>

#include "glow/core/GlowSubwindow.h"

namespace glow {

// Parameters of a top-level window; the default constructor copies `defaults`.
struct GlowWindowParams : public GlowSubwindowParams {
    GlowWindowParams() : GlowWindowParams(defaults) {}
    GlowWindowParams(const GlowWindowParams&) = default;
    GlowWindowParams& operator=(const GlowWindowParams&) = default;

    const char* title;      // null counts as ""
    const char* iconTitle;  // null: the title

    static GlowWindowParams defaults;

protected:
    constexpr explicit GlowWindowParams(bool)
        : GlowSubwindowParams(true), title(""), iconTitle(nullptr) {
        width = 100;
        height = 100;
        x = -1;
        y = -1;
    }
};

// A top-level GLUT window with its title and icon title.
class GlowWindow : public GlowSubwindow {
public:
    GlowWindow();
    explicit GlowWindow(const GlowWindowParams& params);
    GlowWindow(const char* title, int x, int y, int width, int height, GlowDisplayMode mode,
               GlowEventMask eventMask);
    ~GlowWindow() override;

    void Init(const GlowWindowParams& params);
    void Init(const char* title, int x, int y, int width, int height, GlowDisplayMode mode,
              GlowEventMask eventMask);

    // Never null.
    const char* Title() const { return title_.c_str(); }
    const char* IconTitle() const { return iconTitle_.c_str(); }
    // Null counts as "".
    void SetTitle(const char* title);
    void SetIconTitle(const char* title);
    void FullScreen();
    void Iconify();

private:
    void Create_(const char* title, const char* iconTitle, bool setIconTitle, int x, int y,
                 int width, int height, GlowDisplayMode mode, GlowEventMask eventMask,
                 GlowEventMask inactiveEventMask);

    std::string title_;
    std::string iconTitle_;
};

}  // namespace glow

#endif
