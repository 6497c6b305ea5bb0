#include "results/display_heat_map.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>

#include <algorithm>
#include <cmath>

#include "results/contour_lines.h"

namespace {

// Stops of the colour scale from the smallest to the largest value.
const unsigned char kScale[][3] = {{48, 18, 120}, {33, 102, 172}, {32, 164, 134}, {142, 203, 66}, {250, 230, 40}};
constexpr int kStops = 5;

wxString label(double value) { return wxString::Format("%.3g", value); }

// The edge of cell i of a grid vector: halfway to its neighbour.
double edge(const std::vector<double>& v, std::size_t i, bool upper) {
    if (v.size() == 1) return v[0] + (upper ? 0.5 : -0.5);
    if (upper) return i + 1 < v.size() ? 0.5 * (v[i] + v[i + 1]) : v[i] + 0.5 * (v[i] - v[i - 1]);
    return i > 0 ? 0.5 * (v[i] + v[i - 1]) : v[i] - 0.5 * (v[i + 1] - v[i]);
}

// An axis over the cells' full extent, with ticks at round values inside it.
PlotAxis cellAxis(const std::vector<double>& v) {
    PlotAxis axis;
    axis.zoomTo(edge(v, 0, false), edge(v, v.size() - 1, true), false);
    return axis;
}

}  // namespace

DisplayHeatMap::DisplayHeatMap(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(FromDIP(wxSize(260, 220)));
    Bind(wxEVT_PAINT, &DisplayHeatMap::onPaint, this);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        Refresh();
        event.Skip();
    });
}

void DisplayHeatMap::setData(std::vector<double> x, std::vector<double> y, std::vector<std::vector<double>> values,
                             const wxString& title, const wxString& xLabel, const wxString& yLabel) {
    m_x = std::move(x);
    m_y = std::move(y);
    m_values = std::move(values);
    m_title = title;
    m_xLabel = xLabel;
    m_yLabel = yLabel;
    rescale();
}

void DisplayHeatMap::setScaleFloor(std::optional<double> floor) {
    m_floor = floor;
    rescale();
}

void DisplayHeatMap::rescale() {
    m_scale.reset();
    m_largest = {-1, -1};
    double largest = 0.0;
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        m_scale.widen(m_values[i]);
        for (std::size_t j = 0; j < m_values[i].size(); ++j) {
            const double v = m_values[i][j];
            if (std::isfinite(v) && (m_largest.first < 0 || v > largest)) {
                largest = v;
                m_largest = {static_cast<int>(i), static_cast<int>(j)};
            }
        }
    }
    if (m_floor && m_scale.hasData()) m_scale.dataMin = std::min(std::max(m_scale.dataMin, *m_floor), m_scale.dataMax);
    // The scale spans the values exactly; its round ticks inside are the contour levels.
    if (m_scale.hasData() && m_scale.dataMin < m_scale.dataMax)
        m_scale.zoomTo(m_scale.dataMin, m_scale.dataMax, false);
    else if (m_scale.hasData())
        m_scale.zoomTo(m_scale.dataMin - 0.5, m_scale.dataMin + 0.5, false);
    Refresh();
}

wxColour DisplayHeatMap::colourOf(double value) const {
    if (!std::isfinite(value)) return wxColour(160, 160, 160);
    const double t = m_scale.range > 0.0 ? std::clamp((value - m_scale.start) / m_scale.range, 0.0, 1.0) : 0.5;
    const double position = t * (kStops - 1);
    const int k = std::min(static_cast<int>(position), kStops - 2);
    const double f = position - k;
    auto mix = [&](int c) {
        return static_cast<unsigned char>(std::lround(kScale[k][c] + f * (kScale[k + 1][c] - kScale[k][c])));
    };
    return wxColour(mix(0), mix(1), mix(2));
}

