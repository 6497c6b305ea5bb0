#include "bemt/StallDelay.h"

#include <algorithm>

#include "bemt/Common.h"
#include "bemt/NumberText.h"
#include "bemt/ValueLimits.h"

namespace bemt {

namespace {

// A model, its name in project files and on the command line, and its label for people.
template <typename Model>
struct Named {
    Model model;
    const char* name;
    const char* label;
};
constexpr Named<StallLift> kLiftNames[] = {
    {StallLift::None, "none", "None"}, {StallLift::DuSelig, "du_selig", "Du & Selig"}, {StallLift::Snel, "snel", "Snel"}};
constexpr Named<StallDrag> kDragNames[] = {{StallDrag::None, "none", "None"}, {StallDrag::Eggers, "eggers", "Eggers"}};

template <typename Model, std::size_t N>
std::string nameIn(const Named<Model> (&names)[N], Model model) {
    for (const auto& n : names)
        if (n.model == model) return n.name;
    return {};
}

template <typename Model, std::size_t N>
std::string labelIn(const Named<Model> (&names)[N], Model model) {
    for (const auto& n : names)
        if (n.model == model) return n.label;
    return {};
}

template <typename Model, std::size_t N>
bool modelIn(const Named<Model> (&names)[N], const std::string& name, Model& model) {
    for (const auto& n : names) {
        if (name == n.name) {
            model = n.model;
            return true;
        }
    }
    return false;
}

std::string degrees(double value) { return NumberText::shortText(value); }

}  // namespace

bool operator==(const StallDelaySettings& a, const StallDelaySettings& b) {
    return a.lift == b.lift && a.drag == b.drag && a.fit_min == b.fit_min && a.fit_max == b.fit_max
           && a.fade_start == b.fade_start && a.fade_end == b.fade_end && a.max_delta_cl == b.max_delta_cl
           && a.x_max == b.x_max;
}

namespace StallDelay {

std::string liftName(StallLift lift) { return nameIn(kLiftNames, lift); }
std::string dragName(StallDrag drag) { return nameIn(kDragNames, drag); }
std::string liftLabel(StallLift lift) { return labelIn(kLiftNames, lift); }
std::string dragLabel(StallDrag drag) { return labelIn(kDragNames, drag); }
bool liftFromName(const std::string& name, StallLift& lift) { return modelIn(kLiftNames, name, lift); }
bool dragFromName(const std::string& name, StallDrag& drag) { return modelIn(kDragNames, name, drag); }

std::vector<StallDelayProblem> problems(const StallDelaySettings& s) {
    std::vector<StallDelayProblem> found;
    auto limited = [&found](const char* key, double value, const ValueLimit& limit) {
        if (const auto refusal = limit.check(value)) found.push_back({key, *refusal});
    };
    limited("fit_min", s.fit_min, Limits::stallFitAngle);
    limited("fit_max", s.fit_max, Limits::stallFitAngle);
    limited("fade_start", s.fade_start, Limits::stallFadeAngle);
    limited("fade_end", s.fade_end, Limits::stallFadeAngle);
    limited("max_delta_cl", s.max_delta_cl, Limits::stallMaxDeltaCl);
    if (s.x_max) limited("x_max", *s.x_max, Limits::stallOuterLimit);
    // Order only between numbers that passed their own limits.
    if (found.empty() && !(s.fit_min < s.fit_max))
        found.push_back({"fit_max", "the fit window must end above its start: fit_min " + degrees(s.fit_min) +
                                        ", fit_max " + degrees(s.fit_max) + "."});
    if (found.empty() && !(s.fade_start < s.fade_end))
        found.push_back({"fade_end", "the fade must end above its start: fade_start " + degrees(s.fade_start) +
                                         ", fade_end " + degrees(s.fade_end) + "."});
    return found;
}

bool corrects(const std::optional<StallDelaySettings>& settings) {
    return settings && settings->lift != StallLift::None;
}

std::string description(const std::optional<StallDelaySettings>& settings) {
    if (!corrects(settings)) return "none (2D polars)";
    const StallDelaySettings& s = *settings;
    std::string text = liftName(s.lift) + " lift, " + dragName(s.drag) + " drag, fit " + degrees(s.fit_min) + " to " +
                       degrees(s.fit_max) + " deg, fade " + degrees(s.fade_start) + " to " + degrees(s.fade_end) +
                       " deg, |dcl| <= " + degrees(s.max_delta_cl);
    if (s.x_max) text += ", up to x/R " + degrees(*s.x_max);
    return text;
}

double duSeligFactor(double cOverR, double xRel, double tipSpeedRatio) {
    const double Lambda = tipSpeedRatio / std::sqrt(1.0 + tipSpeedRatio * tipSpeedRatio);
    const double power = std::pow(cOverR, 1.0 / (Lambda * xRel));
    const double f = (1.6 * cOverR / 0.1267 * (1.0 - power) / (1.0 + power) - 1.0) / (2.0 * std::numbers::pi);
    return std::max(f, 0.0);
}

double snelFactor(double cOverR) { return 3.0 * cOverR * cOverR; }

double liftFactor(const StallDelaySettings& s, double cOverR, double xRel, double tipSpeedRatio) {
    if (s.x_max && xRel > *s.x_max) return 0.0;
    switch (s.lift) {
        case StallLift::DuSelig: return duSeligFactor(cOverR, xRel, tipSpeedRatio);
        case StallLift::Snel: return snelFactor(cOverR);
        default: return 0.0;
    }
}

std::optional<LiftLine> fitLiftLine(const std::vector<double>& alpha, const std::vector<double>& cl) {
    const std::size_t n = std::min(alpha.size(), cl.size());
    if (n < 2) return std::nullopt;
    double meanAlpha = 0.0;
    double meanCl = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        meanAlpha += alpha[i];
        meanCl += cl[i];
    }
    meanAlpha /= static_cast<double>(n);
    meanCl /= static_cast<double>(n);
    double sxx = 0.0;
    double sxy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = alpha[i] - meanAlpha;
        sxx += dx * dx;
        sxy += dx * (cl[i] - meanCl);
    }
    if (!(sxx > 0.0)) return std::nullopt;
    const double slope = sxy / sxx;
    // cl = slope (alpha - alpha0) passes through the means.
    return LiftLine{slope, meanAlpha - meanCl / slope};
}

}  // namespace StallDelay

