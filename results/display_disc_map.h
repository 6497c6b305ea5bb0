#pragma once
// The chart "over the rotor disc" of an operating point computed in azimuth sectors: the
// angle of attack, or on a choice the normal force, of every blade element over azimuth
// and x/R as a heat map, for one pitch angle at a time (a choice when there are several),
// or on a check box its change from the element's mean over the azimuth.

#include <wx/panel.h>

#include <vector>

#include "results/chart_book.h"
#include "results/disc_map_series.h"

class DisplayHeatMap;
class wxCheckBox;
class wxChoice;

class DisplayDiscMap : public wxPanel, public ExportablePage {
public:
    static wxString pageName() { return "Over the rotor disc"; }

    // maps and pitches (degrees) in the same order; a pitch angle with an empty map is
    // not offered.
    DisplayDiscMap(wxWindow* parent, std::vector<result_series::DiscMap> maps, const std::vector<double>& pitches);

    // What the choices do.
    void showQuantity(result_series::DiscQuantity quantity);
    // Shows pitch angle index (of the pitches given); false when it has no map.
    bool showPitch(int index);
    // What the check box "Less the mean over the azimuth" does.
    void showFromMean(bool fromMean);

    result_series::DiscQuantity quantity() const { return m_quantity; }
    int pitch() const { return m_pitch; }
    DisplayHeatMap* heatMap() const { return m_heatMap; }
    wxChoice* quantityChoice() const { return m_quantityChoice; }
    wxChoice* pitchChoice() const { return m_pitchChoice; }
    wxCheckBox* fromMeanBox() const { return m_fromMeanBox; }

    wxString exportTitle() const override;
    wxBitmap exportImage(int width, int height) const override;
    std::string exportCsv() const override;

private:
    void refresh();
    // "Angle of attack α [°] over the rotor disc, pitch angle 0 °", the unit left out for file names.
    wxString title(bool withUnit) const;

    std::vector<result_series::DiscMap> m_maps;
    std::vector<double> m_pitches;
    std::vector<int> m_offered;  // pitch index of every entry of the pitch choice
    result_series::DiscQuantity m_quantity = result_series::DiscQuantity::AngleOfAttack;
    int m_pitch = -1;
    bool m_fromMean = false;
    wxChoice* m_quantityChoice = nullptr;
    wxCheckBox* m_fromMeanBox = nullptr;
    wxChoice* m_pitchChoice = nullptr;
    DisplayHeatMap* m_heatMap = nullptr;
};
