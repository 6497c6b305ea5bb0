#include "results/display_disc_map.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>

#include "results/display_heat_map.h"
#include "results/result_rules.h"

using result_series::DiscQuantity;

namespace {

wxString quantityName(DiscQuantity q) {
    return q == DiscQuantity::AngleOfAttack ? wxString::FromUTF8("Angle of attack α") : wxString("Normal force Np");
}
wxString quantityUnit(DiscQuantity q) { return q == DiscQuantity::AngleOfAttack ? wxString::FromUTF8("°") : "N/m"; }

}  // namespace

DisplayDiscMap::DisplayDiscMap(wxWindow* parent, std::vector<result_series::DiscMap> maps,
                               const std::vector<double>& pitches)
    : wxPanel(parent, wxID_ANY), m_maps(std::move(maps)), m_pitches(pitches) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* choices = new wxBoxSizer(wxHORIZONTAL);
    const int border = FromDIP(4);
    choices->Add(new wxStaticText(this, wxID_ANY, "Show:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, border);
    wxArrayString quantities;
    for (const DiscQuantity q : {DiscQuantity::AngleOfAttack, DiscQuantity::NormalForce})
        quantities.Add(quantityName(q) + " [" + quantityUnit(q) + "]");
    m_quantityChoice = new wxChoice(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, quantities);
    m_quantityChoice->SetSelection(0);
    m_quantityChoice->SetToolTip("The angle of attack of every element, or the force normal to the blade per unit "
                                 "length, at every azimuth position the operating point was computed in.");
    m_quantityChoice->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
        showQuantity(event.GetSelection() == 1 ? DiscQuantity::NormalForce : DiscQuantity::AngleOfAttack);
    });
    choices->Add(m_quantityChoice, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 3 * border);

    wxArrayString offered;
    for (std::size_t i = 0; i < m_maps.size() && i < m_pitches.size(); ++i) {
        if (m_maps[i].empty()) continue;
        m_offered.push_back(static_cast<int>(i));
        offered.Add(result_rules::pitchHeading(m_pitches[i]));
    }
    if (m_offered.size() > 1) {
        m_pitchChoice = new wxChoice(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, offered);
        m_pitchChoice->SetSelection(0);
        m_pitchChoice->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
            showPitch(m_offered[static_cast<std::size_t>(event.GetSelection())]);
        });
        choices->Add(m_pitchChoice, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 3 * border);
    }
    m_fromMeanBox = new wxCheckBox(this, wxID_ANY, "Less the mean over the azimuth");
    m_fromMeanBox->SetToolTip("Shows how much each element's value changes around the revolution: its value less "
                              "its mean over the azimuth, on a scale that the large values near the root do not "
                              "take over.");
    m_fromMeanBox->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) { showFromMean(event.IsChecked()); });
    choices->Add(m_fromMeanBox, 0, wxALIGN_CENTER_VERTICAL);
    sizer->Add(choices, 0, wxALL, border);
    m_heatMap = new DisplayHeatMap(this);
    sizer->Add(m_heatMap, 1, wxEXPAND | wxALL, border);
    SetSizer(sizer);
    if (!m_offered.empty()) showPitch(m_offered.front());
}

void DisplayDiscMap::showQuantity(DiscQuantity quantity) {
    m_quantity = quantity;
    m_quantityChoice->SetSelection(quantity == DiscQuantity::NormalForce ? 1 : 0);
    refresh();
}

bool DisplayDiscMap::showPitch(int index) {
    const auto entry = std::find(m_offered.begin(), m_offered.end(), index);
    if (entry == m_offered.end()) return false;
    m_pitch = index;
    if (m_pitchChoice) m_pitchChoice->SetSelection(static_cast<int>(entry - m_offered.begin()));
    refresh();
    return true;
}

void DisplayDiscMap::showFromMean(bool fromMean) {
    m_fromMean = fromMean;
    m_fromMeanBox->SetValue(fromMean);
    refresh();
}

wxString DisplayDiscMap::exportTitle() const { return title(false); }

wxString DisplayDiscMap::title(bool withUnit) const {
    // Short enough for the map's width: the change is named by its symbol.
    const bool alpha = m_quantity == DiscQuantity::AngleOfAttack;
    wxString text = m_fromMean ? wxString::FromUTF8(alpha ? "Δα from the azimuth mean" : "ΔNp from the azimuth mean")
                               : quantityName(m_quantity);
    if (withUnit) text << " [" << quantityUnit(m_quantity) << "]";
    text << " over the rotor disc";
    if (m_pitch >= 0) text << ", pitch angle " << result_rules::pitchLegend(m_pitches[static_cast<std::size_t>(m_pitch)]);
    return text;
}

wxBitmap DisplayDiscMap::exportImage(int width, int height) const { return m_heatMap->getImage(width, height); }

std::string DisplayDiscMap::exportCsv() const {
    if (m_pitch < 0) return {};
    return result_series::discMapCsv(m_maps[static_cast<std::size_t>(m_pitch)], m_quantity, m_fromMean);
}

void DisplayDiscMap::refresh() {
    if (m_pitch < 0) return;
    const result_series::DiscMap& map = m_maps[static_cast<std::size_t>(m_pitch)];
    m_heatMap->setData(map.azimuth, map.x, result_series::discValues(map, m_quantity, m_fromMean), title(true),
                       wxString::FromUTF8("Azimuth ψ [°]"), "x/R [-]");
}
