#pragma once
// A filled map of one quantity over a grid of two variables: each cell coloured by its
// value on a blue-to-yellow scale, with the axis ranges and a colour bar of the scale.
// Cells whose value is not a number stay grey.

#include <wx/bitmap.h>
#include <wx/panel.h>

#include <vector>

class wxDC;

class DisplayHeatMap : public wxPanel {
public:
    explicit DisplayHeatMap(wxWindow* parent);

    // values[i][j] belongs to x[i] (horizontal) and y[j] (vertical).
    void setData(std::vector<double> x, std::vector<double> y, std::vector<std::vector<double>> values,
                 const wxString& title, const wxString& xLabel, const wxString& yLabel);

    // The map drawn into a bitmap of the given size.
    wxBitmap getImage(int width, int height) const;

    const wxString& title() const { return m_title; }
    // The colour a value gets on the current scale.
    wxColour colourOf(double value) const;

private:
    void draw(wxDC& dc, const wxSize& size) const;
    void onPaint(wxPaintEvent& event);

    std::vector<double> m_x;
    std::vector<double> m_y;
    std::vector<std::vector<double>> m_values;
    wxString m_title, m_xLabel, m_yLabel;
    double m_min = 0.0;
    double m_max = 1.0;
};
