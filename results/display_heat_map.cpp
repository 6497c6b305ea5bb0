#include "results/display_heat_map.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>

#include <algorithm>
#include <cmath>

namespace {

// Stops of the colour scale from the smallest to the largest value.
const unsigned char kScale[][3] = {{48, 18, 120}, {33, 102, 172}, {32, 164, 134}, {142, 203, 66}, {250, 230, 40}};
constexpr int kStops = 5;

wxString label(double value) { return wxString::Format("%.3g", value); }

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
    m_min = 0.0;
    m_max = 0.0;
    bool first = true;
    for (const auto& row : m_values) {
        for (double v : row) {
            if (!std::isfinite(v)) continue;
            m_min = first ? v : std::min(m_min, v);
            m_max = first ? v : std::max(m_max, v);
            first = false;
        }
    }
    Refresh();
}

wxColour DisplayHeatMap::colourOf(double value) const {
    if (!std::isfinite(value)) return wxColour(160, 160, 160);
    const double t = m_max > m_min ? std::clamp((value - m_min) / (m_max - m_min), 0.0, 1.0) : 0.5;
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
    const int left = text * 3 + 6;
    const int top = text + 8;
    const int barWidth = std::max(8, size.x / 30);
    const int right = barWidth + text * 4;
    const int bottom = text * 3 + 6;
    const wxRect area(left, top, size.x - left - right, size.y - top - bottom);
    dc.DrawText(m_title, left, 2);
    if (area.width <= 0 || area.height <= 0 || m_x.empty() || m_y.empty()) return;

    // Cells span halfway to their neighbours.
    const double x0 = m_x.front(), x1 = m_x.back(), y0 = m_y.front(), y1 = m_y.back();
    auto px = [&](double x) { return area.x + (x1 > x0 ? (x - x0) / (x1 - x0) : 0.5) * area.width; };
    auto py = [&](double y) { return area.y + area.height - (y1 > y0 ? (y - y0) / (y1 - y0) : 0.5) * area.height; };
    auto edge = [](const std::vector<double>& v, std::size_t i, bool upper) {
        if (v.size() == 1) return v[0] + (upper ? 0.5 : -0.5);
        if (upper) return i + 1 < v.size() ? 0.5 * (v[i] + v[i + 1]) : v[i] + 0.5 * (v[i] - v[i - 1]);
        return i > 0 ? 0.5 * (v[i] + v[i - 1]) : v[i] - 0.5 * (v[i + 1] - v[i]);
    };
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
    dc.DestroyClippingRegion();
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(area);

    // Axis ends and labels.
    dc.DrawText(label(x0), area.x, area.GetBottom() + 3);
    const wxString xEnd = label(x1);
    dc.DrawText(xEnd, area.GetRight() - dc.GetTextExtent(xEnd).x, area.GetBottom() + 3);
    dc.DrawText(m_xLabel, area.x + (area.width - dc.GetTextExtent(m_xLabel).x) / 2, area.GetBottom() + 3 + text);
    const wxString yEnd = label(y1);
    dc.DrawText(label(y0), area.x - dc.GetTextExtent(label(y0)).x - 3, area.GetBottom() - text);
    dc.DrawText(yEnd, area.x - dc.GetTextExtent(yEnd).x - 3, area.y);
    dc.DrawRotatedText(m_yLabel, 2, area.y + (area.height + dc.GetTextExtent(m_yLabel).x) / 2, 90);

    // Colour bar from the smallest value (bottom) to the largest (top).
    const wxRect bar(area.GetRight() + text, area.y, barWidth, area.height);
    for (int k = 0; k < bar.height; ++k) {
        const double v = m_max - (m_max - m_min) * k / std::max(1, bar.height - 1);
        dc.SetPen(wxPen(colourOf(v)));
        dc.DrawLine(bar.x, bar.y + k, bar.x + bar.width, bar.y + k);
    }
    dc.SetPen(*wxBLACK_PEN);
    dc.DrawRectangle(bar);
    dc.DrawText(label(m_max), bar.GetRight() + 3, bar.y);
    dc.DrawText(label(m_min), bar.GetRight() + 3, bar.GetBottom() - text);
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
