// File access: the promised messages, text decoding, the atomic save that never
// destroys the previous file nor anything that is not a file of ours, sets of files
// that appear whole or not at all, and the dialogs' titles, filters and remembered
// folders.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <set>

#include "AppTestSupport.h"
#include "TempFolder.h"
#include "bemt/Error.h"
#include "bemt/ErrorOf.h"
#include "project/file_set.h"
#include "project/file_writer.h"
#include "project/text_file.h"

namespace {

using korvane::testing::errorOf;
using korvane::testing::readBytes;
using korvane::testing::ScriptedDialogs;
using korvane::testing::TempFolder;
using korvane::testing::writeBytes;
namespace fs = std::filesystem;

std::size_t filesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

TEST(FileAccess, ReadingReportsAMissingNameAndAnUnreadableFile) {
    FileManager files;
    EXPECT_EQ(errorOf([&] { files.fileString(""); }), "No file name has been provided.");
    EXPECT_EQ(errorOf([&] { files.fileString("/no/such/folder/rotor.kvp"); }),
              "The file /no/such/folder/rotor.kvp could not be opened: No such file or directory.");
    TempFolder temp;
    EXPECT_EQ(errorOf([&] { files.fileString(wxString::FromUTF8(temp.file(""))); }),
              "The file " + temp.file("") + " could not be opened: it is a folder.");
    EXPECT_EQ(errorOf([&] { delete files.fileStringStream(temp.file("none.csv")); }),
              "The file " + temp.file("none.csv") + " could not be opened: No such file or directory.");
}

TEST(FileAccess, ByteOrderMarksSelectTheEncodingAndOtherTextIsUtf8OrLatin1) {
    using korvane::decodeText;
    EXPECT_EQ(decodeText("\xEF\xBB\xBF{\"a\":1}"), "{\"a\":1}");
    EXPECT_EQ(decodeText(std::string("\xFF\xFE" "a\0\xE9\0", 6)), "a\xC3\xA9");          // UTF-16 LE: aé
    EXPECT_EQ(decodeText(std::string("\xFE\xFF\0a\xD8\x3D\xDE\x00", 8)), "a\xF0\x9F\x98\x80");  // UTF-16 BE: a😀
    EXPECT_EQ(decodeText(std::string("\xFF\xFE\0\0" "b\0\0\0", 8)), "b");                  // UTF-32 LE
    EXPECT_EQ(decodeText("polár ø"), "polár ø");
    EXPECT_EQ(decodeText("pol\xE1r"), "pol\xC3\xA1r");  // Latin-1 á
    EXPECT_EQ(decodeText(""), "");
}

TEST(FileAccess, StreamsHandTheFileToWorkerCodeAsUtf8) {
    TempFolder temp;
    const std::string path = temp.file("Profil ø.csv");
    writeBytes(path, "\xEF\xBB\xBFWinkel α\n0,0.2,0.01\n");
    const FileStreamOpener open = [] {
        FileManager files;
        return files.getFileStringStream();  // outlives its file manager
    }();
    std::unique_ptr<std::istream> in(open(path));
    std::string header;
    std::getline(*in, header);
    EXPECT_EQ(header, "Winkel α");
    FileManager files;
    EXPECT_EQ(files.fileString(wxString::FromUTF8(path)), wxString::FromUTF8("Winkel α\n0,0.2,0.01\n"));
}

// Only a regular file is replaced, keeping its permissions; a link is written through
// (a dangling one creates its target) and stays; a pipe or a device is written in place.
TEST(AtomicSave, OnlyRegularFilesAreReplacedLinksAreFollowedAndTheRestWrittenInPlace) {
    using korvane::WriteOutcome;
    TempFolder temp;
    const std::string path = temp.file("rotor.kvp"), link = temp.file("link.kvp"), fifo = temp.file("pipe");
    writeBytes(path, "old");
    ::chmod(path.c_str(), 0640);
    fs::create_symlink("rotor.kvp", link);
    fs::create_symlink("later.kvp", temp.file("dangling.kvp"));
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // the writer does not wait for one
    std::vector<std::pair<std::string, WriteOutcome>> cases = {
        {temp.file("new.kvp"), WriteOutcome::Created}, {link, WriteOutcome::Replaced},
        {temp.file("dangling.kvp"), WriteOutcome::Created}, {fifo, WriteOutcome::Written}};
    // A null device of our own, which only root may make.
    const std::string device = temp.file("null");
    if (::geteuid() == 0 && ::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        cases.emplace_back(device, WriteOutcome::Written);
    for (const auto& [target, outcome] : cases) EXPECT_EQ(korvane::writeTextFile(target, "new"), outcome) << target;

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(path), "new");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(readBytes(temp.file("later.kvp")), "new");
    char buffer[8] = {};
    EXPECT_EQ(::read(reader, buffer, sizeof buffer), 3);
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));
    if (cases.size() == 5) {
        EXPECT_TRUE(fs::is_character_file(device));
    }
    EXPECT_EQ(filesIn(temp.path()), cases.size() + 2);  // no temporary left
}

