#include "results/display_plot.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "WxTestApp.h"
#include "bemt/Error.h"
#include "results/plot_painter.h"

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

TEST(PlotCsv, OneTablePerXVectorValuesFollowVisibilityAndLabels) {
    const std::vector<double> x = {0.1, 0.55, 1.0}, a = {1.0, 2.5, 1234567.0}, b = {0.001, -3.0, 1e-7};
    const std::vector<double> x1 = {1.0, 2.0, 3.0}, y1 = {3.0, 4.0, 5.0};
    const std::vector<double> x2 = {1.0, 2.0, 3.0}, y2 = {5.0, 6.0, 7.0};  // equal values, another vector
    const std::vector<double> x3 = {1.0, 3.0}, y3 = {9.0, 9.0};            // a line from end to end (rated power)
    const std::vector<double> tsr = {4.0, 8.0}, wind = {12.5, 6.25}, power = {310.0, 150.0}, one = {1.0};
    const std::vector<double> p2 = {1.0, 2.0}, q2 = {3.0, 4.0}, r2 = {5.0, 6.0}, lone = {2.0}, y = {3.0};
    const struct {
        const char* name;
        wxString y1Label, y2Label;
        std::vector<PlotSet> y1, y2;
        std::vector<PlotCsvColumn> extra;
        bool logarithmic;
        wxString csv;
    } rows[] = {
        {"sets sharing one X", "c/R [-]", "", {setOf(&x, &a, wxS("0°")), setOf(&x, &b)}, {}, {}, false,
         wxS("X,c/R [-] (0°),c/R [-]\n0.1,1,0.001\n0.55,2.5,-3\n1,1234567,1e-07\n")},
        {"Y2 after Y1", "P", "T", {setOf(&p2, &q2, wxS("5°"))}, {setOf(&p2, &r2, wxS("5°"))}, {}, false,
         wxS("X,P (5°),T (5°)\n1,3,5\n2,4,6\n")},
        // A logarithmic left axis holds exponents: its column gets the values, the right one stays.
        {"logarithmic Y1", "Re [-]", "F [-]", {setOf(&p2, &q2)}, {setOf(&p2, &r2)}, {}, true,
         "X,Re [-],F [-]\n1,1000,5\n2,10000,6\n"},
        {"equal X values", "Y", "Z", {setOf(&x1, &y1)}, {setOf(&x2, &y2, "b")}, {}, false,
         "X,Y,Z (b)\n1,3,5\n2,4,6\n3,5,7\n"},
        // One header line; the shorter X leaves its cells empty below its end.
        {"another X", "Y", "", {setOf(&x1, &y1, "a"), setOf(&x3, &y3, "r"), setOf(&x2, &y2, "b")}, {}, {}, false,
         "X,Y (a),Y (b),X,Y (r)\n1,3,5,1,9\n2,4,6,3,9\n3,5,7,,\n"},
        // A sweep over the tip speed ratio keeps the wind velocity of every point.
        {"extra columns", "P [kW]", "", {setOf(&tsr, &power, "0 deg")}, {},
         {{"Wind velocity [m/s]", &wind}, {"ignored", &one}}, false,
         "X,Wind velocity [m/s],P [kW] (0 deg)\n4,12.5,310\n8,6.25,150\n"},
        // The only differing X vector belongs to a hidden set: one table remains.
        {"hidden X", "Y", "", {setOf(&one, &y, "a"), setOf(&lone, &y, "b", true)}, {}, {}, false, "X,Y (a)\n1,3\n"},
        {"all hidden", "Y", "", {setOf(&one, &y, "a", true)}, {}, {}, false, "X\n"},
        {"no sets", "Y", "", {}, {}, {}, false, "X\n"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(plotCsvText("X", row.y1Label, row.y2Label, row.y1, row.y2, row.extra, row.logarithmic), row.csv)
            << row.name;
}

TEST(PlotQuantity, TheLabelWithoutItsUnit) {
    EXPECT_EQ(plotQuantity(wxS("Angle of attack α [°]")), wxS("Angle of attack α"));
    EXPECT_EQ(plotQuantity("Cl / Cd ratio [-]"), "Cl / Cd ratio");
    EXPECT_EQ(plotQuantity("c/R"), "c/R");
}

// Text widths of a proportional font: about 0.55 of the size per character.
double modelWidth(const wxString& text, double size) { return 0.55 * size * text.length(); }

void expectFits(const PlotTitleFit& fit, const wxString& title, double width, double preferred,
                const std::function<double(const wxString&, double)>& measure) {
    ASSERT_FALSE(fit.lines.empty());
    ASSERT_LE(fit.lines.size(), 2u);
    EXPECT_LE(fit.size, preferred);
    // Nothing lost: the lines are the title, split at one gap.
    EXPECT_EQ(fit.lines.size() == 1 ? fit.lines[0] : fit.lines[0] + " " + fit.lines[1], title);
    for (const auto& line : fit.lines) EXPECT_LE(measure(line, fit.size), width) << width << ": " << line;
}

TEST(PlotTitle, FitsEveryWidthShrinkingOrWrapping) {
    const wxString title = wxS("Angle of attack, relative velocity angle at pitch angle 12.5 ° vs relative x/R");
    for (double width = 150.0; width <= 2000.0; width += 1.0) {
        const PlotTitleFit fit = fitPlotTitle(title, width, 18.0, modelWidth);
        expectFits(fit, title, width, 18.0, modelWidth);
        // Wide enough for the whole title: one line at the preferred size.
        if (modelWidth(title, 18.0) <= width) {
            EXPECT_EQ(fit.lines.size(), 1u);
            EXPECT_DOUBLE_EQ(fit.size, 18.0);
        }
        // Two lines keep the text readable down to narrow charts.
        if (width >= 300.0) {
            EXPECT_GE(fit.size, 9.0) << width;
        }
    }
    // A title without gaps shrinks on one line.
    const PlotTitleFit word = fitPlotTitle("Aerodynamics", 30.0, 18.0, modelWidth);
    ASSERT_EQ(word.lines.size(), 1u);
    EXPECT_LE(modelWidth("Aerodynamics", word.size), 30.0);
}

// A legend of many curves names every k-th one, the first and the last, keeps the bands
// and says what it left out.
TEST(PlotLegend, ThinnedToEveryKthCurveFromFirstToLast) {
    std::vector<PlotLegendEntry> entries;
    for (int i = 0; i < 11; ++i) entries.push_back({PlotLegendEntry::Curve, wxString::Format("%d", i), "#000000"});
    entries.push_back({PlotLegendEntry::Band, "Unconverged", "#ff0000"});
    const auto texts = [](const std::vector<PlotLegendEntry>& listed) {
        wxString all;
        for (const auto& e : listed) all += e.text + "|";
        return all;
    };
    EXPECT_EQ(texts(thinnedLegend(entries, 3)), "0|3|6|9|10|Unconverged|(1 in 3 of the 11 curves listed)|");
    EXPECT_EQ(texts(thinnedLegend(entries, 5)), "0|5|10|Unconverged|(1 in 5 of the 11 curves listed)|");
    EXPECT_EQ(thinnedLegend(entries, 5).back().kind, PlotLegendEntry::Note);
}

TEST(PlotDisplayTitle, RealFontsFitAtEveryChartSize) {
    KORVANE_REQUIRE_WX();
    wxBitmap bitmap(10, 10, 32);
    wxMemoryDC dc(bitmap);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    ASSERT_TRUE(gc);
    const auto measure = [&gc](const wxString& text, double size) {
        gc->SetFont(gc->CreateFont(size, wxEmptyString, wxFONTFLAG_BOLD, *wxBLACK));
        double w = 0, h = 0;
        gc->GetTextExtent(text, &w, &h);
        return w;
    };
    const wxString titles[] = {
        wxS("Angle of attack, relative velocity angle vs relative x/R and pitch angle"),
        wxS("Reynold's number, tip loss factor at pitch angle -2.5 ° vs relative x/R"),
        wxS("Lift and drag coefficients ratio at x/R = 0.0625, Re = 1.92 × 10⁶"),
        wxS("Turbine's thrust coefficient at pitch angle 10 ° vs tip speed ratio"),
    };
    // The chart's minimum is 300 x 200; its title has the chart width less two margins
    // and a preferred size that grows with width + height (up to 1.6 times).
    for (int width = 300; width <= 2400; width += 13) {
        const double s = std::max((width + 0.6 * width) / 1000.0, 0.2);
        const double preferred = 18.0 * std::clamp(s, 0.85, 1.6);
        const double available = width - 20.0 * s;
        for (const auto& title : titles) {
            SCOPED_TRACE(title.utf8_string());
            expectFits(fitPlotTitle(title, available, preferred, measure), title, available, preferred, measure);
        }
    }
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
    } catch (const bemt::Error& error) {
        EXPECT_EQ(error.message(), "Can not plot data set with unequal X and Y vector sizes.");
    }
    EXPECT_THROW(plot->addAxis2Set(&x, &y), bemt::Error);
    EXPECT_TRUE(plot->axis1Sets().empty());

    const std::vector<PlotDisplay::Action> actions(1);
    try {
        plot->setClickAction(&x, &actions);
        FAIL() << "no error";
    } catch (const bemt::Error& error) {
        EXPECT_EQ(error.message(), "The vectors of actions and x values must be the same size.");
    }
}

// Adding a set widens the ranges and returns its index; hiding one keeps them until a
// reset; the right axis shares the left one's grid.
TEST_F(PlotDisplayTest, RangesFollowTheSetsShownAfterAReset) {
    const std::vector<double> x = {0.3, 7.9}, y = {2.0, 9.0}, x2 = {-4.0, 1.0}, y2 = {10.0, 250.0};
    EXPECT_EQ(plot->addAxis1Set(&x, &y), 0);
    EXPECT_DOUBLE_EQ(plot->xAxis().start, 0.0);
    EXPECT_DOUBLE_EQ(plot->xAxis().end, 8.0);
    EXPECT_DOUBLE_EQ(plot->y1Axis().end, 9.0);
    EXPECT_EQ(plot->addAxis1Set(&x2, &y2), 1);
    EXPECT_DOUBLE_EQ(plot->xAxis().start, -4.0);
    EXPECT_DOUBLE_EQ(plot->y1Axis().end, 250.0);

    plot->hideAxis1Set(1);
    EXPECT_DOUBLE_EQ(plot->y1Axis().end, 250.0);
    plot->resetRange();
    EXPECT_DOUBLE_EQ(plot->y1Axis().end, 9.0);
    plot->showAxis1Set(1);
    plot->resetRange();
    EXPECT_DOUBLE_EQ(plot->y1Axis().end, 250.0);
    EXPECT_THROW(plot->hideAxis1Set(5), bemt::Error);

    const std::vector<double> unit = {0.0, 1.0}, eight = {0.0, 8.0}, half = {0.0, 0.5};
    auto* chart = new PlotDisplay(frame, "Cp", "TSR [-]", "Cp [-]", "Ct [-]", true, false);
    chart->addAxis1Set(&unit, &eight);
    chart->addAxis2Set(&unit, &half);
    EXPECT_EQ(chart->y1Axis().ticks, chart->y2Axis().ticks);
    chart->resetRange();
    EXPECT_EQ(chart->y1Axis().ticks, chart->y2Axis().ticks);
    EXPECT_LE(chart->y1Axis().end, 10.0);
    EXPECT_DOUBLE_EQ(chart->y2Axis().end, 0.5);
}

TEST_F(PlotDisplayTest, PairedSetsShareTheColourOfTheirY1Set) {
    const std::vector<double> x = {0.0, 1.0};
    const std::vector<double> y = {0.0, 1.0};
    for (int i = 0; i < 3; ++i) plot->addAxis1Set(&x, &y);
    plot->addAxis2Set(&x, &y);
    plot->addAxis2Set(&x, &y);
    // Unpaired Y2 sets continue the palette after the Y1 sets.
    EXPECT_EQ(plot->axis2SetColour(0), plotPaletteColour(3));
    plot->setPairedLegend(2, 0, wxS("5°"));
    EXPECT_EQ(plot->axis2SetColour(0), plot->axis1SetColour(2));
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

TEST_F(PlotDisplayTest, ClickActionsSelectTheNearestPosition) {
    // A click runs the selected action: ChartMouse in the compute tests.
    const std::vector<double> positions = {1.0, 2.0, 4.0};
    const std::vector<PlotDisplay::Action> actions(3);
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

    // A coefficient read from 0: values below the floor are a zoom away, also after a reset.
    const std::vector<double> negative = {-80.0, 60.0};
    plot->addAxis1Set(&x, &negative);
    plot->setY1Floor(0.0);
    EXPECT_DOUBLE_EQ(plot->y1Axis().start, 0.0);
    plot->zoomTo(0.0, 10.0, -80.0, 100.0);
    plot->resetRange();
    EXPECT_DOUBLE_EQ(plot->y1Axis().start, 0.0);
    plot->setY1Floor(std::nullopt);
    EXPECT_LE(plot->y1Axis().start, -80.0);
}

TEST_F(PlotDisplayTest, WheelZoomIsASteadyFactorAndReturnsToTheSameRange) {
    const std::vector<double> x = {0.0, 250.0};
    const std::vector<double> y = {0.0, 1.0};
    const std::vector<double> y2 = {0.0, 40.0};
    plot->addAxis1Set(&x, &y);
    plot->addAxis2Set(&x, &y2);
    const PlotAxis x0 = plot->xAxis(), y0 = plot->y1Axis(), r0 = plot->y2Axis();
    ASSERT_DOUBLE_EQ(x0.end, 250.0);
    // Eight notches in around a point off the middle: the range shrinks by the same
    // factor each time (it once snapped back to 0 .. 250).
    double previous = x0.range;
    for (int i = 0; i < 8; ++i) {
        plot->zoomBy(0.8, 0.3, 0.7);
        EXPECT_NEAR(plot->xAxis().range, 0.8 * previous, 1e-9 * previous);
        previous = plot->xAxis().range;
        EXPECT_GE(plot->xAxis().ticks, 2);
    }
    EXPECT_NEAR(plot->xAxis().range, 250.0 * std::pow(0.8, 8), 1e-9);
    // The point under the pointer stays where it is.
    EXPECT_NEAR(plot->xAxis().start + 0.3 * plot->xAxis().range, 0.3 * 250.0, 1e-9);
    for (int i = 0; i < 8; ++i) plot->zoomBy(1.25, 0.3, 0.7);
    for (const auto& [now, before] : {std::pair{plot->xAxis(), x0}, std::pair{plot->y1Axis(), y0},
                                      std::pair{plot->y2Axis(), r0}}) {
        EXPECT_NEAR(now.start, before.start, 1e-9 * before.range);
        EXPECT_NEAR(now.end, before.end, 1e-9 * before.range);
    }
}

TEST_F(PlotDisplayTest, LegendNamesEveryCurveAndBandWhenThereIsMoreThanOne) {
    const std::vector<double> x = {0.2, 0.6, 1.0};
    const std::vector<double> alpha = {8.0, 6.0, 5.0}, phi = {30.0, 12.0, 7.0}, best = {7.0, 7.0, 7.0};
    // One curve: nothing to tell apart, no legend.
    plot->addAxis1Set(&x, &alpha);
    plot->setAxis1SetLegend(0, wxS("0 °"));
    EXPECT_FALSE(plot->legendShown());
    // One pitch angle with a right-axis partner and the best-angle curve: the line styles
    // say which axis, the entries which curve.
    plot->addAxis2Set(&x, &phi);
    plot->setPairedLegend(0, 0, wxS("0 °"));
    const int extra = plot->addAxis1Set(&x, &best);
    plot->setAxis1SetLegend(extra, "Angle of attack for max. Cl/Cd");
    plot->setAxis1SetStyle(extra, PlotLine::Dotted, false, "#303030");
    plot->setOorRanges({{{0.9, 1.0}}, {}});
    auto entries = plot->legendEntries();
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].text, "Cl (left axis)");
    EXPECT_EQ(entries[0].line, PlotLine::Solid);
    EXPECT_EQ(entries[1].text, "Cd (right axis)");
    EXPECT_EQ(entries[1].line, PlotLine::Dashed);
    EXPECT_EQ(entries[2].text, wxS("0 °"));
    EXPECT_TRUE(entries[2].alsoDashed);
    EXPECT_EQ(entries[3].text, "Angle of attack for max. Cl/Cd (left axis)");  // the CSV heading names no axis
    EXPECT_EQ(plot->getCSV().find("axis)"), std::string::npos);
    EXPECT_EQ(entries[3].line, PlotLine::Dotted);
    EXPECT_EQ(entries[3].colour, "#303030");
    EXPECT_EQ(plot->axis1SetColour(extra), "#303030");
    EXPECT_EQ(entries[4].kind, PlotLegendEntry::Band);
    EXPECT_EQ(entries[4].text, "Airfoil data extrapolated");
    // Bands hidden: their entry goes; the analyser names its bands itself.
    plot->hideOorRanges();
    EXPECT_EQ(plot->legendEntries().size(), 4u);
    plot->showOorRanges();
    plot->setBandLegends("", "Outside the airfoil data (predicted)");
    EXPECT_EQ(plot->legendEntries().back().text, "Outside the airfoil data (predicted)");
    plot->hideLegend();
    EXPECT_FALSE(plot->legendShown());

    // One unpaired curve on each axis (rotor speed and pitch): each named once, by its axis.
    auto* control = new PlotDisplay(frame, "Control", "V [m/s]", "Rotor speed [rpm]", "Pitch [deg]", true, false);
    control->setAxis1SetLegend(control->addAxis1Set(&x, &alpha), "Rotor speed");
    control->setAxis2SetLegend(control->addAxis2Set(&x, &phi), "Pitch");
    entries = control->legendEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].text, "Rotor speed (left axis)");
    EXPECT_EQ(entries[1].text, "Pitch (right axis)");
}

