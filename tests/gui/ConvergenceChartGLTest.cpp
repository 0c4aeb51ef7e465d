// The convergence chart in a real window under Xvfb: what a paint draws and
// where, the picture, and mouse presses that change nothing.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glow/view/GlowTransformData.h"
#include "glow/view/GlowViewManipulator.h"
#include "gui/ConvergenceSubWindow.h"
#include "gui/TreeSubWindow.h"
#include "tests/gui/FrontEndLayout.h"

using guitest::Drawn;
using guitest::FrontEndLayout;

namespace {

// A chart point (X, Y) in window pixels of the chart: the ortho mapping of
// 650 by 150 chart units under the camera's 0.4 gives normalised device
// coordinates 0.4 (2X / 650 - 1) and 0.4 (2Y / 150 - 1).
struct Pixel {
    float x, y;
};
Pixel OnChart(double x, double y) {
    const double nx = 0.4 * (2 * x / 650 - 1), ny = 0.4 * (2 * y / 150 - 1);
    return {static_cast<float>((nx + 1) * FrontEndLayout::kChartWidth / 2),
            static_cast<float>((ny + 1) * FrontEndLayout::kChartHeight / 2)};
}

constexpr float kTolerance = 0.01f;
const std::string kCaption = "RMS Error Convergence Chart";

void ExpectAt(const Drawn& d, Drawn::Kind kind, Pixel at) {
    ASSERT_EQ(d.kind, kind);
    EXPECT_NEAR(d.x0, at.x, kTolerance);
    EXPECT_NEAR(d.y0, at.y, kTolerance);
}

std::vector<Drawn> OfKind(const std::vector<Drawn>& drawn, Drawn::Kind kind) {
    std::vector<Drawn> out;
    for (const Drawn& d : drawn)
        if (d.kind == kind) out.push_back(d);
    return out;
}

class ChartTest : public testing::Test {
protected:
    void SetUp() override {
        layout = new FrontEndLayout;
        chart = layout->chart;
    }
    void TearDown() override { delete layout; }

    FrontEndLayout* layout = nullptr;
    ConvergenceSubWindow* chart = nullptr;
};

}  // namespace

TEST_F(ChartTest, DrawsAxesCaptionZeroAndEverySlot) {
    chart->AddValue(25);
    chart->AddValue(40);
    const std::vector<Drawn> drawn = guitest::PaintFeedback(chart);

    // In order: the two axes, the caption, "0.0", then 1300 points.
    const std::size_t texts = kCaption.size() + 3;
    ASSERT_EQ(drawn.size(), 2 + texts + ConvergenceSubWindow::capacity);
    const Pixel corner = OnChart(-400, -5);
    ExpectAt(drawn[0], Drawn::line, corner);
    EXPECT_NEAR(drawn[0].x1, OnChart(-400, 200).x, kTolerance);
    EXPECT_NEAR(drawn[0].y1, OnChart(-400, 200).y, kTolerance);
    ExpectAt(drawn[1], Drawn::line, corner);
    EXPECT_NEAR(drawn[1].x1, OnChart(900, -5).x, kTolerance);
    EXPECT_NEAR(drawn[1].y1, OnChart(900, -5).y, kTolerance);
    ExpectAt(drawn[2], Drawn::bitmap, OnChart(-50, -50));
    for (std::size_t i = 3; i < 2 + kCaption.size(); ++i) {
        ASSERT_EQ(drawn[i].kind, Drawn::bitmap);
        EXPECT_EQ(drawn[i].y0, drawn[2].y0);
    }
    ExpectAt(drawn[2 + kCaption.size()], Drawn::bitmap, OnChart(-400, -50));

    const std::vector<Drawn> points = OfKind(drawn, Drawn::point);
    ASSERT_EQ(points.size(), 1300u);
    ExpectAt(points[0], Drawn::point, OnChart(-400, 25));
    ExpectAt(points[1], Drawn::point, OnChart(-399, 40));
    // Slots no value has reached lie on the line Y = 0.
    ExpectAt(points[2], Drawn::point, OnChart(-398, 0));
    ExpectAt(points[1299], Drawn::point, OnChart(899, 0));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ChartTest, ValuesOutsideTheStripAreClipped) {
    // Slots 0 to 3; the strip shows values from -112 to 262.
    const int values[] = {262, 263, -112, -113};
    for (int v : values) chart->AddValue(v);
    const std::vector<Drawn> points = OfKind(guitest::PaintFeedback(chart), Drawn::point);
    ASSERT_EQ(points.size(), 1298u);
    ExpectAt(points[0], Drawn::point, OnChart(-400, 262));
    ExpectAt(points[1], Drawn::point, OnChart(-398, -112));
    ExpectAt(points[2], Drawn::point, OnChart(-396, 0));
}

TEST_F(ChartTest, PictureIsWhiteAxesAndLightBluePointsOnBlack) {
    for (int i = 0; i < 600; ++i) chart->AddValue(25 + (i * 7) % 90);
    const glowtest::Pixels picture = guitest::PaintPixels(chart);
    EXPECT_TRUE(glowtest::SavePicture("gui_convergence_chart", picture));
    int white = 0, blue = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = picture.At(x, y);
            const bool isBlack = p[0] == 0 && p[1] == 0 && p[2] == 0;
            const bool isWhite = p[0] == 255 && p[1] == 255 && p[2] == 255;
            const bool isBlue = p[0] == 204 && p[1] == 204 && p[2] == 255;
            ASSERT_TRUE(isBlack || isWhite || isBlue) << "pixel " << x << ", " << y;
            white += isWhite;
            blue += isBlue;
        }
    }
    // The horizontal axis spans 0.89 + 0.71 of the half-width.
    EXPECT_GT(white, 500);
    // Slots are 0.4 pixels apart: the 700 unreached ones light 280 pixels of
    // the zero line, the 600 values about as many more.
    EXPECT_GT(blue, 500);
    const Pixel point = OnChart(-400 + 3, 25 + 21);
    EXPECT_EQ(picture.At(static_cast<int>(point.x), static_cast<int>(point.y))[0], 204);
}

TEST_F(ChartTest, MousePressesInTheChartChangeNothing) {
    chart->AddValue(30);
    const glowtest::Pixels before = guitest::PaintPixels(chart);
    glow::GlowTransformData* treeView = layout->tree->manipulator->GetTransformData();
    const std::string xid = std::to_string(glowtest::XWindowOf(chart));
    for (int button = 1; button <= 3; ++button) {
        ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + xid + " 300 70 mousedown " +
                                      std::to_string(button)));
        glowtest::Pump(40);
        ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + xid + " 400 20 mouseup " +
                                      std::to_string(button)));
        glowtest::Pump(40);
    }
    EXPECT_EQ(chart->Values().Count(), 1);
    EXPECT_EQ(chart->Values().Value(0), 30);
    EXPECT_EQ(treeView->GetScale(), 1.0f);
    EXPECT_EQ(treeView->GetRotation(), glow::Quaternionf());
    EXPECT_EQ(treeView->GetTranslation(), glow::Vector3f());
    EXPECT_EQ(guitest::PaintPixels(chart).rgba, before.rgba);
}
