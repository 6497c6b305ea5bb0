#include "results/plot_mapping.h"

#include <algorithm>
#include <cmath>

PlotSpan::PlotSpan(const PlotAxis& axis) {
    if (axis.range > 0.0 && std::isfinite(axis.range)) {
        start = axis.start;
        range = axis.range;
    }
}

PlotMapping::PlotMapping(const PlotArea& area, const PlotAxis& x, const PlotAxis& y1, const PlotAxis& y2)
    : m_area(area), m_x(x), m_y1(y1), m_y2(y2) {}

bool PlotMapping::reaches(const wxPoint2DDouble& pixel, double slack) const {
    return pixel.m_x >= m_area.left - slack && pixel.m_x <= m_area.right + slack && pixel.m_y >= m_area.top - slack &&
           pixel.m_y <= m_area.bottom + slack;
}

double PlotMapping::xFraction(double px) const {
    if (m_area.right <= m_area.left) return 0.5;
    return std::clamp((px - m_area.left) / (m_area.right - m_area.left), 0.0, 1.0);
}

double PlotMapping::yFraction(double py) const {
    if (m_area.bottom <= m_area.top) return 0.5;
    return std::clamp((m_area.bottom - py) / (m_area.bottom - m_area.top), 0.0, 1.0);
}
