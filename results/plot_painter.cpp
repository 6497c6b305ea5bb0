#include "results/plot_painter.h"

#include <wx/arrstr.h>
#include <wx/brush.h>
#include <wx/pen.h>

#include <algorithm>
#include <cmath>

#include "bemt/Error.h"
#include "bemt/spline.h"

std::vector<PlotLegendEntry> thinnedLegend(const std::vector<PlotLegendEntry>& entries, std::size_t every) {
    std::vector<PlotLegendEntry> thinned, others;
    std::size_t curves = 0;
    for (const auto& entry : entries) {
        if (entry.kind != PlotLegendEntry::Curve) {
            others.push_back(entry);
            continue;
        }
        if (curves % every == 0) thinned.push_back(entry);
        ++curves;
    }
    // The last curve too, so that the listed ones span the range.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->kind != PlotLegendEntry::Curve) continue;
        if ((curves - 1) % every != 0) thinned.push_back(*it);
        break;
    }
    thinned.insert(thinned.end(), others.begin(), others.end());
    PlotLegendEntry note;
    note.kind = PlotLegendEntry::Note;
    note.text = wxString::Format("(1 in %zu of the %zu curves listed)", every, curves);
    thinned.push_back(note);
    return thinned;
}

namespace {

const wxColour kGridColour(225, 225, 225);
const wxColour kFrameColour(60, 60, 60);

// Points of a smoothed set: a natural cubic spline sampled at 101 evenly spaced X values.
constexpr int kSmoothSamples = 101;

void usePen(wxGraphicsContext& gc, const wxGraphicsPenInfo& info) { gc.SetPen(gc.CreatePen(info)); }

wxGraphicsPenInfo linePen(const wxString& colour, PlotLine line, double s) {
    wxGraphicsPenInfo pen{wxColour(colour)};
    pen.Width(2.0 * s);
    if (line == PlotLine::Dashed) pen.Style(wxPENSTYLE_SHORT_DASH);
    if (line == PlotLine::Dotted) pen.Width(2.5 * s).Style(wxPENSTYLE_DOT);
    return pen;
}

PlotTitleFit plotTitleFitOneLine(const wxString& title, double size) { return {size, {title}}; }

PlotLayout layOut(wxGraphicsContext& gc, const PlotModel& model, double width, double height) {
    PlotLayout l;
    l.width = width;
    l.height = height;
    l.s = std::max((width + height) / 1000.0, 0.2);
    const double s = l.s;
    const double pad = 10.0 * s;
    // Text stays readable in small windows and does not outgrow large ones.
    const auto fontSize = [s](double base) { return base * std::clamp(s, 0.85, 1.6); };
    l.labelFont = gc.CreateFont(fontSize(15.0), wxEmptyString, wxFONTFLAG_DEFAULT, *wxBLACK);
    l.tickFont = gc.CreateFont(fontSize(13.0), wxEmptyString, wxFONTFLAG_DEFAULT, wxColour(40, 40, 40));
    l.legendFont = gc.CreateFont(fontSize(14.0), wxEmptyString, wxFONTFLAG_DEFAULT, *wxBLACK);

    double w = 0, h = 0;
    // The title fits the width: smaller, or on two lines.
    l.title = fitPlotTitle(model.title(), width - 2.0 * pad, fontSize(18.0), [&gc](const wxString& text, double size) {
        gc.SetFont(gc.CreateFont(size, wxEmptyString, wxFONTFLAG_BOLD, *wxBLACK));
        double tw = 0, th = 0;
        gc.GetTextExtent(text, &tw, &th);
        return tw;
    });
    l.titleFont = gc.CreateFont(l.title.size, wxEmptyString, wxFONTFLAG_BOLD, *wxBLACK);
    gc.SetFont(l.titleFont);
    gc.GetTextExtent("Ag", &w, &h);
    l.titleLineHeight = h;
    l.area.top = pad + h * std::max<std::size_t>(l.title.lines.size(), 1) + pad;

    // Legend entries in rows under the title.
    gc.SetFont(l.legendFont);
    gc.GetTextExtent("Ag", &w, &h);
    l.legendLineHeight = h * 1.3;
    l.sampleLength = 28.0 * s;
    // Entries in rows from the left; returns the number of rows.
    const auto place = [&](const std::vector<PlotLegendEntry>& entries) {
        l.legend.clear();
        double x = pad * 2.0;
        int rows = entries.empty() ? 0 : 1;
        for (const auto& entry : entries) {
            gc.GetTextExtent(entry.text, &w, &h);
            const double samples = entry.kind == PlotLegendEntry::Note ? -6.0 * s
                                   : entry.alsoDashed                  ? 2.0 * l.sampleLength + 4.0 * s
                                                                       : l.sampleLength;
            const double entryWidth = samples + 6.0 * s + w + 18.0 * s;
            if (x > pad * 2.0 && x + entryWidth > width - pad) {
                x = pad * 2.0;
                ++rows;
            }
            l.legend.push_back({entry, x, l.area.top + (rows - 1) * l.legendLineHeight});
            x += entryWidth;
        }
        return rows;
    };
    // A legend of many curves (a surface of 201 pitch angles) would fill the chart: it
    // takes at most a quarter of the height and then names every k-th curve, and says so.
    const std::vector<PlotLegendEntry> entries = model.legendEntries();
    const int maxRows = std::max(2, static_cast<int>(0.25 * height / l.legendLineHeight));
    int rows = place(entries);
    for (std::size_t every = 2; rows > maxRows && every < entries.size(); ++every)
        rows = place(thinnedLegend(entries, every));
    if (rows > 0) l.area.top += rows * l.legendLineHeight + pad * 0.5;

    // Room for the tick labels and the axis labels.
    gc.SetFont(l.labelFont);
    double labelHeight = 0;
    gc.GetTextExtent("Ag", &w, &labelHeight);
    gc.SetFont(l.tickFont);
    double tickHeight = 0;
    gc.GetTextExtent("0", &w, &tickHeight);
    l.tickHeight = tickHeight;
    l.xTicks = tickLabels(model.xAxis(), false);
    l.y1Ticks = tickLabels(model.y1Axis(), model.y1Logarithmic());
    l.y2Ticks = tickLabels(model.y2Axis(), false);
    const auto widest = [&](const std::vector<std::string>& labels) {
        double most = 0.0;
        for (const auto& label : labels) {
            gc.GetTextExtent(wxString::FromUTF8(label), &w, &h);
            most = std::max(most, w);
        }
        return most;
    };
    const bool hasY2 = model.hasY2();
    l.area.left = pad + labelHeight + pad * 0.5 + widest(l.y1Ticks) + 6.0 * s;
    l.area.right = width - pad - (hasY2 ? labelHeight + pad * 0.5 + widest(l.y2Ticks) + 6.0 * s : 2.0 * pad);
    l.area.bottom = height - pad - labelHeight - 6.0 * s - tickHeight - 6.0 * s;
    l.area.top = std::min(l.area.top, l.area.bottom - 1.0);
    l.area.right = std::max(l.area.right, l.area.left + 1.0);

    // Equal lengths per unit on X and Y1: shrink the longer side and centre the area.
    if (model.proportional()) {
        const PlotSpan xs(model.xAxis()), ys(model.y1Axis());
        const double perX = (l.area.right - l.area.left) / xs.range;
        const double perY = (l.area.bottom - l.area.top) / ys.range;
        if (perX > perY) {
            const double newWidth = perY * xs.range;
            l.area.left += ((l.area.right - l.area.left) - newWidth) / 2.0;
            l.area.right = l.area.left + newWidth;
        } else {
            const double newHeight = perX * ys.range;
            l.area.top += ((l.area.bottom - l.area.top) - newHeight) / 2.0;
            l.area.bottom = l.area.top + newHeight;
        }
    }
    return l;
}

}  // namespace

