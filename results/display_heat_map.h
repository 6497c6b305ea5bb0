#pragma once
// A filled map of one quantity over a grid of two variables: each cell coloured by its
// value on a blue-to-yellow scale, labelled ticks on both axes, contour lines at the
// ticks of the colour bar, and the largest value marked. Cells whose value is not a
// number stay grey; the scale may start at a floor (a coefficient from 0), values below
// it taking the lowest colour.

#include <wx/bitmap.h>
#include <wx/panel.h>

#include <optional>
#include <vector>

#include "results/plot_axis.h"

class wxDC;

class DisplayHeatMap : public wxPanel {
public:
    explicit DisplayHeatMap(wxWindow* parent);

    // values[i][j] belongs to x[i] (horizontal) and y[j] (vertical).
    void setData(std::vector<double> x, std::vector<double> y, std::vector<std::vector<double>> values,
                 const wxString& title, const wxString& xLabel, const wxString& yLabel);
    // The lowest value of the colour scale (none: the smallest value).
    void setScaleFloor(std::optional<double> floor);

    // The map drawn into a bitmap of the given size.
    wxBitmap getImage(int width, int height) const;

    const wxString& title() const { return m_title; }
    // The colour a value gets on the current scale.
    wxColour colourOf(double value) const;
    // The scale of the colour bar; its ticks are the contour levels.
    const PlotAxis& scale() const { return m_scale; }
    // The cell of the largest value (-1, -1 without a finite value).
    std::pair<int, int> largestCell() const { return m_largest; }

private:
    void rescale();
    void draw(wxDC& dc, const wxSize& size) const;
    void onPaint(wxPaintEvent& event);

    std::vector<double> m_x;
    std::vector<double> m_y;
    std::vector<std::vector<double>> m_values;
    wxString m_title, m_xLabel, m_yLabel;
    std::optional<double> m_floor;
    PlotAxis m_scale;
    std::pair<int, int> m_largest{-1, -1};
};
