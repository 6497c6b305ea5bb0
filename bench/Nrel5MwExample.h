#pragma once
// The NREL 5-MW example project read once, with its CSV polars, ready to compute.

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>

#include "bemt/ProfileParamsCombined.h"
#include "bemt/ToolsAirfoil.h"
#include "project/kvp_codec.h"

namespace {

struct Example {
    korvane::ProjectData project;
    bemt::InputDataSet input;
};

const Example& nrel5mw() {
    static const Example example = [] {
        const std::string path = KORVANE_EXAMPLES "/nrel5mw.kvp";
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        Example e;
        e.project = korvane::kvp::read(text.str(), path);
        // Neighbouring-airfoil blending as the project asks (off: one table per element).
        e.input.blendAirfoils = e.project.computeSettings.enable_interpolation;
        e.input.settings = e.project.solverSettings;
        e.input.conditions = e.project.conditions;
        e.input.chordPoints = e.project.chordPoints;
        e.input.twistPoints = e.project.twistPoints;
        std::atomic<bool> abort{false};
        e.input.segments = bemt::ToolsAirfoil::segmentsFromPoints(
            e.project.airfoilPoints,
            [](std::string p) -> std::istream* { return new std::ifstream(p, std::ios::binary); },
            e.project.conditions, [](int, std::string) {}, &abort);
        return e;
    }();
    return example;
}

}  // namespace
