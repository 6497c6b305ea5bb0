#include "bemt/ProfileParams.h"

#include "bemt/Common.h"

namespace bemt {

double ProfileParams::cl(double) { return 0.0; }
double ProfileParams::cd(double) { return 0.0; }
LiftDrag ProfileParams::coefficients(double alpha) { return {cl(alpha), cd(alpha)}; }
double ProfileParams::alphaMin() { return Common::deg2rad(-180.0); }
double ProfileParams::alphaMax() { return Common::deg2rad(180.0); }
bool ProfileParams::outOfRange(double alpha) { return alpha < alphaMin() || alpha > alphaMax(); }
void ProfileParams::setReynoldsRange(double, double) {}
bool ProfileParams::hasReynoldsRange() { return reynoldsRange; }
void ProfileParams::setReynolds(double) {}
double ProfileParams::getReynoldsLo() { return reynoldsLo; }
double ProfileParams::getReynoldsHi() { return reynoldsHi; }
bool ProfileParams::isReynoldsCombination() { return false; }
bool ProfileParams::isNACAProfile() { return false; }
double ProfileParams::getCurrentReynolds() { return currentReynolds; }
void ProfileParams::appendTabulatedAngles(std::vector<double>&) {}
std::shared_ptr<ProfileParams> ProfileParams::copy(PolarCopies&) const { return nullptr; }

}  // namespace bemt
