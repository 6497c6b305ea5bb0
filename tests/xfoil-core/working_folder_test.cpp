// The adapter's private working folder: which folder it takes, which it refuses (open
// to others, someone else's, a link), and the clean-up of dead adapters' directories,
// which must leave every name it does not understand alone.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "TempFolder.h"
#include "WorkingFolder.h"

namespace {

namespace fs = std::filesystem;
using xfoilcore::WorkingFolder;

mode_t modeOf(const fs::path& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode & 0777;
}

// A process id that surely runs no adapter: a child that has exited and been reaped.
pid_t deadPid() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(WorkingFolder, PrivateFolderComesFromTheRuntimeDirectoryOrTheTemporaryOne) {
    korvane::testing::TempFolder scratch;
    const fs::path runtime = scratch.path() / "run";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    std::string reason;
    EXPECT_EQ(WorkingFolder::privateFolder(runtime.c_str(), scratch.path(), ::getuid(), reason),
              runtime / "xfoil-core");
    EXPECT_EQ(modeOf(runtime / "xfoil-core"), 0700u);

    // No runtime directory, a relative one, or one open to others: the per-user folder.
    fs::permissions(runtime, fs::perms::all);
    const fs::path perUser = scratch.path() / ("xfoil-core-" + std::to_string(::getuid()));
    for (const char* runtimeDir : {static_cast<const char*>(nullptr), "relative/run", runtime.c_str()}) {
        EXPECT_EQ(WorkingFolder::privateFolder(runtimeDir, scratch.path(), ::getuid(), reason), perUser);
        EXPECT_EQ(modeOf(perUser), 0700u);
    }
}

TEST(WorkingFolder, FoldersOthersCouldEnterAreRefused) {
    korvane::testing::TempFolder scratch;
    const fs::path perUser = scratch.path() / ("xfoil-core-" + std::to_string(::getuid()));
    std::string reason;

    fs::create_directory(perUser);
    fs::permissions(perUser, fs::perms::all);
    EXPECT_TRUE(WorkingFolder::privateFolder(nullptr, scratch.path(), ::getuid(), reason).empty());
    EXPECT_EQ(reason, perUser.string() + " is open to other users");
    fs::remove(perUser);

    fs::create_directory(scratch.path() / "elsewhere");
    fs::create_directory_symlink(scratch.path() / "elsewhere", perUser);
    EXPECT_TRUE(WorkingFolder::privateFolder(nullptr, scratch.path(), ::getuid(), reason).empty());
    EXPECT_EQ(reason, perUser.string() + " is not a directory");
    fs::remove(perUser);

    fs::create_directory(perUser);
    fs::permissions(perUser, fs::perms::owner_all);
    EXPECT_TRUE(WorkingFolder::privateFolder(nullptr, scratch.path(), ::getuid() + 1, reason).empty());
    EXPECT_EQ(reason, (scratch.path() / ("xfoil-core-" + std::to_string(::getuid() + 1))).string() +
                          " belongs to another user");
}

TEST(WorkingFolder, OwnerPidIsReadDefensively) {
    EXPECT_EQ(WorkingFolder::ownerPid("1234.aBc123"), 1234);
    EXPECT_EQ(WorkingFolder::ownerPid("2147483647.x"), 2147483647);
    for (const char* name : {"99999999999999999999.x", "2147483648.x", "0.x", "-5.x", "+5.x", "12", "12.", ".x",
                             "abc.x", "12a.x", " 12.x", "", "xfoil-core.12.x"}) {
        EXPECT_FALSE(WorkingFolder::ownerPid(name).has_value()) << name;
    }
}

TEST(WorkingFolder, OrphansOfDeadAdaptersAreRemovedAndNothingElse) {
    korvane::testing::TempFolder scratch;
    const std::string dead = std::to_string(deadPid());
    const std::vector<std::string> kept = {std::to_string(::getppid()) + ".abc", "99999999999999999999.x", "notes"};
    for (const std::string& name : {kept[0], kept[1], kept[2], dead + ".abc"}) {
        fs::create_directory(scratch.path() / name);
        std::ofstream(scratch.path() / name / "foil.dat") << "x\n";
    }
    std::ofstream(scratch.path() / (dead + ".file")) << "a file, not a working directory\n";
    WorkingFolder::removeOrphans(scratch.path());
    EXPECT_FALSE(fs::exists(scratch.path() / (dead + ".abc")));
    for (const std::string& name : {kept[0], kept[1], kept[2], dead + ".file"})
        EXPECT_TRUE(fs::exists(scratch.path() / name)) << name;
    WorkingFolder::removeOrphans(scratch.path() / "missing");  // no throw, no abort
}

TEST(WorkingFolder, WorkingDirectoryIsPrivateAndRemovedAtTheEnd) {
    fs::path path;
    {
        const WorkingFolder folder;
        ASSERT_FALSE(folder.path().empty()) << folder.reason();
        path = folder.path();
        EXPECT_EQ(modeOf(path), 0700u);
        EXPECT_EQ(modeOf(path.parent_path()), 0700u);
        EXPECT_EQ(path.filename().string().rfind(std::to_string(::getpid()) + ".", 0), 0u);
        std::ofstream(path / ":00.bl") << "boundary layer\n";
    }
    EXPECT_FALSE(fs::exists(path));
}

}  // namespace
