#pragma once
// An AeroDyn v15 airfoil table file (AirfoilInfo format) as a polar: one or more tables
// of angle of attack, lift and drag coefficients, each at its own Reynolds number.
// Several tables are interpolated linearly in Reynolds number between the two that
// bound it (clamped to the first and the last table outside them); one table is used
// whatever the Reynolds number. Tables that do not span -180 to 180 degrees are
// extended like any list polar, with RelThickness choosing the NACA data.
//
// Read: "!" comment lines; "value  Keyword" lines (InterpOrd, RelThickness, NonDimArea,
// NumCoords, BL_file, NumTabs, then per table Re in millions, UserProp, InclUAdata, the
// unsteady-aerodynamics parameters, which are skipped by keyword, and NumAlf); then
// NumAlf rows of alpha (degrees), Cl, Cd and further columns that are ignored.

#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "bemt/ProfileParams.h"
#include "bemt/ProfileParamsList.h"

namespace bemt {

class ProfileParamsAeroDyn : public ProfileParams {
public:
    struct Table {
        double reynolds = 0.0;   // plain number (the file holds millions)
        ProfileParamsList polar;
    };

    // Reads the file from in; name is used in every message ("name, line N: ...").
    // Throws when anything is malformed: missing keywords, NumTabs or NumAlf not
    // matching what follows, numbers that are not finite, angles that are not strictly
    // increasing or outside -180..180, negative drag, equal Reynolds numbers.
    void loadFile(std::istream& in, const std::string& name);
    void loadFile(const std::string& path);

    const std::vector<Table>& tables() const { return m_tables; }
    // RelThickness of the file (fraction of chord), or the list polars' default.
    double relativeThickness() const { return m_thickness; }
    // Applies to every table.
    void setExtension(PolarExtension kind, double cdMax);

    double cl(double alpha) override;
    double cd(double alpha) override;
    // The angles covered by every table.
    double alphaMin() override;
    double alphaMax() override;
    bool outOfRange(double alpha) override;
    bool hasReynoldsRange() override;
    void setReynolds(double re) override;
    // The blend and the tables' lookup state are the copy's own.
    std::shared_ptr<ProfileParams> copy(PolarCopies& copies) const override;
    void appendTabulatedAngles(std::vector<double>& degrees) override;

    // The tabulated angles of all tables, sorted and unique, in degrees.
    std::vector<double> tabulatedAngles() const;

private:
    std::vector<Table> m_tables;
    double m_thickness = ProfileParamsList::kDefaultThickness;
    // Blend of the current Reynolds number: tables m_lower and m_lower + 1, weight of the
    // upper one.
    std::size_t m_lower = 0;
    double m_weight = 0.0;
};

}  // namespace bemt
