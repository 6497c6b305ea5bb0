#pragma once
// A polar save file written by XFOIL (PACC): a header with the airfoil name, the polar
// type (only type 1, "Reynolds number fixed", is read), the Mach number, the Reynolds
// number in millions ("Re =     1.000 e 6") and Ncrit, then a column line (alpha CL CD
// CDp CM Top_Xtr Bot_Xtr, newer versions add more), a line of dashes and one row per
// converged angle in fixed-width columns. Only alpha, CL and CD must be numbers. Rows
// are sorted by angle, since XFOIL appends them in the order it computed them; an angle
// that occurs twice is refused.

#include <istream>
#include <string>

#include "bemt/ProfileParamsList.h"

namespace bemt {

class ProfileParamsXfoilPolar : public ProfileParamsList {
public:
    // Reads the file; name is used in every message ("name, line N: ...").
    void loadFile(std::istream& in, const std::string& name);
    void loadFile(const std::string& path);

    // From the header.
    double fileReynolds() const { return m_reynolds; }
    double fileMach() const { return m_mach; }
    double fileNcrit() const { return m_ncrit; }

    // A copy of this type, so that the header values travel with it.
    std::shared_ptr<ProfileParams> copy(PolarCopies& copies) const override;

private:
    double m_reynolds = 0.0;
    double m_mach = 0.0;
    double m_ncrit = 0.0;
};

}  // namespace bemt