TEST(AtomicSave, WritingOntoAFolderFailsWithTheMessageAndChangesNothing) {
    TempFolder temp;
    FileManager files;
    const fs::path folder = temp.path() / "rotor.kvp";
    fs::create_directory(folder);
    writeBytes((folder / "inside.txt").string(), "kept");
    EXPECT_EQ(errorOf([&] { files.saveProject("{}", wxString::FromUTF8(folder.string())); }),
              "The file " + folder.string() + " could not be written: it is a folder.");
    EXPECT_EQ(readBytes((folder / "inside.txt").string()), "kept");
    EXPECT_EQ(filesIn(temp.path()), 1u);
    EXPECT_EQ(files.projectFolder(), "");  // a failure leaves the file manager as it was
}

// Saves into a folder the saving user may not write to: this process when permissions
// bind it, otherwise (as root) a child that gives up root first. Returns the message.
std::string saveAsUnprivileged(const std::string& path) {
    FileManager files;
    if (::geteuid() != 0) return errorOf([&] { files.saveProject("new", wxString::FromUTF8(path)); });
    int channel[2];
    if (::pipe(channel) != 0) return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(channel[0]);
        std::string message = "could not drop root";
        if (::setgid(65534) == 0 && ::setuid(65534) == 0)
            message = errorOf([&] { korvane::writeTextFile(path, "new"); });
        const ssize_t ignored = ::write(channel[1], message.data(), message.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string message;
    char buffer[256];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) message.append(buffer, n);
    ::close(channel[0]);
    ::waitpid(pid, nullptr, 0);
    return message;
}

TEST(AtomicSave, AFolderThatCannotBeWrittenLeavesThePreviousFile) {
    TempFolder temp;
    const std::string path = temp.file("rotor.kvp");
    writeBytes(path, "previous");
    ::chmod(path.c_str(), 0666);
    ::chmod(temp.path().c_str(), 0555);
    EXPECT_EQ(saveAsUnprivileged(path), "The file " + path + " could not be written: Permission denied.");
    EXPECT_EQ(readBytes(path), "previous");
    EXPECT_EQ(filesIn(temp.path()), 1u);
}

