// korvane-cli with hostile input and output: values beyond the program's limits, paths
// that are not regular files, outputs that would destroy inputs, CSV sets that fail
// half-way, colliding file names, outputs that are pipes or descriptors, and airfoil
// files in the encodings the desktop program reads.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "CliChecks.h"

namespace {

using namespace korvane::testing;
using nlohmann::json;
namespace fs = std::filesystem;

// The new-project example with its root airfoil read from a CSV polar beside it.
std::string projectWithCsvPolar(const TempFolder& temp, const std::string& polarName) {
    return writeChanged(example("new_turbine.kvp"), temp.file("rotor.kvp"),
                        "\"data_type\":3,\"guess_reynolds\":true,\"max_passes\":5,\"ncrit\":9,\"path\":\"\","
                        "\"preceeding_line\":\"\"",
                        "\"data_type\":1,\"guess_reynolds\":true,\"max_passes\":5,\"ncrit\":9,\"path\":\"../" +
                            polarName + "\",\"preceeding_line\":\"Alpha\"");
}

// A message of the option checks, which the command-line library prints without the program's name.
std::string optionSaid(const std::string& message) { return message + "\nRun with --help for more information.\n"; }

TEST(CliLimits, ValuesBeyondTheLimitsOrEmptyAreRefusedWithTheOption) {
    const std::string project = example("new_turbine.kvp");
    const std::string empty = "the value is empty; give one, or leave the option out.";
    expectRefusals({
        // Once a negative count in vector::reserve, or 10^8 operating points.
        {{"op", project, "--pitch", "0:1e12:1"},
         said("--pitch 0:1e12:1: the pitch angle [deg] 1e+12 lies outside its range, -5 to 90."),
         2},
        {{"op", project, "--pitch", "0:90:0.01"},
         said("--pitch 0:90:0.01: the pitch range asks for 9001 positions, more than 1001."),
         2},
        {{"char", project, "--range", "1:2:1e-300"},
         said("--range 1:2:1e-300: the characteristics range step 1e-300 lies outside its range, 0.01 to 100."),
         2},
        {{"char", project, "--range", "0:100:0.1"},
         said("--range 0:100:0.1: the characteristics range asks for 1001 positions, more than 500."),
         2},
        {{"op", project, "--pitch", "0:10:0"}, said("--pitch 0:10:0: the step must be greater than zero."), 2},
        // Once "converged" with a meaningless result.
        {{"op", project, "--accuracy", "1e300"},
         optionSaid("--accuracy: the accuracy 1e+300 lies outside its range, 1e-08 to 0.1."),
         2},
        {{"design", project, "--c-limit", "-0.1"},
         optionSaid("--c-limit: the chord limit c/R of the design -0.1 lies outside its range, greater than 0 and at "
                    "most 1."),
         2},
        // Once accepted: a wind no rotor meets, where V0 stops at 100 m/s.
        {{"surface", project, "--wind", "1e6", "--tsr", "2:5:1", "--pitch", "0:5:1"},
         optionSaid(
             "--wind: the wind velocity V0 [m/s] 1000000 lies outside its range, greater than 0 and at most 100."),
         2},
        {{"op", project, "--max-iterations", "5"},
         optionSaid("--max-iterations: the iteration limit 5 lies outside its range, 10 to 10000."),
         2},
        // Once the largest double as a 309-digit number.
        {{"power-curve", project, "--rayleigh", "0"},
         optionSaid("--rayleigh: the mean wind speed [m/s] 0 must be above 0."),
         2},
        {{"import", "aerodyn", project, "--hub-radius", "-1", "--tip-radius", "1", "--blades", "3", "--out", "x.kvp"},
         optionSaid("--hub-radius: the hub radius Rh [m] -1 lies outside its range, 0 to 50."),
         2},
        // Empty values were once taken as options not given: nothing written, exit status 0.
        {{"op", project, "--json", ""}, optionSaid("--json: " + empty), 2},
        {{"op", project, "--pitch", ""}, optionSaid("--pitch: " + empty), 2},
        {{"surface", project, "--tsr", "4:6:1", "--pitch", "0", "--rosco", ""}, optionSaid("--rosco: " + empty), 2},
        {{"import", "openfast", project, "--out", ""}, optionSaid("--out: " + empty), 2},
        {{"import", "aerodyn", project, "--hub-radius", "1", "--tip-radius", "63,0", "--blades", "3", "--out", "x.kvp"},
         optionSaid("--tip-radius: 63,0 is written with a decimal comma; write a decimal point."),
         2},
        {{"op", project, "--accuracy", "1e400"}, optionSaid("--accuracy: 1e400 is not a finite number."), 2},
        {{"op", project, "--elements", "20.5"}, optionSaid("--elements: 20.5 is not a whole number."), 2},
        {{"optimise", project, "--points", "1", "--out", "x.kvp"},
         optionSaid("--points: the number of control points 1 lies outside its range, 2 to 50."),
         2},
        {{"optimise", project, "--max-root-moment", "0", "--out", "x.kvp"},
         optionSaid("--max-root-moment: the largest root bending moment [N m] 0 must be above 0."),
         2},
        {{"optimise", project, "--max-thrust", "1e6", "--max-thrust-ratio", "0.9", "--out", "x.kvp"},
         said("--max-thrust: give one thrust limit, max_thrust or max_thrust_ratio, not both."),
         2},
        {{"optimise", project, "--vary", "span", "--out", "x.kvp"},
         said("--vary expects a list of chord, twist and tsr, not \"span\"."),
         2},
        {{"optimise", project, "--objective", "power", "--out", "x.kvp"},
         said("--objective expects aep or cp, not \"power\"."),
         2},
        {{"optimise", project, "--climate", "Arctic", "--out", "x.kvp"},
         said("The turbine settings have no wind climate named \"Arctic\"."),
         1},
        {{"op", project, "--precone", "25"},
         optionSaid("--precone: the precone [deg] 25 lies outside its range, -20 to 20."), 2},
        {{"char", project, "--sectors", "0"},
         optionSaid("--sectors: the number of azimuth sectors 0 lies outside its range, 1 to 360."), 2},
        {{"power-curve", project, "--sectors", "many"}, optionSaid("--sectors: \"many\" is neither auto nor a number."),
         2},
        {{"op", project, "--skew", "glauert"}, optionSaid("--skew: glauert not in {none,pitt_peters}"), 2},
        {{"surface", project, "--tsr", "4:6:1", "--pitch", "0", "--shear", "0.2"},
         said("Invalid project value: a wind shear exponent of 0.2 needs a hub height greater than the rotor radius R "
              "(25 m), not 0 m."),
         1},
    });
}

TEST(CliLimits, SmallMistakesGetMessagesThatSayWhatIsWrong) {
    TempFolder temp;
    const std::string fifo = temp.file("rotor.kvp");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = temp.file("huge.kvp");  // sparse: no disk space taken
    writeBytes(huge, "{");
    fs::resize_file(huge, 65u << 20);
    expectRefusals({
        {{"new", ""},
         said("The project file name is empty: give the path of the file to write, such as my_rotor.kvp.")},
        {{"new", temp.file("") + "/"},
         said("The project file name " + temp.file("") + "/ ends with a folder separator: give a file name, such as " +
              temp.file("") + "/my_rotor.kvp.")},
        // Once "Increase the number of points to create a spline."
        {{"design", example("new_turbine.kvp"), "--elements", "1"},
         said("The blade design needs at least 2 blade elements to draw its chord and twist through, not 1. Raise the "
              "project's number of elements or give --elements.")},
        // A device or a pipe was once read for ever.
        {{"op", "/dev/zero"}, said("The file /dev/zero could not be opened: it is not a regular file.")},
        {{"op", fifo}, said("The file " + fifo + " could not be opened: it is not a regular file.")},
        {{"op", huge},
         said("The file " + huge +
              " could not be opened: it holds more than 64 MiB, more than a text "
              "input may.")},
    });
    EXPECT_EQ(runCli({"design", example("new_turbine.kvp"), "--elements", "2", "-q"}).status, 0);

    // Range values below 0.2 were once computed at 0.2 without a word.
    const CliRun run = runCli({"char", example("new_turbine.kvp"), "--range", "0:0.3:0.1", "--elements", "10"});
    EXPECT_TRUE(run.err.starts_with(said("note: 2 values of the characteristics range below 0.2 are computed at 0.2.")))
        << run.err;
}

TEST(CliLimits, MemoryStaysWithinTheAddressSpaceLimit) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // A sanitized program reserves terabytes of address space for its shadow memory and
    // cannot start under an address-space limit at all.
    GTEST_SKIP() << "address-space limits do not apply to a sanitized build";
#endif
    const std::string project = example("new_turbine.kvp");
    constexpr rlim_t kLimit = 30u << 20;  // `ulimit -v 30720`
    // Every element of every pitch angle (1.2 GB) once ended in "terminate called", SIGABRT.
    CliRun run = runCli({"op", project, "--pitch", "0:90:0.09", "--elements", "10000"}, {}, kLimit);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("korvane-cli: The 1001 operating points of 10000 elements would need about 1.2 GB "
                                    "of memory, more than the "))
        << run.err;
    // The characteristics keep totals only: their 275 000 elements (33 MB) are never held.
    TempFolder temp;
    run = runCli({"char", project, "--range", "1:10:1", "--pitch", "0:90:9", "--elements", "2500", "-q", "--json",
                  temp.file("char.json"), "--csv", temp.file("csv")},
                 {}, kLimit);
    // Written whole; some of these fine-grained points do not converge (exit status 3).
    EXPECT_TRUE(run.status == 0 || run.status == 3) << run.err;
    EXPECT_TRUE(fs::exists(temp.file("char.json")));
}