// Pixels in the first set's colour #b80058, allowing for antialiasing.
long firstSetPixels(const wxImage& image) {
    long count = 0;
    for (int py = 0; py < image.GetHeight(); ++py)
        for (int px = 0; px < image.GetWidth(); ++px)
            if (std::abs(image.GetRed(px, py) - 0xb8) < 25 && image.GetGreen(px, py) < 40 &&
                std::abs(image.GetBlue(px, py) - 0x58) < 30)
                ++count;
    return count;
}

TEST_F(PlotDisplayTest, AValueWithoutNeighboursIsDrawnAsADot) {
    // A range of one position, and a value between gaps: no line to draw them on.
    const double gap = std::numeric_limits<double>::quiet_NaN();
    for (const auto& [x, y] :
         {std::pair{std::vector{5.0}, std::vector{0.4}}, {std::vector{1.0, 2.0, 3.0}, std::vector{gap, 0.3, gap}}}) {
        auto* chart = new PlotDisplay(frame, "Cp", "TSR [-]", "Cp [-]", "", false, false);
        chart->addAxis1Set(&x, &y, true);
        EXPECT_GT(firstSetPixels(chart->getImage(400, 300).ConvertToImage()), 5) << x.size();
    }
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
        long inked = 0;
        const long pixels = static_cast<long>(size.x) * size.y;
        for (int py = 0; py < size.y; ++py)
            for (int px = 0; px < size.x; ++px)
                if (image.GetRed(px, py) < 200 || image.GetGreen(px, py) < 200 || image.GetBlue(px, py) < 200) ++inked;
        EXPECT_GT(inked, pixels / 200) << "blank image " << size.x << "x" << size.y;
        EXPECT_LT(inked, pixels / 2) << "image not on a white background";
        EXPECT_GT(firstSetPixels(image), 20) << "the data set is not drawn";
    }
    EXPECT_THROW(plot->getImage(0, 100), bemt::Error);
}

