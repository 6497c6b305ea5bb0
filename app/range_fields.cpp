#include "app/range_fields.h"

#include "app/edit_section.h"
#include "bemt/SweepRange.h"

RangeFields::RangeFields(wxTextCtrl* min, wxTextCtrl* max, wxTextCtrl* step, wxTextCtrl* steps, bemt::ValueLimit ends,
                         bemt::ValueLimit stepLimits)
    : m_min(min),
      m_max(max),
      m_step(step),
      m_steps(steps),
      m_ends(ends),
      m_stepLimits(stepLimits),
      m_countBehind(std::make_shared<bool>(false)) {}

void RangeFields::bind() const {
    // The handlers hold copies of the four pointers, which live as long as the fields.
    const RangeFields fields = *this;
    m_step->Bind(kvnEVT_UPDATED_VALUE, [fields](wxCommandEvent& event) {
        fields.countFromStep();
        event.Skip();
    });
    m_steps->Bind(kvnEVT_UPDATED_VALUE, [fields](wxCommandEvent& event) {
        fields.stepFromCount();
        event.Skip();
    });
    for (wxTextCtrl* end : {m_min, m_max}) {
        end->Bind(kvnEVT_UPDATED_VALUE, [fields](wxCommandEvent& event) {
            fields.followEnds();
            event.Skip();
        });
    }
}

bool RangeFields::ends(double& min, double& max) const {
    return readPartner(m_min, m_ends, min) && readPartner(m_max, m_ends, max);
}

bool RangeFields::stepsAgree(int steps) const {
    double min = 0.0, max = 0.0, step = 0.0;
    if (!ends(min, max) || max < min) return true;
    if (max == min) return steps == 1;
    // Counted as the sweeps count; a step red by itself leaves any count over a span.
    if (!readPartner(m_step, m_stepLimits, step)) return steps > 1;
    return bemt::SweepRange{min, max, step}.countIfRange() == steps;
}

bool RangeFields::stepsPass(int steps, const EditSection& section) const {
    return stepsAgree(steps) || !section.blames(m_steps, {m_min, m_max, m_step, m_steps}, m_steps);
}

void RangeFields::countFromStep() const {
    double min = 0.0, max = 0.0, step = 0.0;
    // A step typed while an end is red leaves the count behind: it is counted again
    // when the ends can be read.
    *m_countBehind = true;
    if (!ends(min, max) || !readPartner(m_step, m_stepLimits, step)) return;
    if (const auto count = bemt::SweepRange{min, max, step}.countIfRange()) {
        *m_countBehind = false;
        writeDerived(m_steps, wxString::Format("%i", *count));
    }
}

void RangeFields::stepFromCount() const {
    double min = 0.0, max = 0.0;
    int steps = 0;
    if (!ends(min, max) || !(max > min) || !parseNumber(m_steps->GetValue(), steps)) return;
    *m_countBehind = false;
    if (const auto step = bemt::SweepRange::stepFor(min, max, steps)) writeDerived(m_step, *step);
}

void RangeFields::followEnds() const {
    double min = 0.0, max = 0.0;
    int steps = 0;
    if (!ends(min, max)) return;
    // Over a span the count stays and the step follows; a count of one has no step to
    // follow, equal ends no span, and a count left behind by a typed step is not the
    // user's: the count follows the step.
    if (max > min && !*m_countBehind && parseNumber(m_steps->GetValue(), steps) && steps > 1)
        stepFromCount();
    else
        countFromStep();
}