TEST(CliOutput, NoOutputMayBeAnInputFileOrAnotherOutput) {
    TempFolder temp;
    fs::copy_file(example("airfoils/naca2412_re1e6.csv"), temp.file("polar.csv"));
    const std::string project = projectWithCsvPolar(temp, "polar.csv");
    const std::string before = readBytes(project), polar = readBytes(temp.file("polar.csv"));

    // Once replaced the project by its results, with exit status 0.
    expectRefusals({{{"op", project, "--json", project},
                     said("The output file " + project + " is the input file " + project +
                          "; writing it would destroy the input. Choose another name.")}});
    // Other spellings of the same file, the airfoil data, a CSV set whose name would land
    // on the project; nor two outputs one file, through a link or a CSV set's name: one
    // was once lost.
    const std::string named = temp.file("op_summary.csv");
    fs::copy_file(project, named);
    fs::create_symlink("same.txt", temp.file("link.txt"));
    fs::create_directory(temp.file("dup"));
    const std::string sameFile = "are the same file; one would replace the other";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"op", project, "--json", temp.file(".") + "/./rotor.kvp"}, "is the input file"},
        {{"op", project, "--json", temp.file("polar.csv")}, "is the input file " + temp.file("polar.csv")},
        {{"op", named, "--csv", temp.file("")}, "is the input file " + named},
        {{"surface", project, "--tsr", "4:6:1", "--pitch", "0", "--json", temp.file("same.txt"), "--rosco",
          temp.file("link.txt")},
         sameFile},
        {{"op", project, "--json", temp.file("dup/op_summary.csv"), "--csv", temp.file("dup")}, sameFile},
        // The optimised project never replaces the one it comes from, nor a file not asked for.
        {{"optimise", project, "--out", project, "--force"}, "is the input file " + project},
        {{"optimise", project, "--out", temp.file("polar.csv"), "--force"}, "is the input file"},
        {{"optimise", project, "--out", temp.file("same.txt"), "--json", temp.file("link.txt")}, sameFile},
        {{"optimise", project, "--out", named}, "The file " + named + " exists already; use --force to replace it."},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(temp.file("same.txt")));
    EXPECT_TRUE(fs::is_empty(temp.file("dup")));
    EXPECT_EQ(readBytes(project), before);
    EXPECT_EQ(readBytes(temp.file("polar.csv")), polar);
}