TEST_F(PlotDisplayTest, AZoomedCurveEndsAtTheFrame) {
    // A thick diagonal far beyond the zoomed span: none of its pixels may pass the frame.
    const std::vector<double> x = {-100.0, 100.0};
    plot->addAxis1Set(&x, &x);
    plot->zoomTo(-2.0, 2.0, -2.0, 2.0);
    const wxImage image = plot->getImage(600, 400).ConvertToImage();
    const auto dark = [&](int px, int py) {  // the frame's grey, antialiased
        const int r = image.GetRed(px, py), g = image.GetGreen(px, py), b = image.GetBlue(px, py);
        return r < 180 && std::abs(r - g) < 10 && std::abs(g - b) < 10;
    };
    const auto curve = [&](int px, int py) { return image.GetRed(px, py) > 120 && image.GetGreen(px, py) < 60; };
    // The frame: the outermost columns and rows with a long dark run.
    int left = 600, right = -1, top = 400, bottom = -1;
    for (int px = 0; px < 600; ++px) {
        int run = 0;
        for (int py = 0; py < 400; ++py) {
            run = dark(px, py) ? run + 1 : 0;
            if (run > 150) left = std::min(left, px), right = std::max(right, px);
        }
    }
    for (int py = 0; py < 400; ++py) {
        int run = 0;
        for (int px = 0; px < 600; ++px) {
            run = dark(px, py) ? run + 1 : 0;
            if (run > 250) top = std::min(top, py), bottom = std::max(bottom, py);
        }
    }
    ASSERT_LT(left, right);
    ASSERT_LT(top, bottom);
    int inside = 0;
    for (int py = 0; py < 400; ++py)
        for (int px = 0; px < 600; ++px) {
            if (!curve(px, py)) continue;
            EXPECT_TRUE(px >= left && px <= right && py >= top && py <= bottom) << px << "," << py;
            ++inside;
        }
    EXPECT_GT(inside, 100);
}

}  // namespace