PlotTitleFit fitPlotTitle(const wxString& title, double width, double preferredSize,
                          const std::function<double(const wxString&, double)>& measure) {
    if (title.empty() || width <= 0.0) return plotTitleFitOneLine(title, preferredSize);
    const double full = measure(title, preferredSize);
    if (full <= width) return plotTitleFitOneLine(title, preferredSize);
    // Text widths grow in proportion to the font size; the loop only absorbs rounding.
    const auto shrinkToFit = [&](const std::vector<wxString>& lines, double size) {
        for (int i = 0; i < 40; ++i) {
            double widest = 0.0;
            for (const auto& line : lines) widest = std::max(widest, measure(line, size));
            if (widest <= width) break;
            size *= std::min(0.97, width / widest);
        }
        return PlotTitleFit{size, lines};
    };
    if (preferredSize * width / full >= 0.8 * preferredSize) return shrinkToFit({title}, preferredSize * width / full);

    // Two lines, split at the gap between words that makes the longer line shortest.
    std::vector<wxString> best;
    double bestWidth = full;
    for (size_t gap = title.find(' '); gap != wxString::npos; gap = title.find(' ', gap + 1)) {
        const wxString first = title.Left(gap);
        const wxString second = title.Mid(gap + 1);
        const double longer = std::max(measure(first, preferredSize), measure(second, preferredSize));
        if (longer < bestWidth) {
            bestWidth = longer;
            best = {first, second};
        }
    }
    if (best.empty()) return shrinkToFit({title}, preferredSize * width / full);
    return shrinkToFit(best, std::min(preferredSize, preferredSize * width / bestWidth));
}

