#pragma once
// The one place where the program reads and writes files and asks the user for file
// names. File access works without a display; the dialogs themselves are supplied by
// the desktop program through FileDialogs, so this unit needs wxBase only and the
// choices around every dialog (titles, filters, remembered folders, what is written)
// stay here, where they can be tested without a screen.
//
// Every failure is thrown as a std::string message for the user.

#include <wx/string.h>

#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <utility>

class wxWindow;

// What a file dialog is asked to show.
struct FileDialogRequest {
    enum class Kind {
        Open,  // an existing file must be chosen
        Save,  // overwriting an existing file is confirmed by the user
    };
    Kind kind = Kind::Open;
    wxWindow* parent = nullptr;  // none for the project's save dialog
    wxString title;
    wxString wildcard;
    wxString directory;  // where the dialog starts; empty for the current folder
    wxString fileName;   // proposed file name
};

// Shows file dialogs. The desktop program implements it with wxFileDialog.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen full path, or an empty string when the user cancelled.
    virtual wxString choosePath(const FileDialogRequest& request) = 0;
    // Whether an existing file that the dialog did not ask about (the chosen name had
    // ".kvp" appended) may be replaced.
    virtual bool confirmOverwrite(const wxString& path) = 0;
};

// Opens a file by its UTF-8 path; the caller deletes the returned stream. Safe to call
// from any thread.
using FileStreamOpener = std::function<std::istream*(std::string)>;

class FileManager {
public:
    // Without dialogs every question for a file name is answered as cancelled.
    FileManager();
    explicit FileManager(std::unique_ptr<FileDialogs> dialogs);
    ~FileManager();
    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;

    void setDialogs(std::unique_ptr<FileDialogs> dialogs);

    // ---- file access ----

    // Writes content (UTF-8) to path as korvane::writeTextFile does; throws "The file
    // PATH could not be written: REASON.". Remembers the project folder.
    void saveProject(const std::string& content, const wxString& path);

    // The whole file as text (a byte-order mark is honoured, otherwise UTF-8). Throws
    // "No file name has been provided." or "The file " + path + " could not be opened.".
    wxString fileString(const wxString& path) const;

    // The file at a UTF-8 path in a new string stream that the caller owns. The text
    // stays UTF-8, like the header text it is matched against.
    std::istream* fileStringStream(const std::string& path) const;

    // fileStringStream as a callable for worker threads. It touches no state of this
    // object, so it stays valid after the file manager is gone.
    FileStreamOpener getFileStringStream() const;

    // ---- choices through dialogs ----

    // An existing file chosen in an open dialog, or empty when cancelled.
    wxString getAnyFilePath(const wxString& wildcard, const wxString& title, wxWindow* parent);

    // A project file chosen in the open dialog and its content; both empty when
    // cancelled.
    std::pair<wxString, wxString> loadProjectFile();

    // The path chosen in the project's save dialog, with ".kvp" appended when the user
    // typed no extension; empty when cancelled (also when the user declines to replace
    // the file the appended name finds).
    wxString saveProjectAsPath(const wxString& proposedName);

    // A project file was opened without a dialog (named on the command line): the next
    // dialogs start in its folder.
    void projectOpened(const wxString& path);

    // Asks for a CSV file name and writes text to it; nothing happens when cancelled.
    void saveCSV(wxWindow* parent, const wxString& proposedName, const wxString& text);

    // Asks for a file name in a save dialog with the given title and wildcard and writes
    // text (UTF-8) to it; nothing happens when cancelled.
    void saveText(wxWindow* parent, const wxString& title, const wxString& wildcard, const wxString& proposedName,
                  const std::string& text);

    // The path chosen in the PNG save dialog, or empty when cancelled. The desktop
    // program saves its bitmap there.
    wxString saveImagePath(wxWindow* parent, const wxString& proposedName);

    // The path chosen in a save dialog with the given title and filter, or empty when
    // cancelled (for exports that write files of their own).
    wxString saveFilePath(wxWindow* parent, const wxString& title, const wxString& wildcard,
                          const wxString& proposedName);

    // The folders the next dialogs start in (other dialogs start in the project's folder
    // until one of them has been used).
    wxString projectFolder() const { return m_projectFolder; }
    wxString otherFolder() const { return m_otherFolder; }

    static const wxString kProjectWildcard;
    static const wxString kCsvWildcard;
    static const wxString kImageWildcard;

private:
    wxString choose(FileDialogRequest request, const wxString& folder) const;
    wxString otherDialogFolder() const;

    std::unique_ptr<FileDialogs> m_dialogs;
    wxString m_projectFolder;  // of project files written, opened or chosen
    wxString m_otherFolder;    // of every other dialog
};
