// The characteristics power chart under real mouse events (the toolkit's UI action
// simulator on the virtual display, the event loop running): a drag zooms to the dragged
// rectangle, a click without movement opens the operating point of the nearest step,
// and a pointer resting on a point reads its values out, where it is drawn.
#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/uiaction.h>

#include <sstream>

#include "ComputeHarness.h"
#include "DefaultRotor.h"
#include "UserSimulation.h"
#include "bemt/BEMTTools.h"
#include "results/chart_book.h"
#include "results/window_char_result.h"
#include "results/window_op_result.h"

namespace {

using namespace korvane::testing;
using namespace std::chrono_literals;

// Whether the screen shows the colour within two pixels of a position (antialiased).
bool drawnNear(wxPoint at, const wxColour& colour) {
    wxScreenDC screen;
    wxBitmap bitmap(5, 5);
    wxMemoryDC copy(bitmap);
    copy.Blit(0, 0, 5, 5, &screen, at.x - 2, at.y - 2);
    copy.SelectObject(wxNullBitmap);
    const wxImage image = bitmap.ConvertToImage();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            if (std::abs(image.GetRed(x, y) - colour.Red()) + std::abs(image.GetGreen(x, y) - colour.Green()) +
                    std::abs(image.GetBlue(x, y) - colour.Blue()) <
                60)
                return true;
    return false;
}

class ChartMouse : public ::testing::Test {
protected:
    void SetUp() override {
        KORVANE_REQUIRE_WX();
        bemt::InputDataSet data = defaultRotor();
        data.settings.n_elements = 15;
        bemt::BEMTTools tools(bemt::FixedPoint2D);
        settings.range_type = bemt::windVelocity;
        settings.ran_min = 4;
        settings.ran_max = 14;
        settings.ran_step = 1;
        results = tools.characteristicsSweep(data, settings.range_type, bemt::BEMTTools::characteristicsRange(settings),
                                             bemt::SweepRange{0.0, 0.0, 1.0}, ignoreProgress);
        window = new CharResultWindow(list, results, data, ComputedWith{settings, data.settings, data.conditions, {}, {}, {}},
                                      data.conditions, &files, 1);
        window->SetPosition(wxPoint(0, 0));
        window->SetSize(1100, 750);
        window->Show();
        window->Raise();
        chart = window->charts()->charts()[0];  // the power chart
        // The chart knows where its area lies once it has been painted on the screen.
        ASSERT_TRUE(runEventLoopUntil([&] { return chart->IsShownOnScreen() && chart->pixelAt(14.0, 0.0).x > 300; }));
        runEventLoopFor(200ms);
    }
    void TearDown() override {
        list->closeAll();
        deleteClosedWindows();
    }

    // Screen position of a point of the chart given in data coordinates.
    wxPoint screenAt(double x, double y) const { return chart->ClientToScreen(chart->pixelAt(x, y)); }

    std::shared_ptr<ResultWindowList> list = std::make_shared<ResultWindowList>();
    FileManager files;
    bemt::ComputeSettings settings;
    std::vector<bemt::pitchControlledCharacteristicElement> results;
    CharResultWindow* window = nullptr;
    PlotDisplay* chart = nullptr;
    wxUIActionSimulator mouse;
};

TEST_F(ChartMouse, DragZoomsAndAStillClickOpensTheOperatingPoint) {
    const PlotAxis fullX = chart->xAxis(), fullY = chart->y1Axis();
    const double yLow = fullY.start + 0.2 * fullY.range, yHigh = fullY.start + 0.7 * fullY.range;

    // Drag a rectangle from 6 to 10 m/s.
    mouse.MouseMove(screenAt(6.0, yHigh));
    runEventLoopFor(50ms);
    mouse.MouseDown();
    runEventLoopFor(50ms);
    for (int i = 1; i <= 5; ++i) {
        mouse.MouseMove(screenAt(6.0 + 0.8 * i, yHigh - (yHigh - yLow) * i / 5.0));
        runEventLoopFor(30ms);
    }
    mouse.MouseUp();
    ASSERT_TRUE(runEventLoopUntil([&] { return chart->xAxis().range < fullX.range / 2.0; }))
        << "the drag did not zoom: x " << chart->xAxis().start << " .. " << chart->xAxis().end;
    // Pixels are whole: the zoomed span agrees to a pixel's worth of the full range.
    const double pixelX = fullX.range / 500.0, pixelY = fullY.range / 300.0;
    EXPECT_NEAR(chart->xAxis().start, 6.0, 2 * pixelX);
    EXPECT_NEAR(chart->xAxis().end, 10.0, 2 * pixelX);
    EXPECT_NEAR(chart->y1Axis().start, yLow, 2 * pixelY);
    EXPECT_NEAR(chart->y1Axis().end, yHigh, 2 * pixelY);
    EXPECT_EQ(list->size(), 1u) << "a drag must not open an operating point";
    EXPECT_EQ(window->openedWindows(), 0);

    // A click without movement near 8 m/s opens that step's operating point.
    chart->resetRange();
    runEventLoopFor(100ms);
    const double y = fullY.start + 0.5 * fullY.range;
    mouse.MouseMove(screenAt(8.1, y));
    runEventLoopFor(80ms);
    mouse.MouseClick();
    ASSERT_TRUE(runEventLoopUntil([&] { return list->size() == 2u; })) << "the click opened nothing";
    auto* opened = lastWindow<OpResultWindow>(*list);
    ASSERT_NE(opened, nullptr);
    EXPECT_DOUBLE_EQ(opened->points()[0].op.conditions.V0, 8.0);
    EXPECT_EQ(opened->points()[0].op.P, results[4].points[0].op.P);
    EXPECT_EQ(window->openedWindows(), 1);
    EXPECT_DOUBLE_EQ(chart->xAxis().range, fullX.range) << "a click must not zoom";
}

TEST_F(ChartMouse, ThePointerReadsOutTheNearestPoint) {
    // The power at 12 m/s as the chart draws it (in its unit).
    const double shown = (*chart->axis1Sets()[0].y)[8];
    mouse.MouseMove(screenAt(12.0, shown) + wxPoint(4, -3));
    ASSERT_TRUE(runEventLoopUntil([&] { return !chart->hoverText().empty(); })) << "no readout";
    const wxString text = chart->hoverText();
    EXPECT_TRUE(text.Contains("Wind velocity = 12 m/s\n")) << text;
    // The value with the unit of the axis ("Power P [kW]" reads "Power P = 412.3 kW").
    std::ostringstream value;
    value << shown;
    EXPECT_TRUE(text.Contains("Power P = " + value.str() + " kW") || text.Contains("Power P = " + value.str() + " W") ||
                text.Contains("Power P = " + value.str() + " MW"))
        << text;
    EXPECT_TRUE(text.StartsWith(wxString::FromUTF8("0 °"))) << text;

    // Zoomed in, the point is still drawn where the pointer reads it out.
    chart->zoomTo(11.0, 14.0, 0.9 * shown, 1.2 * shown);
    runEventLoopFor(200ms);
    const wxPoint at = screenAt(12.0, shown);
    EXPECT_TRUE(drawnNear(at, wxColour(chart->axis1SetColour(0)))) << "no curve drawn at " << at.x << "," << at.y;
    mouse.MouseMove(at + wxPoint(4, -3));
    ASSERT_TRUE(runEventLoopUntil([&] { return !chart->hoverText().empty(); })) << "no readout after the zoom";
    EXPECT_TRUE(chart->hoverText().Contains("Wind velocity = 12 m/s\n")) << chart->hoverText();
}

}  // namespace
