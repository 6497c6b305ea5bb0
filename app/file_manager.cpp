#include "app/file_manager.h"

#include <wx/filename.h>


#include "project/file_writer.h"
#include "project/text_file.h"

const wxString FileManager::kProjectWildcard = "Project files (*.kvp)|*.kvp|All files (*.*)|*.*";
const wxString FileManager::kCsvWildcard = "CSV data file (*.csv)|*.csv";
const wxString FileManager::kImageWildcard = "PNG image file (*.png)|*.png";

namespace {

wxString folderOf(const wxString& path) {
    wxFileName name(path);
    name.MakeAbsolute();
    return name.GetPath();
}

}  // namespace

FileManager::FileManager() = default;
FileManager::FileManager(std::unique_ptr<FileDialogs> dialogs) : m_dialogs(std::move(dialogs)) {}
FileManager::~FileManager() = default;

void FileManager::setDialogs(std::unique_ptr<FileDialogs> dialogs) { m_dialogs = std::move(dialogs); }

void FileManager::saveProject(const std::string& content, const wxString& path) {
    korvane::writeTextFile(path.utf8_string(), content);
    m_projectFolder = folderOf(path);
}

wxString FileManager::fileString(const wxString& path) const {
    return wxString::FromUTF8(korvane::readTextFile(path.utf8_string()));
}

std::istream* FileManager::fileStringStream(const std::string& path) const {
    return getFileStringStream()(path);
}

FileStreamOpener FileManager::getFileStringStream() const {
    return [](std::string path) { return korvane::openTextStream(path); };
}

wxString FileManager::choose(FileDialogRequest request, const wxString& folder) const {
    if (!m_dialogs) return wxString();
    request.directory = folder;
    return m_dialogs->choosePath(request);
}

// Folders are remembered only after the whole operation succeeded, so a failure leaves
// the file manager as it was.

wxString FileManager::otherDialogFolder() const { return m_otherFolder.empty() ? m_projectFolder : m_otherFolder; }

void FileManager::projectOpened(const wxString& path) { m_projectFolder = folderOf(path); }

wxString FileManager::getAnyFilePath(const wxString& wildcard, const wxString& title, wxWindow* parent) {
    const wxString path =
        choose({FileDialogRequest::Kind::Open, parent, title, wildcard, {}, {}}, otherDialogFolder());
    if (!path.empty()) m_otherFolder = folderOf(path);
    return path;
}

std::pair<wxString, wxString> FileManager::loadProjectFile() {
    const wxString path =
        choose({FileDialogRequest::Kind::Open, nullptr, "Open project file", kProjectWildcard, {}, {}},
               m_projectFolder);
    if (path.empty()) return {};
    wxString content = fileString(path);
    m_projectFolder = folderOf(path);
    return {path, std::move(content)};
}

wxString FileManager::saveProjectAsPath(const wxString& proposedName) {
    wxString path = choose(
        {FileDialogRequest::Kind::Save, nullptr, "Save project file", kProjectWildcard, {}, proposedName},
        m_projectFolder);
    if (path.empty()) return path;
    wxFileName name(path);
    if (!name.HasExt()) {
        name.SetExt("kvp");
        path = name.GetFullPath();
        if (name.FileExists() && !(m_dialogs && m_dialogs->confirmOverwrite(path))) return wxString();
    }
    m_projectFolder = folderOf(path);
    return path;
}

void FileManager::saveCSV(wxWindow* parent, const wxString& proposedName, const wxString& text) {
    const wxString path =
        choose({FileDialogRequest::Kind::Save, parent, "Save csv file", kCsvWildcard, {}, proposedName},
               otherDialogFolder());
    if (path.empty()) return;
    korvane::writeTextFile(path.utf8_string(), text.utf8_string());
    m_otherFolder = folderOf(path);
}

wxString FileManager::saveFilePath(wxWindow* parent, const wxString& title, const wxString& wildcard,
                                   const wxString& proposedName) {
    const wxString path = choose({FileDialogRequest::Kind::Save, parent, title, wildcard, {}, proposedName}, m_otherFolder);
    if (!path.empty()) m_otherFolder = folderOf(path);
    return path;
}

void FileManager::saveText(wxWindow* parent, const wxString& title, const wxString& wildcard,
                           const wxString& proposedName, const std::string& text) {
    const wxString path = saveFilePath(parent, title, wildcard, proposedName);
    if (!path.empty()) korvane::writeTextFile(path.utf8_string(), text);
}

wxString FileManager::saveImagePath(wxWindow* parent, const wxString& proposedName) {
    const wxString path = choose(
        {FileDialogRequest::Kind::Save, parent, "Save image file", kImageWildcard, {}, proposedName},
        otherDialogFolder());
    if (!path.empty()) m_otherFolder = folderOf(path);
    return path;
}
