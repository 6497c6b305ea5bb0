#include "bemt/ProfileParamsStallDelay.h"

#include "bemt/PolarCopies.h"

namespace bemt {

void ProfileParamsStallDelay::set(ProfileParams* polar, const StallDelayCorrection& correction) {
    m_owned.reset();
    m_polar = polar;
    m_correction = correction;
}

double ProfileParamsStallDelay::cl(double alpha) { return m_correction.applyToLift(alpha, m_polar->cl(alpha)); }
double ProfileParamsStallDelay::cd(double alpha) { return coefficients(alpha).cd; }

LiftDrag ProfileParamsStallDelay::coefficients(double alpha) {
    return m_correction.apply(alpha, m_polar->coefficients(alpha));
}

double ProfileParamsStallDelay::alphaMin() { return m_polar->alphaMin(); }
double ProfileParamsStallDelay::alphaMax() { return m_polar->alphaMax(); }
bool ProfileParamsStallDelay::outOfRange(double alpha) { return m_polar->outOfRange(alpha); }
bool ProfileParamsStallDelay::hasReynoldsRange() { return m_polar->hasReynoldsRange(); }
void ProfileParamsStallDelay::setReynolds(double re) { m_polar->setReynolds(re); }
double ProfileParamsStallDelay::getCurrentReynolds() { return m_polar->getCurrentReynolds(); }
void ProfileParamsStallDelay::appendTabulatedAngles(std::vector<double>& degrees) {
    m_polar->appendTabulatedAngles(degrees);
}

std::shared_ptr<ProfileParams> ProfileParamsStallDelay::copy(PolarCopies& copies) const {
    auto polar = copies.of(m_polar);
    if (!polar) return nullptr;
    auto corrected = std::make_shared<ProfileParamsStallDelay>();
    corrected->set(polar.get(), m_correction);
    corrected->m_owned = std::move(polar);
    return corrected;
}

}  // namespace bemt