void DisplayHeatMap::draw(wxDC& dc, const wxSize& size) const {
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    const double s = (size.x + size.y) / 1000.0;
    wxFont font = wxNORMAL_FONT->Scaled(static_cast<float>(std::max(0.8, s)));
    dc.SetFont(font);
    dc.SetTextForeground(*wxBLACK);
    const int text = dc.GetCharHeight();
    const int tick = std::max(3, text / 3);
    const int left = text * 2 + dc.GetTextExtent("-00.0").x + tick;
    const int top = text + 8;
    const int barWidth = std::max(8, size.x / 30);
    const int right = barWidth + text + dc.GetTextExtent("0.000").x + tick;
    const int bottom = text * 2 + tick + 6;
    const wxRect area(left, top, size.x - left - right, size.y - top - bottom);
    dc.DrawText(m_title, left, 2);
    if (area.width <= 0 || area.height <= 0 || m_x.empty() || m_y.empty()) return;

    const PlotAxis xAxis = cellAxis(m_x), yAxis = cellAxis(m_y);
    auto px = [&](double x) { return area.x + (x - xAxis.start) / xAxis.range * area.width; };
    auto py = [&](double y) { return area.GetBottom() + 1 - (y - yAxis.start) / yAxis.range * area.height; };
    dc.SetClippingRegion(area);
    dc.SetPen(*wxTRANSPARENT_PEN);
    for (std::size_t i = 0; i < m_x.size() && i < m_values.size(); ++i) {
        for (std::size_t j = 0; j < m_y.size() && j < m_values[i].size(); ++j) {
            const int xa = static_cast<int>(std::floor(px(edge(m_x, i, false))));
            const int xb = static_cast<int>(std::ceil(px(edge(m_x, i, true))));
            const int ya = static_cast<int>(std::floor(py(edge(m_y, j, true))));
            const int yb = static_cast<int>(std::ceil(py(edge(m_y, j, false))));
            dc.SetBrush(wxBrush(colourOf(m_values[i][j])));
            dc.DrawRectangle(xa, ya, xb - xa, yb - ya);
        }
    }
    // Contour lines at the colour bar's ticks.
    dc.SetPen(wxPen(wxColour(255, 255, 255, 200), 1));
    for (int k = 0; k < m_scale.ticks; ++k) {
        for (const ContourSegment& c : contourSegments(m_x, m_y, m_values, m_scale.tick(k)))
            dc.DrawLine(wxRound(px(c.x1)), wxRound(py(c.y1)), wxRound(px(c.x2)), wxRound(py(c.y2)));
    }
    // The largest value: a ring with its value.
    if (m_largest.first >= 0) {
        const double x = m_x[static_cast<std::size_t>(m_largest.first)];
        const double y = m_y[static_cast<std::size_t>(m_largest.second)];
        const wxPoint at(wxRound(px(x)), wxRound(py(y)));
        const int r = std::max(4, text / 2);
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.SetPen(wxPen(*wxBLACK, 3));
        dc.DrawCircle(at, r);
        dc.SetPen(wxPen(*wxWHITE, 1));
        dc.DrawCircle(at, r);
        const wxString note = "max. " + label(m_values[static_cast<std::size_t>(m_largest.first)]
                                                      [static_cast<std::size_t>(m_largest.second)]);
        const wxSize extent = dc.GetTextExtent(note);
        int nx = at.x + r + 2;
        if (nx + extent.x > area.GetRight()) nx = at.x - r - 2 - extent.x;
        const int ny = std::max(area.y, at.y - r - extent.y);
        dc.SetBrush(wxBrush(wxColour(255, 255, 255)));
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.DrawRectangle(nx - 1, ny, extent.x + 2, extent.y);
        dc.DrawText(note, nx, ny);
    }
    dc.DestroyClippingRegion();
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(area);

    // Ticks and labels on both axes.
    const std::vector<std::string> xTicks = tickLabels(xAxis, false), yTicks = tickLabels(yAxis, false);
    for (int k = 0; k < xAxis.ticks; ++k) {
        const int x = wxRound(px(xAxis.tick(k)));
        dc.DrawLine(x, area.GetBottom(), x, area.GetBottom() + tick);
        const wxString t = wxString::FromUTF8(xTicks[static_cast<std::size_t>(k)]);
        dc.DrawText(t, x - dc.GetTextExtent(t).x / 2, area.GetBottom() + tick + 1);
    }
    for (int k = 0; k < yAxis.ticks; ++k) {
        const int y = wxRound(py(yAxis.tick(k)));
        dc.DrawLine(area.x - tick, y, area.x, y);
        const wxString t = wxString::FromUTF8(yTicks[static_cast<std::size_t>(k)]);
        const wxSize e = dc.GetTextExtent(t);
        dc.DrawText(t, area.x - tick - 2 - e.x, y - e.y / 2);
    }
    dc.DrawText(m_xLabel, area.x + (area.width - dc.GetTextExtent(m_xLabel).x) / 2, area.GetBottom() + tick + 1 + text);
    dc.DrawRotatedText(m_yLabel, 2, area.y + (area.height + dc.GetTextExtent(m_yLabel).x) / 2, 90);

    // Colour bar from the lowest value of the scale (bottom) to the largest (top), with
    // the contour levels as ticks.
    const wxRect bar(area.GetRight() + text / 2, area.y, barWidth, area.height);
    for (int k = 0; k < bar.height; ++k) {
        const double v = m_scale.start + m_scale.range * (bar.height - 1 - k) / std::max(1, bar.height - 1);
        dc.SetPen(wxPen(colourOf(v)));
        dc.DrawLine(bar.x, bar.y + k, bar.x + bar.width, bar.y + k);
    }
    dc.SetPen(*wxBLACK_PEN);
    dc.DrawRectangle(bar);
    const std::vector<std::string> scaleTicks = tickLabels(m_scale, false);
    for (int k = 0; k < m_scale.ticks && m_scale.range > 0.0; ++k) {
        const int y = wxRound(bar.GetBottom() - (m_scale.tick(k) - m_scale.start) / m_scale.range * (bar.height - 1));
        dc.DrawLine(bar.GetRight(), y, bar.GetRight() + tick, y);
        const wxString t = wxString::FromUTF8(scaleTicks[static_cast<std::size_t>(k)]);
        dc.DrawText(t, bar.GetRight() + tick + 2, y - dc.GetTextExtent(t).y / 2);
    }
}

void DisplayHeatMap::onPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    draw(dc, GetClientSize());
}

wxBitmap DisplayHeatMap::getImage(int width, int height) const {
    wxBitmap bitmap(width, height, 32);
    wxMemoryDC dc(bitmap);
    draw(dc, wxSize(width, height));
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}