PlotPainter::PlotPainter(wxGraphicsContext& gc, const PlotModel& model, double width, double height)
    : m_gc(gc),
      m_model(model),
      m_layout(layOut(gc, model, width, height)),
      m_mapping(m_layout.area, model.xAxis(), model.y1Axis(), model.y2Axis()) {}

void PlotPainter::drawChart() {
    m_gc.SetAntialiasMode(wxANTIALIAS_DEFAULT);
    drawTitle();
    drawLegend();
    drawBands();
    drawAxes();
    // Inside the frame: a zoomed curve ends at the frame, not a few pixels past it.
    const PlotArea& a = m_layout.area;
    m_gc.Clip(a.left, a.top, a.right - a.left, a.bottom - a.top);
    for (std::size_t i = 0; i < m_model.axis1Sets().size(); ++i)
        if (!m_model.axis1Sets()[i].hidden) drawSet(m_model.axis1Sets()[i], false, m_model.colour(false, i));
    for (std::size_t j = 0; j < m_model.axis2Sets().size(); ++j)
        if (!m_model.axis2Sets()[j].hidden) drawSet(m_model.axis2Sets()[j], true, m_model.colour(true, j));
    m_gc.ResetClip();
}

void PlotPainter::drawTitle() {
    const PlotLayout& l = m_layout;
    double w = 0, h = 0;
    m_gc.SetFont(l.titleFont);
    double y = 10.0 * l.s;
    for (const auto& line : l.title.lines) {
        m_gc.GetTextExtent(line, &w, &h);
        m_gc.DrawText(line, (l.width - w) / 2.0, y);
        y += l.titleLineHeight;
    }
}

