#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/filename.h>
#include <wx/image.h>

#include <memory>

#include "WxTestApp.h"
#include "results/display_plot.h"

namespace {

PlotSet setOf(const std::vector<double>* x, const std::vector<double>* y, const wxString& legend = "",
              bool hidden = false) {
    PlotSet s;
    s.x = x;
    s.y = y;
    s.legend = legend;
    s.hidden = hidden;
    return s;
}

TEST(PlotCsv, SetsSharingOneXVectorFormOneTable) {
    const std::vector<double> x = {0.1, 0.55, 1.0};
    const std::vector<double> a = {1.0, 2.5, 1234567.0};
    const std::vector<double> b = {0.001, -3.0, 1e-7};
    const wxString csv = plotCsvText("x/R [-]", "c/R [-]", "", {setOf(&x, &a, wxS("0°")), setOf(&x, &b)}, {});
    EXPECT_EQ(csv,
              wxS("x/R [-],c/R [-] (0°),c/R [-]\n"
              "0.1,1,0.001\n"
              "0.55,2.5,-3\n"
              "1,1.23457e+06,1e-07\n"));
}

TEST(PlotCsv, Y2SetsFollowY1SetsWithTheirOwnLabel) {
    const std::vector<double> x = {1.0, 2.0};
    const std::vector<double> a = {3.0, 4.0};
    const std::vector<double> b = {5.0, 6.0};
    const wxString csv = plotCsvText("X", "P", "T", {setOf(&x, &a, wxS("5°"))}, {setOf(&x, &b, wxS("5°"))});
    EXPECT_EQ(csv, wxS("X,P (5°),T (5°)\n1,3,5\n2,4,6\n"));
}

TEST(PlotCsv, SetsWithDifferentXVectorsFormBlocks) {
    const std::vector<double> x1 = {1.0, 2.0};
    const std::vector<double> y1 = {3.0, 4.0};
    const std::vector<double> x2 = {1.0, 2.0};  // equal values, but another vector
    const std::vector<double> y2 = {5.0, 6.0};
    const wxString csv = plotCsvText("X", "Y", "Z", {setOf(&x1, &y1)}, {setOf(&x2, &y2, "b")});
    EXPECT_EQ(csv, "X,Y\n1,3\n2,4\nX,Z (b)\n1,5\n2,6\n");
}

TEST(PlotCsv, HiddenSetsAreLeftOut) {
    const std::vector<double> x1 = {1.0};
    const std::vector<double> x2 = {2.0};
    const std::vector<double> y = {3.0};
    // The only differing X vector belongs to a hidden set: one table remains.
    EXPECT_EQ(plotCsvText("X", "Y", "", {setOf(&x1, &y, "a"), setOf(&x2, &y, "b", true)}, {}), "X,Y (a)\n1,3\n");
    EXPECT_EQ(plotCsvText("X", "Y", "", {setOf(&x1, &y, "a", true)}, {}), "X\n");
    EXPECT_EQ(plotCsvText("X", "Y", "", {}, {}), "X\n");
}

class PlotDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        KORVANE_REQUIRE_WX();
        frame = new wxFrame(nullptr, wxID_ANY, "plot", wxDefaultPosition, wxSize(640, 480));
        plot = new PlotDisplay(frame, "Lift and drag", wxS("Angle of attack α [°]"), "Cl [-]", "Cd [-]", true, false);
    }
    void TearDown() override {
        korvane::testing::destroyNow(frame);
        korvane::testing::processEvents();
    }
    wxFrame* frame = nullptr;
    PlotDisplay* plot = nullptr;
};

TEST_F(PlotDisplayTest, UnequalVectorsAreRefusedWithTheMessage) {
    const std::vector<double> x = {1.0, 2.0};
    const std::vector<double> y = {1.0};
    try {
        plot->addAxis1Set(&x, &y);
        FAIL() << "no error";
    } catch (const std::string& message) {
        EXPECT_EQ(message, "Can not plot data set with unequal X and Y vector sizes.");
    }
    EXPECT_THROW(plot->addAxis2Set(&x, &y), std::string);
    EXPECT_TRUE(plot->axis1Sets().empty());

    const std::vector<PlotDisplay::Action> actions(1);
    try {
        plot->setClickAction(&x, &actions);
        FAIL() << "no error";
    } catch (const std::string& message) {
        EXPECT_EQ(message, "The vectors of actions and x values must be the same size.");
    }
}