StallDelayCorrection::StallDelayCorrection(const StallDelaySettings& settings, double factor, LiftLine line)
    : m_active(factor > 0.0 && std::fabs(line.slope) >= StallDelay::kMinSlope && std::isfinite(line.alpha0)),
      m_eggers(settings.drag == StallDrag::Eggers),
      m_factor(factor),
      m_line(line),
      m_fadeStart(Common::deg2rad(settings.fade_start)),
      m_fadeEnd(Common::deg2rad(settings.fade_end)),
      m_fadeScale(1.0 / (m_fadeEnd - m_fadeStart)),
      m_maxDeltaCl(settings.max_delta_cl) {}

StallDelayCorrection stallDelayCorrection(const StallDelaySettings& settings, double xRel, double cRel,
                                          double tipSpeedRatio, ProfileParams& polar) {
    const double factor = StallDelay::liftFactor(settings, cRel / xRel, xRel, tipSpeedRatio);
    if (!(factor > 0.0)) return {};
    std::vector<double> tabulated;
    polar.appendTabulatedAngles(tabulated);
    std::sort(tabulated.begin(), tabulated.end());
    tabulated.erase(std::unique(tabulated.begin(), tabulated.end()), tabulated.end());
    std::vector<double> angles;
    for (const double deg : tabulated) {
        if (deg >= settings.fit_min && deg <= settings.fit_max) angles.push_back(deg);
    }
    // A table too coarse for a line in the window (a cylinder's few rows) is read at
    // every whole degree of the window and at its ends instead.
    if (angles.size() < 2) {
        angles.assign({settings.fit_min});
        for (double deg = std::floor(settings.fit_min) + 1.0; deg < settings.fit_max; deg += 1.0) angles.push_back(deg);
        angles.push_back(settings.fit_max);
    }
    std::vector<double> cl;
    cl.reserve(angles.size());
    for (double& a : angles) {
        a = Common::deg2rad(a);
        cl.push_back(polar.cl(a));
    }
    const auto line = StallDelay::fitLiftLine(angles, cl);
    return StallDelayCorrection(settings, factor, line.value_or(LiftLine{}));
}

}  // namespace bemt