void PlotPainter::drawLegend() {
    wxGraphicsContext& gc = m_gc;
    const PlotLayout& l = m_layout;
    gc.SetFont(l.legendFont);
    for (const auto& placed : l.legend) {
        const PlotLegendEntry& e = placed.entry;
        double w = 0, h = 0;
        gc.GetTextExtent(e.text, &w, &h);
        const double midY = placed.y + h / 2.0;
        double x = placed.x;
        if (e.kind == PlotLegendEntry::Note) {
            gc.DrawText(e.text, x, placed.y);
            continue;
        }
        if (e.kind == PlotLegendEntry::Band) {
            wxColour colour(e.colour);
            gc.SetPen(*wxTRANSPARENT_PEN);
            gc.SetBrush(wxBrush(wxColour(colour.Red(), colour.Green(), colour.Blue(), 70)));
            gc.DrawRectangle(x, placed.y + h * 0.1, l.sampleLength, h * 0.8);
        } else {
            if (e.line != PlotLine::None) {
                usePen(gc, linePen(e.colour, e.line, l.s));
                gc.StrokeLine(x, midY, x + l.sampleLength, midY);
            }
            if (e.markers || e.line == PlotLine::None) {
                gc.SetPen(*wxTRANSPARENT_PEN);
                gc.SetBrush(wxBrush(wxColour(e.colour)));
                const double r = 3.0 * l.s;
                gc.DrawEllipse(x + l.sampleLength / 2.0 - r, midY - r, 2 * r, 2 * r);
            }
            // A pair: its right-axis curve's dashed sample beside the solid one.
            if (e.alsoDashed) {
                x += l.sampleLength + 4.0 * l.s;
                usePen(gc, linePen(e.colour, PlotLine::Dashed, l.s));
                gc.StrokeLine(x, midY, x + l.sampleLength, midY);
            }
        }
        x += l.sampleLength;
        gc.DrawText(e.text, x + 6.0 * l.s, placed.y);
    }
}

void PlotPainter::drawBands() {
    const PlotArea& a = m_layout.area;
    m_gc.Clip(a.left, a.top, a.right - a.left, a.bottom - a.top);
    m_gc.SetPen(*wxTRANSPARENT_PEN);
    const auto band = [&](const PlotRange& r, PlotBand kind) {
        const double x1 = m_mapping.toPixelX(std::min(r.first, r.second));
        const double x2 = m_mapping.toPixelX(std::max(r.first, r.second));
        m_gc.SetBrush(wxBrush(plotBandColour(kind)));
        m_gc.DrawRectangle(x1, a.top, std::max(x2 - x1, 1.0 * m_layout.s), a.bottom - a.top);
    };
    for (const auto& r : m_model.noteRanges()) band(r, PlotBand::Note);
    for (const auto& s : m_model.axis1Sets())
        if (!s.hidden && !s.outOfRangeHidden)
            for (const auto& r : s.outOfRange) band(r, PlotBand::OutOfRange);
    for (const auto& s : m_model.axis1Sets())
        if (!s.hidden && !s.unconvergedHidden)
            for (const auto& r : s.unconverged) band(r, PlotBand::Unconverged);
    m_gc.ResetClip();
}

