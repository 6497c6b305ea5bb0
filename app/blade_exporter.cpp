#include "app/blade_exporter.h"

#include <wx/filename.h>

#include "app/computation_runner.h"
#include "app/compute_dialogs.h"
#include "app/file_manager.h"
#include "app/kvp_project.h"
#include "bemt/Error.h"
#include "exchange/aerodyn_export.h"
#include "results/error_box.h"

BladeExporter::BladeExporter(wxWindow* parent, KvpProject& project, const ComputationRunner& runner,
                             const ComputeDialogs& dialogs)
    : m_parent(parent), m_project(project), m_runner(runner), m_dialogs(dialogs) {}

void BladeExporter::exportDesigned(wxWindow* window, const std::vector<double>& x, const std::vector<double>& chord,
                                   const std::vector<double>& twist) const {
    // The export sets the Reynolds numbers of the shared polars, which a running
    // computation is using.
    if (m_runner.busy()) {
        showError(kWhileBusy);
        return;
    }
    if (!m_runner.segmentsValid()) {
        showError("The airfoil data changed since the design; compute the design again, then export the blade.");
        return;
    }
    const wxString path = m_project.fileManager()->saveFilePath(
        window, "Export blade to AeroDyn", "AeroDyn blade files (*.dat)|*.dat",
        wxString::FromUTF8(korvane::aerodyn::kBladeFile));
    if (path.empty()) return;
    korvane::ProjectData blade = m_project.state();
    blade.chordPoints.clear();
    blade.twistPoints.clear();
    for (std::size_t i = 0; i < x.size(); ++i) {
        blade.chordPoints.push_back({x[i], chord[i]});
        blade.twistPoints.push_back({x[i], twist[i]});
    }
    try {
        const auto files = korvane::aerodyn::exportFiles(blade, m_runner.airfoilSegments(), std::nullopt,
                                                          m_project.projectFilename().utf8_string());
        korvane::aerodyn::writeFiles(wxFileName(path).GetPath().utf8_string(), files);
    } catch (const bemt::Error& error) {
        showError(wxString::FromUTF8(error.message()));
    }
}

void BladeExporter::exportProject(const korvane::ProjectData& project, const wxString& bladeFile,
                                  const std::function<void(const wxString&)>& done) const {
    try {
        const wxString folder = wxFileName(bladeFile).GetPath();
        const auto files = korvane::aerodyn::exportFiles(project, m_runner.airfoilSegments(), std::nullopt,
                                                          m_project.projectFilename().utf8_string());
        const auto written = korvane::aerodyn::writeFiles(folder.utf8_string(), files);
        if (done) done(wxString::Format("Exported %zu AeroDyn files to %s.", written.size(), folder));
    } catch (const bemt::Error& error) {
        showError(wxString::FromUTF8(error.message()));
    }
}

void BladeExporter::showError(const wxString& message) const { m_dialogs.error(m_parent, message, kErrorCaption); }