TEST(CliOutput, CsvSetsAreCompleteOrAbsentAndNamedUniquely) {
    TempFolder temp;
    const std::string folder = temp.file("out");
    // Pitch angles closer than six digits once shared one file name: 3 of 4 tables lost.
    CliRun run = runCli({"op", example("new_turbine.kvp"), "--pitch", "0:0.000003:0.000001", "--csv", folder});
    ASSERT_EQ(run.status, 0) << run.err;
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"op_summary.csv", "op_elements_1_pitch_0.csv",
                                            "op_elements_2_pitch_1e-06.csv", "op_elements_3_pitch_2e-06.csv",
                                            "op_elements_4_pitch_3e-06.csv"}));
    EXPECT_NE(run.err.find("Created " + folder + "/op_elements_4_pitch_3e-06.csv\n"), std::string::npos) << run.err;

    // A second run replaces the files and says so.
    run = runCli({"op", example("new_turbine.kvp"), "--pitch", "0:0.000003:0.000001", "--csv", folder, "--json",
                  temp.file("op.json")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Replaced " + folder + "/op_summary.csv\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Created " + temp.file("op.json") + "\n"), std::string::npos) << run.err;

    // A set that cannot be completed writes nothing and leaves no temporary behind.
    const std::string other = temp.file("other");
    fs::create_directories(fs::path(other) / "op_elements_2_pitch_5.csv");
    fs::create_symlink("nowhere/dir", temp.file("dangling"));
    expectRefusals({
        {{"op", example("new_turbine.kvp"), "--pitch", "0:10:5", "--csv", other},
         said("The file " + other + "/op_elements_2_pitch_5.csv could not be written: it is a folder.")},
        {{"op", example("new_turbine.kvp"), "--csv", temp.file("dangling")},
         said("The folder " + temp.file("dangling") + " could not be created: " + temp.file("dangling") +
              " is a link to a missing folder.")},
    });
    names.clear();
    for (const auto& entry : fs::directory_iterator(other)) names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"op_elements_2_pitch_5.csv"}));

    // Write failures say why.
    run = runCli({"op", example("new_turbine.kvp"), "--json", "/proc/version"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("The file /proc/version could not be written: "), std::string::npos) << run.err;
}