void PlotPainter::drawAxes() {
    wxGraphicsContext& gc = m_gc;
    const PlotLayout& l = m_layout;
    const PlotArea& a = l.area;
    const PlotAxis &xAxis = m_model.xAxis(), &y1Axis = m_model.y1Axis(), &y2Axis = m_model.y2Axis();
    const double s = l.s;
    double w = 0, h = 0;
    gc.SetFont(l.tickFont);

    const wxGraphicsPen grid = gc.CreatePen(wxGraphicsPenInfo(kGridColour).Width(std::max(1.0 * s, 0.5)));
    const wxGraphicsPen frame = gc.CreatePen(wxGraphicsPenInfo(kFrameColour).Width(std::max(1.2 * s, 0.6)));

    for (int i = 0; i < xAxis.ticks; ++i) {
        const double x = m_mapping.toPixelX(xAxis.tick(i));
        gc.SetPen(grid);
        gc.StrokeLine(x, a.top, x, a.bottom);
        gc.SetPen(frame);
        gc.StrokeLine(x, a.bottom, x, a.bottom + 4.0 * s);
        const wxString label = wxString::FromUTF8(l.xTicks[static_cast<std::size_t>(i)]);
        gc.GetTextExtent(label, &w, &h);
        gc.DrawText(label, x - w / 2.0, a.bottom + 6.0 * s);
    }
    for (int i = 0; i < y1Axis.ticks; ++i) {
        const double y = m_mapping.toPixelY(y1Axis.tick(i));
        gc.SetPen(grid);
        gc.StrokeLine(a.left, y, a.right, y);
        gc.SetPen(frame);
        gc.StrokeLine(a.left - 4.0 * s, y, a.left, y);
        const wxString label = wxString::FromUTF8(l.y1Ticks[static_cast<std::size_t>(i)]);
        gc.GetTextExtent(label, &w, &h);
        gc.DrawText(label, a.left - 6.0 * s - w, y - h / 2.0);
    }
    const bool hasY2 = m_model.hasY2();
    if (hasY2) {
        for (int i = 0; i < y2Axis.ticks; ++i) {
            const double y = m_mapping.toPixelY(y2Axis.tick(i), true);
            gc.SetPen(frame);
            gc.StrokeLine(a.right, y, a.right + 4.0 * s, y);
            const wxString label = wxString::FromUTF8(l.y2Ticks[static_cast<std::size_t>(i)]);
            gc.GetTextExtent(label, &w, &h);
            gc.DrawText(label, a.right + 6.0 * s, y - h / 2.0);
        }
    }

    gc.SetPen(frame);
    gc.SetBrush(*wxTRANSPARENT_BRUSH);
    gc.DrawRectangle(a.left, a.top, a.right - a.left, a.bottom - a.top);

    gc.SetFont(l.labelFont);
    const wxString &xLabel = m_model.xLabel(), &y1Label = m_model.y1Label(), &y2Label = m_model.y2Label();
    gc.GetTextExtent(xLabel, &w, &h);
    // Under the tick labels (a proportional chart may end above the window's bottom).
    gc.DrawText(xLabel, (a.left + a.right - w) / 2.0, a.bottom + 12.0 * s + l.tickHeight);
    const double middle = (a.top + a.bottom) / 2.0;
    gc.GetTextExtent(y1Label, &w, &h);
    gc.DrawText(y1Label, 10.0 * s, middle + w / 2.0, M_PI / 2.0);
    if (hasY2) {
        gc.GetTextExtent(y2Label, &w, &h);
        gc.DrawText(y2Label, l.width - 10.0 * s - h, middle + w / 2.0, M_PI / 2.0);
    }
}

void PlotPainter::drawSet(const PlotSet& set, bool y2, const wxString& colour) {
    wxGraphicsContext& gc = m_gc;
    const auto& xs = *set.x;
    const auto& ys = *set.y;
    if (set.line != PlotLine::None) {
        usePen(gc, linePen(colour, set.line, m_layout.s));
        std::vector<wxPoint2DDouble> points;
        if (set.smooth && xs.size() >= 3) {
            try {
                const bemt::spline curve(xs, ys, bemt::spline::cubic);
                const double first = xs.front(), last = xs.back();
                for (int i = 0; i < kSmoothSamples; ++i) {
                    const double x = first + (last - first) * i / (kSmoothSamples - 1);
                    points.push_back(m_mapping.toPixel(x, curve(x), y2));
                }
            } catch (const bemt::Error&) {
                points.clear();  // unordered or too few points: drawn as straight segments
            }
        }
        if (points.empty())
            for (std::size_t i = 0; i < xs.size(); ++i) points.push_back(m_mapping.toPixel(xs[i], ys[i], y2));

        // Non-finite values break the line instead of spoiling it.
        wxGraphicsPath path = gc.CreatePath();
        bool drawing = false;
        for (const auto& p : points) {
            if (!std::isfinite(p.m_x) || !std::isfinite(p.m_y)) {
                drawing = false;
                continue;
            }
            if (drawing)
                path.AddLineToPoint(p);
            else
                path.MoveToPoint(p);
            drawing = true;
        }
        gc.StrokePath(path);
    }

    // A value without a finite neighbour has no line to be drawn on: it gets a marker, so
    // that a curve of one value (a range of one position) shows.
    const bool allMarkers = m_model.drawsMarkers(set) || set.line == PlotLine::None;
    const auto shown = [&](std::size_t i) {
        const wxPoint2DDouble p = m_mapping.toPixel(xs[i], ys[i], y2);
        return std::isfinite(p.m_x) && std::isfinite(p.m_y);
    };
    gc.SetBrush(wxBrush(wxColour(colour)));
    gc.SetPen(*wxTRANSPARENT_PEN);
    const double r = 3.0 * m_layout.s;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        if (!shown(i)) continue;
        const bool alone = !(i > 0 && shown(i - 1)) && !(i + 1 < xs.size() && shown(i + 1));
        if (!allMarkers && !alone) continue;
        const wxPoint2DDouble p = m_mapping.toPixel(xs[i], ys[i], y2);
        gc.DrawEllipse(p.m_x - r, p.m_y - r, 2 * r, 2 * r);
    }
}

