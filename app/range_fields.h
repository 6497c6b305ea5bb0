#pragma once
// The four fields of a sweep that follow each other: first and last value, step and number
// of steps. The step is what the project holds; the number of steps is shown from it and,
// typed, sets the step that spreads that many values over the span. Equal ends, or a step
// beyond the span, make one value: the fields then show one step and keep the step as it
// was, rather than a step of zero.

#include <wx/textctrl.h>

#include <memory>

#include "bemt/ValueLimits.h"

class EditSection;

class RangeFields {
public:
    RangeFields(wxTextCtrl* min, wxTextCtrl* max, wxTextCtrl* step, wxTextCtrl* steps, bemt::ValueLimit ends,
                bemt::ValueLimit stepLimits);

    // Each field rewrites the others after it was changed (on kvnEVT_UPDATED_VALUE).
    void bind() const;

    // Whether a number of steps agrees with the other fields as they stand: the count of
    // the ends and the step, as the sweeps count (one over equal ends or a leapt span). A
    // partner red by itself is its own fault: the count passes then.
    bool stepsAgree(int steps) const;
    // The check of the count: it agrees, or it is not the field of the four typed last in
    // section (a step typed beyond the span leaves the count as stored, which is not at
    // fault).
    bool stepsPass(int steps, const EditSection& section) const;

private:
    // The numbers the fields hold within their limits; false when one does not.
    bool ends(double& min, double& max) const;
    void countFromStep() const;
    void stepFromCount() const;
    void followEnds() const;

    wxTextCtrl* m_min;
    wxTextCtrl* m_max;
    wxTextCtrl* m_step;
    wxTextCtrl* m_steps;
    bemt::ValueLimit m_ends;
    bemt::ValueLimit m_stepLimits;
    // Whether the count shown lags a step typed while an end could not be read; shared by
    // the copies the fields' handlers hold.
    std::shared_ptr<bool> m_countBehind;
};