TEST_F(PlotDisplayTest, AddingSetsWidensTheRangesAndReturnsIndices) {
    const std::vector<double> x = {0.3, 7.9};
    const std::vector<double> y = {2.0, 9.0};
    const std::vector<double> x2 = {-4.0, 1.0};
    const std::vector<double> y2 = {10.0, 250.0};
    EXPECT_EQ(plot->addAxis1Set(&x, &y), 0);
    EXPECT_DOUBLE_EQ(plot->xAxis().start, 0.0);
    EXPECT_DOUBLE_EQ(plot->xAxis().end, 8.0);
    EXPECT_DOUBLE_EQ(plot->y1Axis().end, 9.0);
    EXPECT_EQ(plot->addAxis1Set(&x2, &y2), 1);
    EXPECT_DOUBLE_EQ(plot->xAxis().start, -4.0);
    EXPECT_DOUBLE_EQ(plot->y1Axis().end, 250.0);
}

TEST_F(PlotDisplayTest, HidingKeepsTheRangesUntilReset) {
    const std::vector<double> x = {0.0, 1.0};
    const std::vector<double> small = {0.0, 1.0};
    const std::vector<double> large = {0.0, 100.0};
    plot->addAxis1Set(&x, &small);
    plot->addAxis1Set(&x, &large);
    plot->hideAxis1Set(1);
    EXPECT_DOUBLE_EQ(plot->y1Axis().end, 100.0);
    plot->resetRange();
    EXPECT_DOUBLE_EQ(plot->y1Axis().end, 1.0);
    plot->showAxis1Set(1);
    plot->resetRange();
    EXPECT_DOUBLE_EQ(plot->y1Axis().end, 100.0);
    EXPECT_THROW(plot->hideAxis1Set(5), std::string);
}

TEST_F(PlotDisplayTest, Y2AxisSharesTheGridOfY1) {
    const std::vector<double> x = {0.0, 1.0};
    const std::vector<double> y1 = {0.0, 8.0};
    const std::vector<double> y2 = {0.0, 0.5};
    plot->addAxis1Set(&x, &y1);
    plot->addAxis2Set(&x, &y2);
    EXPECT_EQ(plot->y1Axis().ticks, plot->y2Axis().ticks);
    plot->resetRange();
    EXPECT_EQ(plot->y1Axis().ticks, 11);
    EXPECT_EQ(plot->y2Axis().ticks, 11);
}

TEST_F(PlotDisplayTest, PairedSetsShareTheColourOfTheirY1Set) {
    const std::vector<double> x = {0.0, 1.0};
    const std::vector<double> y = {0.0, 1.0};
    for (int i = 0; i < 3; ++i) plot->addAxis1Set(&x, &y);
    plot->addAxis2Set(&x, &y);
    plot->addAxis2Set(&x, &y);
    EXPECT_EQ(plot->axis1SetColour(0), "#b80058");
    EXPECT_EQ(plot->axis1SetColour(13), "#b80058");  // the palette wraps
    // Unpaired Y2 sets continue the palette after the Y1 sets.
    EXPECT_EQ(plot->axis2SetColour(0), "#006e00");
    plot->setPairedLegend(2, 0, wxS("5°"));
    EXPECT_EQ(plot->axis2SetColour(0), "#008cf9");
    EXPECT_EQ(plot->axis1Sets()[2].legend, wxS("5°"));
    EXPECT_EQ(plot->axis1Sets()[2].paired, 0);
}

TEST_F(PlotDisplayTest, CsvOfTheWidgetFollowsVisibility) {
    const std::vector<double> x = {1.0, 2.0};
    const std::vector<double> a = {3.0, 4.0};
    const std::vector<double> b = {5.0, 6.0};
    plot->addAxis1Set(&x, &a);
    plot->addAxis2Set(&x, &b);
    plot->setPairedLegend(0, 0, wxS("0 °"));
    const std::string csv = plot->getCSV();
    EXPECT_NE(csv.find("Cl [-] (0 °),Cd [-] (0 °)\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n1,3,5\n2,4,6\n"), std::string::npos) << csv;
    plot->hideAxis2Set(0);
    EXPECT_EQ(plot->getCSV().find(",5"), std::string::npos);
}

TEST_F(PlotDisplayTest, ClickActionsSelectTheNearestPositionAndRunIt) {
    const std::vector<double> positions = {1.0, 2.0, 4.0};
    int ran = -1;
    const std::vector<PlotDisplay::Action> actions = {[&] { ran = 0; }, [&] { ran = 1; }, [&] { ran = 2; }};
    plot->setClickAction(&positions, &actions);
    EXPECT_EQ(plot->nearestAction(0.0), 0);
    EXPECT_EQ(plot->nearestAction(1.4), 0);
    EXPECT_EQ(plot->nearestAction(1.5), 1);  // equal distance: the later one
    EXPECT_EQ(plot->nearestAction(3.0), 2);
    EXPECT_EQ(plot->nearestAction(100.0), 2);
}