void PlotPainter::drawSelection(double x) {
    const PlotArea& a = m_layout.area;
    const double px = m_mapping.toPixelX(x);
    usePen(m_gc, wxGraphicsPenInfo(wxColour(90, 90, 90)).Width(1.5 * m_layout.s).Style(wxPENSTYLE_LONG_DASH));
    m_gc.StrokeLine(px, a.top, px, a.bottom);
}

void PlotPainter::drawReadout(const PlotPoint& point) {
    const PlotSet* set = m_model.shownSet(point);
    if (!set) return;
    wxGraphicsContext& gc = m_gc;
    const PlotLayout& l = m_layout;
    const wxString text = m_model.pointText(point);
    const wxPoint2DDouble at = m_mapping.toPixel((*set->x)[point.point], (*set->y)[point.point], point.y2);
    const double px = at.m_x, py = at.m_y;
    const wxString colour = m_model.colour(point.y2, static_cast<std::size_t>(point.set));
    usePen(gc, wxGraphicsPenInfo(wxColour(colour)).Width(2.0 * l.s));
    gc.SetBrush(*wxWHITE_BRUSH);
    const double r = 5.0 * l.s;
    gc.DrawEllipse(px - r, py - r, 2 * r, 2 * r);

    gc.SetFont(l.legendFont);
    const wxArrayString lines = wxSplit(text, '\n', '\0');
    double boxWidth = 0.0, lineHeight = 0.0, w = 0, h = 0;
    for (const auto& line : lines) {
        gc.GetTextExtent(line, &w, &h);
        boxWidth = std::max(boxWidth, w);
        lineHeight = h;
    }
    const double pad = 5.0 * l.s;
    boxWidth += 2.0 * pad;
    const double boxHeight = lineHeight * lines.size() + 2.0 * pad;
    // Beside the point, inside the chart area.
    double bx = px + 2.0 * r, by = py - boxHeight - 2.0 * r;
    if (bx + boxWidth > l.area.right) bx = px - 2.0 * r - boxWidth;
    if (by < l.area.top) by = py + 2.0 * r;
    bx = std::max(bx, l.area.left);
    usePen(gc, wxGraphicsPenInfo(kFrameColour).Width(1.0));
    gc.SetBrush(wxBrush(wxColour(255, 255, 255, 230)));
    gc.DrawRectangle(bx, by, boxWidth, boxHeight);
    for (std::size_t i = 0; i < lines.size(); ++i) gc.DrawText(lines[i], bx + pad, by + pad + i * lineHeight);
}

void PlotPainter::drawDragBand(const wxRect& band) {
    m_gc.SetPen(wxPen(wxColour(60, 60, 60), 1, wxPENSTYLE_SHORT_DASH));
    m_gc.SetBrush(wxBrush(wxColour(0, 140, 249, 30)));
    m_gc.DrawRectangle(band.x, band.y, band.width, band.height);
}
