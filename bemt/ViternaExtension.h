#pragma once
// The Viterna-Corrigan extension of a polar tabulated over a limited range of angles
// of attack to the whole circle, matched to the table at its ends.
//
// Upper side, from the last tabulated angle aH (cl_H, cd_H) to 90 degrees:
//   cl = cdMax/2 sin(2a) + KL cos^2(a)/sin(a),  KL = (cl_H - cdMax sin(aH) cos(aH)) sin(aH)/cos^2(aH)
//   cd = cdMax sin^2(a) + KD cos(a),            KD = (cd_H - cdMax sin^2(aH)) / cos(aH)
// so that both meet the table at aH, and cl = 0, cd = cdMax at 90 degrees. From 90 to
// 180 degrees the flow is that of a flat plate met from behind:
//   cl = cdMax/2 sin(2a),   cd = cdMax sin^2(a) + cd180 cos^2(a)
// with cd180 the smallest tabulated drag coefficient, so cl = 0 and cd = cd180 at 180.
// The lower side is the mirror image matched to the first tabulated angle aL: with
// b = -a, cl(a) = -cl_upper(b) and cd(a) = cd_upper(b) for the end point (-aL, -cl_L,
// cd_L). A symmetric table therefore gets an odd cl and an even cd.
//
// cdMax is the drag coefficient of the blade at 90 degrees; for a blade of aspect ratio
// AR (at most 50) the usual choice is 1.11 + 0.018 AR.

#include <string>

namespace bemt {

class ViternaExtension {
public:
    // The end of a table the extension is matched to, angle in degrees.
    struct End {
        double alphaDeg = 0.0;
        double cl = 0.0;
        double cd = 0.0;
    };

    // upper: the last tabulated point (0 < angle < 90); cd180: drag at 180 degrees.
    ViternaExtension(End upper, double cdMax, double cd180);

    // Coefficients at alphaDeg from the upper end to 180 degrees.
    double cl(double alphaDeg) const;
    double cd(double alphaDeg) const;

    // The extension beyond the lower end of a table: the mirror image of the upper-side
    // formulas matched to (−aL, −cl_L, cd_L). alphaDeg from −180 to the lower end.
    static ViternaExtension lowerSide(End lower, double cdMax, double cd180);

    // The default cdMax of a blade of aspect ratio R / mean chord (capped at 50).
    static double defaultCdMax(double aspectRatio);

    // Angles the extension can be matched at: strictly inside (0, 90) degrees.
    static bool canMatch(double alphaDeg);
    static inline const std::string kRangeProblem =
        "the Viterna extension needs the table to end between 0 and 90 degrees of angle of attack on each side "
        "it extends (and to start between -90 and 0 degrees)";

private:
    double m_cdMax;
    double m_cd180;
    double m_kl;
    double m_kd;
};

}  // namespace bemt