TEST_F(PlotDisplayTest, ZoomAndResetRange) {
    const std::vector<double> x = {0.0, 10.0};
    const std::vector<double> y = {0.0, 100.0};
    const std::vector<double> y2 = {0.0, 1.0};
    plot->addAxis1Set(&x, &y);
    plot->addAxis2Set(&x, &y2);
    plot->zoomTo(2.0, 4.0, 30.0, 50.0);
    EXPECT_DOUBLE_EQ(plot->xAxis().start, 2.0);
    EXPECT_DOUBLE_EQ(plot->xAxis().end, 4.0);
    EXPECT_DOUBLE_EQ(plot->y1Axis().start, 30.0);
    EXPECT_DOUBLE_EQ(plot->y1Axis().end, 50.0);
    EXPECT_NEAR(plot->y2Axis().start, 0.3, 1e-12);  // the same part of the right axis
    EXPECT_EQ(plot->y1Axis().ticks, plot->y2Axis().ticks);
    plot->zoomBy(2.0, 0.5, 0.5);  // out around the middle
    EXPECT_LE(plot->xAxis().start, 2.0);
    EXPECT_GE(plot->xAxis().end, 4.0);
    plot->resetRange();
    EXPECT_DOUBLE_EQ(plot->xAxis().start, 0.0);
    EXPECT_DOUBLE_EQ(plot->xAxis().end, 10.0);
    EXPECT_DOUBLE_EQ(plot->y1Axis().end, 100.0);
}

TEST_F(PlotDisplayTest, ImageHasTheRequestedSizeAndShowsTheData) {
    std::vector<double> x, cl, cd;
    for (int i = -10; i <= 20; ++i) {
        x.push_back(i);
        cl.push_back(0.1 * i);
        cd.push_back(0.01 + 0.0005 * i * i);
    }
    plot->addAxis1Set(&x, &cl, true);
    plot->addAxis2Set(&x, &cd);
    plot->setPairedLegend(0, 0, "Re = 1e6");
    plot->setOorRanges({{{-10.0, -8.0}}});
    plot->showPoints();

    for (const wxSize size : {wxSize(1200, 800), wxSize(300, 150)}) {
        const wxBitmap bitmap = plot->getImage(size.x, size.y);
        ASSERT_TRUE(bitmap.IsOk());
        EXPECT_EQ(bitmap.GetWidth(), size.x);
        EXPECT_EQ(bitmap.GetHeight(), size.y);
        EXPECT_EQ(bitmap.GetDepth(), 32);

        const wxImage image = bitmap.ConvertToImage();
        long inked = 0, setColoured = 0;
        const long pixels = static_cast<long>(size.x) * size.y;
        for (int py = 0; py < size.y; ++py)
            for (int px = 0; px < size.x; ++px) {
                const int r = image.GetRed(px, py), g = image.GetGreen(px, py), b = image.GetBlue(px, py);
                if (r < 200 || g < 200 || b < 200) ++inked;
                // The Y1 set's colour #b80058, allowing for antialiasing.
                if (std::abs(r - 0xb8) < 25 && g < 40 && std::abs(b - 0x58) < 30) ++setColoured;
            }
        EXPECT_GT(inked, pixels / 200) << "blank image " << size.x << "x" << size.y;
        EXPECT_LT(inked, pixels / 2) << "image not on a white background";
        EXPECT_GT(setColoured, 20) << "the data set is not drawn";
    }
    EXPECT_THROW(plot->getImage(0, 100), std::string);
}

TEST_F(PlotDisplayTest, PngOfAChartIsWrittenAndReadBack) {
    const std::vector<double> x = {0.0, 1.0, 2.0};
    const std::vector<double> y = {1.0, 3.0, 2.0};
    plot->addAxis1Set(&x, &y);
    const wxString path = wxFileName::CreateTempFileName("korvane-plot") + ".png";
    ASSERT_TRUE(plot->getImage(800, 600).SaveFile(path, wxBITMAP_TYPE_PNG));
    wxImage back;
    ASSERT_TRUE(back.LoadFile(path, wxBITMAP_TYPE_PNG));
    EXPECT_EQ(back.GetWidth(), 800);
    EXPECT_EQ(back.GetHeight(), 600);
    wxRemoveFile(path);
}

}  // namespace
