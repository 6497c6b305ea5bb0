#pragma once
// A polar with the rotational stall delay of one blade element applied to another
// polar's coefficients (see StallDelay.h). The range, the Reynolds number and the
// tabulated angles are those of the underlying polar.

#include "bemt/ProfileParams.h"
#include "bemt/StallDelay.h"

namespace bemt {

class ProfileParamsStallDelay final : public ProfileParams {
public:
    // polar is not owned and must outlive the queries.
    void set(ProfileParams* polar, const StallDelayCorrection& correction);
    ProfileParams* polar() const { return m_polar; }
    const StallDelayCorrection& correction() const { return m_correction; }

    double cl(double alpha) override;
    double cd(double alpha) override;
    LiftDrag coefficients(double alpha) override;
    double alphaMin() override;
    double alphaMax() override;
    bool outOfRange(double alpha) override;
    bool hasReynoldsRange() override;
    void setReynolds(double re) override;
    double getCurrentReynolds() override;
    void appendTabulatedAngles(std::vector<double>& degrees) override;
    // The same correction over the copy of the polar.
    std::shared_ptr<ProfileParams> copy(PolarCopies& copies) const override;

private:
    std::shared_ptr<ProfileParams> m_owned;  // a copy's polar
    ProfileParams* m_polar = nullptr;
    StallDelayCorrection m_correction;
};

}  // namespace bemt
