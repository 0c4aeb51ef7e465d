#include "tests/glow/support/GlowTestSupport.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "glow/core/Glow.h"
#include "glow/core/GlowSubwindow.h"

namespace glowtest {

void InitGlut() {
    static bool done = false;
    if (done) return;
    done = true;
    static char name[] = "glow-test";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    glow::Glow::Init(&argc, argv);
}

namespace {

// What the toolkit gave glutIdleFunc last; see the glutIdleFunc below.
IdleCallback installedIdle = nullptr;

// One round of glutMainLoop's loop.
void LoopRound() {
    glutMainLoopEvent();
    if (installedIdle != nullptr) installedIdle();
}

}  // namespace

IdleCallback GlutIdleCallback() {
    return installedIdle;
}

void Pump(int msecs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(msecs);
    do {
        LoopRound();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (std::chrono::steady_clock::now() < end);
}

bool PumpUntil(const std::function<bool()>& cond, int timeoutMsecs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMsecs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        LoopRound();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

unsigned long XWindowOf(glow::GlowSubwindow* window) {
    int saved = glutGetWindow();
    glutSetWindow(window->WindowId());
    unsigned long id = glXGetCurrentDrawable();
    if (saved != 0) glutSetWindow(saved);
    return id;
}

bool IsMapped(glow::GlowSubwindow* window) {
    int saved = glutGetWindow();
    glutSetWindow(window->WindowId());
    Display* display = glXGetCurrentDisplay();
    GLXDrawable drawable = glXGetCurrentDrawable();
    bool mapped = false;
    if (display != nullptr && drawable != 0) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, drawable, &attributes) != 0)
            mapped = attributes.map_state == IsViewable;
    }
    if (saved != 0) glutSetWindow(saved);
    return mapped;
}

bool WaitUntilMapped(glow::GlowSubwindow* window, int timeoutMsecs) {
    bool mapped = PumpUntil([window] { return IsMapped(window); }, timeoutMsecs);
    if (mapped) Pump(30);  // the first expose and reshape
    return mapped;
}

namespace {

void Select(glow::GlowSubwindow* window) {
    glutSetWindow(window->WindowId());
}

}  // namespace

void SendDisplay(glow::GlowSubwindow* window) {
    Select(window);
    glow::Glow::OnGlutDisplay();
}

void SendReshape(glow::GlowSubwindow* window, int width, int height) {
    Select(window);
    glow::Glow::OnGlutReshape(width, height);
}

void SendKey(glow::GlowSubwindow* window, unsigned char key, int x, int y) {
    Select(window);
    glow::Glow::OnGlutKeyboard(key, x, y);
}

void SendSpecial(glow::GlowSubwindow* window, int glutKey, int x, int y) {
    Select(window);
    glow::Glow::OnGlutSpecial(glutKey, x, y);
}

void SendMouse(glow::GlowSubwindow* window, int button, int state, int x, int y) {
    Select(window);
    glow::Glow::OnGlutMouse(button, state, x, y);
}

void SendMotion(glow::GlowSubwindow* window, int x, int y) {
    Select(window);
    glow::Glow::OnGlutMotion(x, y);
}

void SendPassiveMotion(glow::GlowSubwindow* window, int x, int y) {
    Select(window);
    glow::Glow::OnGlutPassiveMotion(x, y);
}

void SendVisibility(glow::GlowSubwindow* window, int state) {
    Select(window);
    glow::Glow::OnGlutVisibility(state);
}

void SendEntry(glow::GlowSubwindow* window, int state) {
    Select(window);
    glow::Glow::OnGlutEntry(state);
}

Pixels ReadBackBuffer(int x, int y, int width, int height) {
    Pixels p;
    p.width = width;
    p.height = height;
    p.rgba.assign(static_cast<std::size_t>(width) * height * 4, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
    return p;
}

Pixels PaintAndRead(glow::GlowSubwindow* window) {
    window->SetAutoSwapBuffers(false);
    SendDisplay(window);
    Select(window);
    glFinish();
    return ReadBackBuffer(0, 0, window->Width(), window->Height());
}

namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void Chunk(std::vector<std::uint8_t>& out, const char* type,
           const std::vector<std::uint8_t>& data) {
    Put32(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32(out, Crc32(body.data(), body.size()));
}

}  // namespace

bool WritePng(const std::string& path, const Pixels& pixels) {
    // Uncompressed deflate blocks: no zlib needed for a test picture.
    std::vector<std::uint8_t> raw;
    for (int row = pixels.height - 1; row >= 0; --row) {
        raw.push_back(0);
        for (int x = 0; x < pixels.width; ++x) {
            const std::uint8_t* p = pixels.At(x, row);
            raw.insert(raw.end(), p, p + 3);
        }
    }
    std::vector<std::uint8_t> z = {0x78, 0x01};
    std::size_t pos = 0;
    do {
        std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(n));
        z.push_back(static_cast<std::uint8_t>(n >> 8));
        z.push_back(static_cast<std::uint8_t>(~n));
        z.push_back(static_cast<std::uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> header;
    Put32(header, static_cast<std::uint32_t>(pixels.width));
    Put32(header, static_cast<std::uint32_t>(pixels.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    Chunk(out, "IHDR", header);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", {});
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

bool SavePicture(const std::string& name, const Pixels& pixels) {
    std::error_code ignored;
    std::filesystem::create_directories(TAVREL_PICTURE_DIR, ignored);
    return WritePng(std::string(TAVREL_PICTURE_DIR) + "/" + name + ".png", pixels);
}

Pixels ReadScreen(int x, int y, int width, int height) {
    Pixels p;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return p;
    XImage* image =
        XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image != nullptr) {
        p.width = width;
        p.height = height;
        p.rgba.assign(static_cast<std::size_t>(width) * height * 4, 255);
        for (int row = 0; row < height; ++row) {
            for (int col = 0; col < width; ++col) {
                unsigned long v = XGetPixel(image, col, row);
                std::uint8_t* out = &p.rgba[4 * ((height - 1 - row) * width + col)];
                out[0] = static_cast<std::uint8_t>((v & image->red_mask) >> 16);
                out[1] = static_cast<std::uint8_t>((v & image->green_mask) >> 8);
                out[2] = static_cast<std::uint8_t>(v & image->blue_mask);
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return p;
}

bool Xdotool(const std::string& args) {
    std::string command = "xdotool " + args + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

bool RequestClose(unsigned long xWindow, const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = xWindow;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, xWindow, False, NoEventMask, &event) != 0;
    XSync(display, False);
    XCloseDisplay(display);
    return sent;
}

}  // namespace glowtest

// Takes the place of freeglut's glutIdleFunc for the toolkit linked into a
// test program: it notes the callback for the pump's rounds and hands it on
// to freeglut, so that GLUT holds exactly what the toolkit installed.
void glutIdleFunc(void (*callback)(void)) {
    using Real = void (*)(void (*)(void));
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "glutIdleFunc"));
    glowtest::installedIdle = callback;
    if (real != nullptr) real(callback);
}
