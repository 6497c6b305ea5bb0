#pragma once
// Data coordinates to pixels and back, written once: a chart area in pixels and the spans
// of the three axes. The drawing, the pointer's readout, zooms and clicks all map through
// it, so the point the pointer selects is the point drawn under it.

#include <wx/geometry.h>

#include "results/plot_axis.h"

// The span of an axis as drawn: an axis without any extent is drawn from 0 to 1.
struct PlotSpan {
    double start = 0.0;
    double range = 1.0;
    explicit PlotSpan(const PlotAxis& axis);
};

// The chart area in pixels, y growing downwards.
struct PlotArea {
    double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
};

class PlotMapping {
public:
    PlotMapping(const PlotArea& area, const PlotAxis& x, const PlotAxis& y1, const PlotAxis& y2);

    const PlotArea& area() const { return m_area; }
    bool hasWidth() const { return m_area.right > m_area.left; }

    // Pixel position of an X value, of a Y value on the left or the right axis, of a point.
    double toPixelX(double x) const { return m_area.left + (x - m_x.start) / m_x.range * (m_area.right - m_area.left); }
    double toPixelY(double y, bool y2 = false) const {
        const PlotSpan& span = y2 ? m_y2 : m_y1;
        return m_area.bottom - (y - span.start) / span.range * (m_area.bottom - m_area.top);
    }
    wxPoint2DDouble toPixel(double x, double y, bool y2 = false) const { return {toPixelX(x), toPixelY(y, y2)}; }
    // Whether a pixel position lies in the area or within slack pixels around it.
    bool reaches(const wxPoint2DDouble& pixel, double slack) const;

    // Fractions of the area at a pixel position (0 left/bottom, 1 right/top), clamped to
    // 0 .. 1; 0.5 on an area without extent.
    double xFraction(double px) const;
    double yFraction(double py) const;
    // The X and Y1 values at a pixel position, clamped to the area.
    double toDataX(double px) const { return m_x.start + xFraction(px) * m_x.range; }
    double toDataY1(double py) const { return m_y1.start + yFraction(py) * m_y1.range; }

private:
    PlotArea m_area;
    PlotSpan m_x, m_y1, m_y2;
};
