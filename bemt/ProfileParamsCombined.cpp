#include "bemt/ProfileParamsCombined.h"

#include "bemt/Common.h"
#include "bemt/PolarCopies.h"

namespace bemt {

ProfileParamsCombined::ProfileParamsCombined() {
    reynoldsRange = false;
    currentReynolds = 1000000.0;
    reynoldsLo = 1000000.0;
    reynoldsHi = 1000000.0;
}

void ProfileParamsCombined::setProfiles(ProfileParams* first, ProfileParams* second) {
    m_ownedFirst.reset();
    m_ownedSecond.reset();
    m_first = first;
    m_second = second;
}

void ProfileParamsCombined::setProfiles(std::shared_ptr<ProfileParams> first, std::shared_ptr<ProfileParams> second) {
    m_first = first.get();
    m_second = second.get();
    m_ownedFirst = std::move(first);
    m_ownedSecond = std::move(second);
}

void ProfileParamsCombined::setRatio(double ratio) { m_ratio = ratio; }

bool ProfileParamsCombined::blends() const {
    return m_reynoldsCombination || m_blendAirfoils;
}

double ProfileParamsCombined::cl(double alpha) {
    if (!blends()) return m_ratio < 1.0 ? m_first->cl(alpha) : m_second->cl(alpha);
    const double c1 = m_first->cl(alpha);
    const double c2 = m_second->cl(alpha);
    return c1 + m_ratio * (c2 - c1);
}

double ProfileParamsCombined::cd(double alpha) {
    if (!blends()) return m_ratio < 1.0 ? m_first->cd(alpha) : m_second->cd(alpha);
    const double c1 = m_first->cd(alpha);
    const double c2 = m_second->cd(alpha);
    return c1 + m_ratio * (c2 - c1);
}

LiftDrag ProfileParamsCombined::coefficients(double alpha) {
    if (!blends()) return m_ratio < 1.0 ? m_first->coefficients(alpha) : m_second->coefficients(alpha);
    const LiftDrag a = m_first->coefficients(alpha);
    const LiftDrag b = m_second->coefficients(alpha);
    return {a.cl + m_ratio * (b.cl - a.cl), a.cd + m_ratio * (b.cd - a.cd)};
}

double ProfileParamsCombined::alphaMin() { return Common::max(m_first->alphaMin(), m_second->alphaMin()); }
double ProfileParamsCombined::alphaMax() { return Common::min(m_first->alphaMax(), m_second->alphaMax()); }

bool ProfileParamsCombined::outOfRange(double alpha) {
    return m_first->outOfRange(alpha) || m_second->outOfRange(alpha);
}

void ProfileParamsCombined::setReynoldsRange(double lo, double hi) {
    m_reynoldsCombination = true;
    reynoldsRange = true;
    reynoldsLo = lo;
    reynoldsHi = hi;
}

bool ProfileParamsCombined::hasReynoldsRange() {
    if (m_reynoldsCombination) return true;
    return m_first->hasReynoldsRange() || m_second->hasReynoldsRange();
}

void ProfileParamsCombined::setReynolds(double re) {
    if (m_reynoldsCombination) {
        currentReynolds = re;
        m_ratio = (re - reynoldsLo) / (reynoldsHi - reynoldsLo);
        return;
    }
    if (m_first->hasReynoldsRange()) m_first->setReynolds(re);
    if (m_second->hasReynoldsRange()) m_second->setReynolds(re);
}

bool ProfileParamsCombined::isReynoldsCombination() { return m_reynoldsCombination; }

void ProfileParamsCombined::appendTabulatedAngles(std::vector<double>& degrees) {
    if (blends() || m_ratio < 1.0) m_first->appendTabulatedAngles(degrees);
    if (blends() || m_ratio >= 1.0) m_second->appendTabulatedAngles(degrees);
}

std::shared_ptr<ProfileParams> ProfileParamsCombined::copy(PolarCopies& copies) const {
    auto first = copies.of(m_first);
    auto second = copies.of(m_second);
    if (!first || !second) return nullptr;
    auto blend = std::make_shared<ProfileParamsCombined>(*this);
    blend->setProfiles(std::move(first), std::move(second));
    return blend;
}

}  // namespace bemt
