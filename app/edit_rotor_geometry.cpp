#include "app/edit_rotor_geometry.h"

#include "app/kvp_project.h"
#include "bemt/ValueLimits.h"

namespace {

InputNumberValidator<double> limited(double* value, const bemt::ValueLimit& limit,
                                     InputNumberValidator<double>::Check check = {}) {
    return InputNumberValidator<double>(value, true, limit.lowest, limit.highest, std::move(check));
}

}  // namespace

EditRotorGeometry::EditRotorGeometry(wxWindow* parent, KvpProject* project)
    : EditSection(parent, "Rotor geometry and inflow"), m_project(project) {
    auto* grid = new wxGridBagSizer();
    m_precone = setupInput(grid, 0, 0, "Precone", wxS("[°]"),
                           "Blade cone angle; positive tips the blades upwind. -20 to 20 degrees.");
    m_tilt = setupInput(grid, 0, 3, "Shaft tilt", wxS("[°]"),
                        "Shaft tilt; positive raises the upwind end of the shaft. -20 to 20 degrees.");
    m_yaw = setupInput(grid, 1, 0, "Yaw", wxS("[°]"), "Yaw misalignment of the wind. -90 to 90 degrees.");
    m_sectors = setupInput(grid, 1, 3, "Sectors", "",
                           "Azimuth positions the loads are averaged over: \"auto\" (1 when tilt, yaw and shear are "
                           "zero, else 8) or a whole number from 1 to 360.");
    m_hubHeight = setupInput(grid, 2, 0, "Hub height", "[m]",
                             "Height of the hub above the ground, needed with a wind shear (greater than the rotor "
                             "radius then); 0: none given.");
    m_shear = setupInput(grid, 2, 3, "Shear exponent", "[-]",
                         "Power-law wind shear exponent, 0 to 1; 0: the same wind at every height.");
    wxArrayString skews;
    skews.Add("None");
    skews.Add("Pitt-Peters");
    m_skew = setupChoice<bemt::SkewCorrection>(grid, 3, 0, skews, &m_rotor.skew,
                                               {bemt::SkewCorrection::None, bemt::SkewCorrection::PittPeters},
                                               "Skewed wake",
                                               "How the axial induction varies over the disc of a yawed or tilted "
                                               "rotor: none, or Pitt and Peters' model as AeroDyn applies it.",
                                               1, 4);
    grid->AddGrowableCol(1);
    grid->AddGrowableCol(4);
    sectionSizer()->Add(grid, 0, wxEXPAND | wxALL, FromDIP(4));

    m_precone->SetValidator(limited(&m_rotor.precone, bemt::Limits::precone));
    m_tilt->SetValidator(limited(&m_rotor.tilt, bemt::Limits::tilt));
    m_yaw->SetValidator(limited(&m_rotor.yaw, bemt::Limits::yaw));
    // The shear and the hub height turn red together while they disagree. A shear red by
    // itself leaves the fault to that field; a hub height red by itself ("1e400", empty)
    // gives a stated shear no height above the rotor, so that both are named.
    m_hubHeight->SetValidator(limited(&m_rotor.hub_height, bemt::Limits::hubHeight, [this](double height) {
        double shear = 0.0;
        return !readPartner(m_shear, bemt::Limits::shearExponent, shear) || shearFits(shear, height);
    }));
    m_shear->SetValidator(limited(&m_rotor.shear_exponent, bemt::Limits::shearExponent, [this](double shear) {
        double height = 0.0;
        if (!readPartner(m_hubHeight, bemt::Limits::hubHeight, height)) height = 0.0;
        return shearFits(shear, height);
    }));
    m_sectors->SetValidator(InputStringValidator<wxString>(&m_sectorsText, [](const wxString& text) {
        std::int32_t sectors = 0;
        return readSectors(text, sectors);
    }));

    // The blade design and the airfoil data analyser leave the rotor geometry out.
    for (const wxWindow* field : std::initializer_list<const wxWindow*>{m_precone, m_tilt, m_yaw, m_hubHeight, m_shear,
                                                                         m_sectors, m_skew})
        markFieldUse(field, kRotorGeometry);

    Bind(kvnEVT_UPDATED_VALUE, [this](wxCommandEvent&) { saveValues(); });
    m_project->Bind(kvnEVT_UPDATED_RADIUS, &EditRotorGeometry::onRadius, this);
}

EditRotorGeometry::~EditRotorGeometry() {
    m_project->Unbind(kvnEVT_UPDATED_RADIUS, &EditRotorGeometry::onRadius, this);
}

bool EditRotorGeometry::readSectors(const wxString& text, std::int32_t& sectors) {
    if (text.Strip(wxString::both).Lower() == "auto") {
        sectors = bemt::RotorGeometry::kAutoSectors;
        return true;
    }
    int count = 0;
    if (!parseNumber(text, count) || !bemt::Limits::sectors.contains(count)) return false;
    sectors = count;
    return true;
}

bool EditRotorGeometry::shearFits(double shear, double hubHeight) const {
    return shear == 0.0 || hubHeight > m_project->operatingConditions().R;
}

void EditRotorGeometry::onRadius(wxEvent& event) {
    Validate();  // a new radius may leave the hub height below it
    event.Skip();
}

void EditRotorGeometry::update() {
    m_rotor = m_project->rotor();
    m_sectorsText = m_rotor.sectors == bemt::RotorGeometry::kAutoSectors ? wxString("auto")
                                                                         : wxString::Format("%d", m_rotor.sectors);
    TransferDataToWindow();
}

void EditRotorGeometry::saveValues() {
    bemt::RotorGeometry rotor = m_rotor;
    readSectors(m_sectorsText, rotor.sectors);
    m_project->setRotor(rotor, true);
}
