#include "project/file_set.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "bemt/Error.h"
#include "project/text_file.h"

namespace korvane {

namespace fs = std::filesystem;

namespace {

// Holds back Ctrl-C and termination while the files of a set are moved, so that an
// interruption comes before or after the whole move, never in the middle.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&held, signal);
        pthread_sigmask(SIG_BLOCK, &held, &m_previous);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t m_previous{};
};

}  // namespace

FileSet::FileSet(std::string folder) : m_folder(pathFromUtf8(folder)) {
    // Created from the outermost missing folder inwards, so that each is known to be ours.
    std::vector<fs::path> missing;
    std::error_code error;
    for (fs::path at = fs::absolute(m_folder, error); !at.empty() && !fs::exists(at, error);
         at = at.parent_path()) {
        missing.push_back(at);
        if (at == at.parent_path()) break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (::mkdir(it->c_str(), 0777) != 0) {
            // A link that leads nowhere is "missing" yet in the way: say so, not "File exists".
            const int code = errno;
            std::error_code linkError;
            const std::string reason = code == EEXIST && fs::is_symlink(*it, linkError)
                                           ? utf8OfPath(*it) + " is a link to a missing folder"
                                           : std::string(std::strerror(code));
            for (auto made = m_created.rbegin(); made != m_created.rend(); ++made) ::rmdir(made->c_str());
            throw bemt::Error("The folder " + folder + " could not be created: " + reason + ".");
        }
        m_created.push_back(*it);
    }
    if (!fs::is_directory(m_folder, error))
        throw bemt::Error("The folder " + folder + " could not be created: " + std::strerror(ENOTDIR) + ".");
}

FileSet::~FileSet() {
    if (m_committed) return;
    m_files.clear();
    m_temporaries.reset();  // the temporary folders go before the folders that hold them
    for (auto it = m_created.rbegin(); it != m_created.rend(); ++it) ::rmdir(it->c_str());
}

void FileSet::createFolders(const fs::path& folder, const std::string& file) {
    if (folder == m_folder || folder.empty()) return;
    createFolders(folder.parent_path(), file);
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode))
            throw bemt::Error("The file " + file + " could not be written: " + utf8OfPath(folder) +
                              " is not a folder.");
        return;
    }
    if (::mkdir(folder.c_str(), 0777) != 0)
        throw bemt::Error("The file " + file + " could not be written: " + std::strerror(errno) + ".");
    m_created.push_back(folder);
}

FileWriter& FileSet::add(const std::string& name) {
    const fs::path target = m_folder / pathFromUtf8(name);
    const std::string path = utf8OfPath(target);
    createFolders(target.parent_path(), path);
    if (!m_files.empty()) m_files.back()->finish();
    m_files.push_back(std::make_unique<FileWriter>(path, *m_temporaries));
    return *m_files.back();
}

std::vector<WrittenFile> FileSet::commit() {
    for (const auto& file : m_files) file->finish();
    for (const auto& file : m_files) file->checkReplaceable();
    {
        const SignalsHeld held;
        std::size_t moved = 0;
        try {
            for (; moved < m_files.size(); ++moved) m_files[moved]->moveIntoPlace(true);
        } catch (const bemt::Error&) {
            while (moved > 0) m_files[--moved]->putBack();
            throw;
        }
    }
    m_committed = true;
    std::vector<WrittenFile> written;
    for (const auto& file : m_files) written.push_back({file->path(), file->outcome()});
    return written;
}

std::vector<WrittenFile> writeFileSet(const std::string& folder,
                                      const std::vector<std::pair<std::string, std::string>>& files) {
    FileSet set(folder);
    for (const auto& [name, text] : files) set.add(name).write(text);
    return set.commit();
}

std::vector<WrittenFile> writeFileSet(const std::string& folder,
                                      const std::vector<std::pair<std::string, TextProducer>>& files) {
    FileSet set(folder);
    for (const auto& [name, produce] : files) produceInto(set.add(name), produce);
    return set.commit();
}

}  // namespace korvane