TEST(AtomicSave, AWriteCutShortLeavesThePreviousFileWhole) {
    TempFolder temp;
    const std::string path = temp.file("rotor.kvp");
    const std::string previous = "{\"previous\":true}";
    writeBytes(path, previous);

    // A file size limit makes the write fail half-way, as a full disk would.
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = errorOf([&] { korvane::writeTextFile(path, std::string(5000, 'x')); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(message, "The file " + path + " could not be written: File too large.");
    EXPECT_EQ(readBytes(path), previous);
    EXPECT_EQ(filesIn(temp.path()), 1u);
}

// A killed run's temporary folder is removed by the next write into its folder; a user's
// look-alike, a folder without our marker and one whose process still runs are not, and
// nothing is removed recursively.
TEST(AtomicSave, TheNextWriteRemovesOnlyWhatAKilledRunOfOursLeft) {
    TempFolder temp;
    const pid_t pid = ::fork();
    if (pid == 0) {
        korvane::TemporaryFolder killed(temp.path());
        writeBytes(killed.newFile().string(), "half a file");
        korvane::TemporaryFolder visited(temp.path());
        fs::create_directories(visited.path() / "keep");
        writeBytes((visited.path() / "keep" / "ch1.tex").string(), "someone's");
        ::_exit(0);  // without cleaning up
    }
    ASSERT_GT(pid, 0);
    ::waitpid(pid, nullptr, 0);
    const std::set<std::string> left = namesIn(temp.path());
    ASSERT_EQ(left.size(), 2u);
    fs::create_directories(temp.path() / ".thesis.2024abcd.tmp");
    writeBytes(temp.file(".thesis.2024abcd.tmp/ch1.tex"), "chapter 1");
    fs::create_directories(temp.path() / ".korvane-12345678.tmp");
    writeBytes(temp.file(".korvane-12345678.tmp/1"), "no marker");
    const korvane::TemporaryFolder running(temp.path());

    korvane::writeTextFile(temp.file("out.json"), "{}");
    std::set<std::string> expected = {"out.json", ".thesis.2024abcd.tmp", ".korvane-12345678.tmp",
                                      running.path().filename().string()};
    for (const std::string& name : left) {
        if (fs::exists(temp.path() / name / "keep")) expected.insert(name);
    }
    EXPECT_EQ(namesIn(temp.path()), expected);
    EXPECT_EQ(readBytes(temp.file(".thesis.2024abcd.tmp/ch1.tex")), "chapter 1");
    EXPECT_EQ(readBytes(temp.file(".korvane-12345678.tmp/1")), "no marker");
}

// A set whose move fails half-way puts back what it replaced and removes what it
// created; a set that fails before the move leaves no folder it made.
TEST(FileSets, AFailureHalfWayPutsBackThePreviousFiles) {
    TempFolder temp;
    const std::string folder = temp.file("out");
    korvane::writeFileSet(folder, {{"a.csv", "old a"}, {"b.csv", "old b"}});
    {
        korvane::FileSet set(folder);
        for (const char* name : {"a.csv", "b.csv", "c.csv"}) set.add(name).write("new");
        // The staged b.csv vanishes, so that its move fails after a.csv's.
        for (const std::string& name : namesIn(folder)) {
            if (name.starts_with(".korvane-")) fs::remove(fs::path(folder) / name / "2");
        }
        EXPECT_EQ(errorOf([&] { set.commit(); }),
                  "The file " + folder + "/b.csv could not be written: No such file or directory.");
    }
    EXPECT_EQ(namesIn(folder), (std::set<std::string>{"a.csv", "b.csv"}));
    EXPECT_EQ(readBytes(folder + "/a.csv"), "old a");
    EXPECT_EQ(readBytes(folder + "/b.csv"), "old b");

    const std::string tooLong(300, 'x');
    EXPECT_EQ(errorOf([&] { korvane::writeFileSet(temp.file("new/sub"), {{"a/b.csv", "1"}, {tooLong, "2"}}); }),
              "The file " + temp.file("new/sub/") + tooLong + " could not be written: File name too long.");
    EXPECT_FALSE(fs::exists(temp.file("new")));
}

// A file manager whose dialogs answer as scripted.
class Dialogs : public ::testing::Test {
protected:
    std::unique_ptr<ScriptedDialogs> owned = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs& dialogs = *owned;
    FileManager files{std::move(owned)};
};

TEST_F(Dialogs, ProjectDialogsStartWhereTheLastProjectWas) {
    TempFolder temp;
    EXPECT_TRUE(files.saveProjectAsPath("new_turbine.kvp").empty());  // cancelled
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const FileDialogRequest& save = dialogs.requests[0];
    EXPECT_EQ(save.kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(save.directory, "");
    EXPECT_EQ(save.fileName, "new_turbine.kvp");

    files.saveProject("{}", wxString::FromUTF8(temp.file("rotor.kvp")));
    files.saveProjectAsPath("rotor.kvp");
    EXPECT_EQ(dialogs.requests.back().directory, wxString::FromUTF8(temp.path().string()));

    dialogs.answer(wxString::FromUTF8(temp.file("rotor.kvp")));
    const auto [path, content] = files.loadProjectFile();
    EXPECT_EQ(dialogs.requests.back().kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(path, wxString::FromUTF8(temp.file("rotor.kvp")));
    EXPECT_EQ(content, "{}");
    EXPECT_TRUE(files.loadProjectFile().first.empty());
}

TEST_F(Dialogs, CsvExportWritesOnlyWhenAFileIsChosen) {
    TempFolder temp;
    files.saveCSV(nullptr, "cp.csv", "x,y\n");
    EXPECT_EQ(filesIn(temp.path()), 0u);
    EXPECT_EQ(dialogs.requests.back().fileName, "cp.csv");

    dialogs.answer(wxString::FromUTF8(temp.file("cp.csv")));
    files.saveCSV(nullptr, "cp.csv", wxString::FromUTF8("λ,Cp\n7,0.48\n"));
    EXPECT_EQ(readBytes(temp.file("cp.csv")), "λ,Cp\n7,0.48\n");
    EXPECT_EQ(files.otherFolder(), wxString::FromUTF8(temp.path().string()));

    dialogs.answer(wxString::FromUTF8(temp.file("chart.png")));
    EXPECT_EQ(files.saveImagePath(nullptr, "chart.png"), wxString::FromUTF8(temp.file("chart.png")));
    EXPECT_EQ(dialogs.requests.back().directory, wxString::FromUTF8(temp.path().string()));

    dialogs.answer(wxString::FromUTF8(temp.file("polar.csv")));
    EXPECT_EQ(files.getAnyFilePath("CSV (*.csv)|*.csv", "Choose a polar", nullptr),
              wxString::FromUTF8(temp.file("polar.csv")));
    EXPECT_EQ(dialogs.requests.back().kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(dialogs.requests.back().title, "Choose a polar");
}

TEST_F(Dialogs, SaveAsAppendsTheProjectExtensionAndAsksBeforeReplacingWhatItFinds) {
    TempFolder temp;
    dialogs.answer(wxString::FromUTF8(temp.file("rotor")));
    EXPECT_EQ(files.saveProjectAsPath("x.kvp"), wxString::FromUTF8(temp.file("rotor.kvp")));
    EXPECT_TRUE(dialogs.overwriteQuestions.empty());
    dialogs.answer(wxString::FromUTF8(temp.file("rotor.json")));  // an extension of the user's own stays
    EXPECT_EQ(files.saveProjectAsPath("x.kvp"), wxString::FromUTF8(temp.file("rotor.json")));

    writeBytes(temp.file("rotor.kvp"), "kept");
    dialogs.overwriteAnswer = false;
    dialogs.answer(wxString::FromUTF8(temp.file("rotor")));
    EXPECT_TRUE(files.saveProjectAsPath("x.kvp").empty());
    ASSERT_EQ(dialogs.overwriteQuestions.size(), 1u);
    EXPECT_EQ(dialogs.overwriteQuestions[0], wxString::FromUTF8(temp.file("rotor.kvp")));
}

TEST_F(Dialogs, OtherDialogsStartInTheProjectsFolderUntilOneIsUsed) {
    TempFolder project, other;
    // A project named on the command line is opened without a dialog.
    files.projectOpened(wxString::FromUTF8(project.file("rotor.kvp")));
    files.getAnyFilePath("*", "Open CSV text file", nullptr);
    EXPECT_EQ(dialogs.requests.back().directory, wxString::FromUTF8(project.path().string()));
    files.saveProjectAsPath("rotor.kvp");
    EXPECT_EQ(dialogs.requests.back().directory, wxString::FromUTF8(project.path().string()));

    dialogs.answer(wxString::FromUTF8(other.file("polar.csv")));
    files.getAnyFilePath("*", "Open CSV text file", nullptr);
    files.saveImagePath(nullptr, "chart.png");
    EXPECT_EQ(dialogs.requests.back().directory, wxString::FromUTF8(other.path().string()));
}

TEST(FileDialogsAbsent, EveryQuestionIsCancelled) {
    FileManager files;
    EXPECT_TRUE(files.saveProjectAsPath("x.kvp").empty());
    EXPECT_TRUE(files.loadProjectFile().first.empty());
    EXPECT_TRUE(files.getAnyFilePath("*", "t", nullptr).empty());
}

}  // namespace
