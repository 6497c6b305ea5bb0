#include "results/display_op_data.h"

#include <algorithm>

#include "results/result_rules.h"

DisplayOpData::DisplayOpData(wxWindow* parent, std::vector<bemt::pitchControlledOperatingPoint> points)
    : EditSection(parent, "Turbine power, thrust and root moment"),
      m_points(std::move(points)),
      m_shown(m_points.size(), true),
      m_grid(new wxGridBagSizer()) {
    sectionSizer()->Add(m_grid, 0, wxALL, FromDIP(4));
    refreshTable();
}

void DisplayOpData::hidePoint(int index) {
    if (index < 0 || index >= static_cast<int>(m_shown.size())) return;
    m_shown[static_cast<std::size_t>(index)] = false;
    refreshTable();
}

void DisplayOpData::showPoint(int index) {
    if (index < 0 || index >= static_cast<int>(m_shown.size())) return;
    m_shown[static_cast<std::size_t>(index)] = true;
    refreshTable();
}

int DisplayOpData::singleShown() const { return result_rules::singleShown(m_shown); }

int DisplayOpData::shownCount() const { return static_cast<int>(std::count(m_shown.begin(), m_shown.end(), true)); }

void DisplayOpData::refreshTable() {
    Freeze();
    m_grid->Clear(true);
    int row = 0;
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        if (!m_shown[i]) continue;
        const bemt::OperatingPoint& op = m_points[i].op;
        setupHeading(m_grid, row++, 0, result_rules::pitchHeading(m_points[i].pitch));
        setupNumberUnits(m_grid, row++, 0, "P =", op.P, "W", "Turbine power.");
        setupNumberUnits(m_grid, row++, 0, "Cp =", op.Cp, "", "Power coefficient.");
        setupNumberUnits(m_grid, row++, 0, "T =", op.T, "N", "Turbine thrust.");
        setupNumberUnits(m_grid, row++, 0, "Ct =", op.Ct, "", "Thrust coefficient.");
        setupNumberUnits(m_grid, row++, 0, "M_root =", op.rootMoment, "N m",
                         "Root flapwise bending moment of one blade, mean over the azimuth.");
        // A rotor whose blades see the same inflow all round has one root moment.
        if (op.rootMomentMax != op.rootMoment)
            setupNumberUnits(m_grid, row++, 0, "M_root,max =", op.rootMomentMax, "N m",
                             "Largest root flapwise bending moment of one blade over the azimuth.");
    }
    Layout();
    if (GetParent()) GetParent()->Layout();
    Thaw();
}