// Outputs that are not regular files are written through, never replaced: a pipe (a
// shell's ">(jq .)"), and a link to the program's own standard output, whose summary
// then follows the JSON.
TEST(CliOutput, PipesAndDescriptorsAreWrittenInPlace) {
    TempFolder temp;
    const std::vector<std::string> small = {"op", example("new_turbine.kvp"), "--elements", "3", "--json"};
    const std::string fifo = temp.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    std::vector<std::string> args = small;
    args.insert(args.end(), {fifo, "-q"});
    CliRun run = runCli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::string piped(1 << 16, '\0');
    piped.resize(static_cast<std::size_t>(std::max<ssize_t>(0, ::read(reader, piped.data(), piped.size()))));
    ::close(reader);
    EXPECT_EQ(json::parse(piped)["command"], "op");
    EXPECT_TRUE(fs::is_fifo(fifo));

    const std::string link = temp.file("stdout.json");
    fs::create_symlink("/proc/self/fd/1", link);
    args = small;
    args.push_back(link);
    run = runCli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Wrote " + link + "\n");
    ASSERT_EQ(run.out.front(), '{');
    EXPECT_NE(run.out.find("}\nOperating point: "), std::string::npos) << run.out;
    EXPECT_TRUE(fs::is_symlink(link));

    // A standard output that cannot take the results fails the command.
    run = runCli({"op", example("new_turbine.kvp"), "--elements", "3", "--json", "-", "-q"}, {}, 0, "/dev/full");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "korvane-cli: the results could not be written to the standard output (a full disk or a "
                       "closed stream).\n");
}

TEST(CliAirfoils, FilesAreDecodedAsTheDesktopProgramDecodesThem) {
    // A UTF-16 polar once computed in the desktop program and failed on the command line.
    TempFolder temp;
    const std::string text = readBytes(example("airfoils/naca2412_re1e6.csv"));
    writeBytes(temp.file("plain.csv"), text);
    const std::string plainProject = projectWithCsvPolar(temp, "plain.csv");
    const CliRun plain = runCli({"op", plainProject, "--json", "-"});
    ASSERT_EQ(plain.status, 0) << plain.err;

    TempFolder wide;
    writeBytes(wide.file("wide.csv"), utf16le(text));
    const CliRun run = runCli({"op", projectWithCsvPolar(wide, "wide.csv"), "--json", "-"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(json::parse(run.out)["points"][0]["P"], json::parse(plain.out)["points"][0]["P"]);
}

}  // namespace
