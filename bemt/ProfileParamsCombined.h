#pragma once
// Two polars presented as one by linear blending: along the blade between two airfoil
// points (ratio = relative distance), or as a Reynolds combination of one airfoil
// analysed at two Reynolds numbers (ratio from the Reynolds number).

#include <atomic>
#include <memory>

#include "bemt/ProfileParams.h"

namespace bemt {

class ProfileParamsCombined : public ProfileParams {
public:
    ProfileParamsCombined();

    // Neither polar is owned; both must outlive the queries.
    void setProfiles(ProfileParams* first, ProfileParams* second);
    // The same, keeping both polars alive as long as this object (a Reynolds
    // combination owns the two analyses it blends).
    void setProfiles(std::shared_ptr<ProfileParams> first, std::shared_ptr<ProfileParams> second);
    void setRatio(double ratio);
    ProfileParams* getProfile1() const { return m_first; }
    ProfileParams* getProfile2() const { return m_second; }
    double ratio() const { return m_ratio; }

    // The blending of neighbouring airfoils (the computation's choice, on by default).
    // Without it a stretch of blade uses the airfoil of its start point up to its end; a
    // Reynolds combination always blends.
    void setAirfoilBlending(bool blend) { m_blendAirfoils = blend; }

    double cl(double alpha) override;
    double cd(double alpha) override;
    LiftDrag coefficients(double alpha) override;
    double alphaMin() override;
    double alphaMax() override;
    bool outOfRange(double alpha) override;
    void setReynoldsRange(double lo, double hi) override;
    bool hasReynoldsRange() override;
    void setReynolds(double re) override;
    bool isReynoldsCombination() override;
    // Those of the polars that contribute.
    void appendTabulatedAngles(std::vector<double>& degrees) override;
    // The blend with its own ratio over the copies of both polars.
    std::shared_ptr<ProfileParams> copy(PolarCopies& copies) const override;

private:
    bool blends() const;

    std::shared_ptr<ProfileParams> m_ownedFirst;
    std::shared_ptr<ProfileParams> m_ownedSecond;
    ProfileParams* m_first = nullptr;
    ProfileParams* m_second = nullptr;
    double m_ratio = 0.0;
    bool m_reynoldsCombination = false;
    bool m_blendAirfoils = true;
};

}  // namespace bemt
