#pragma once
// Checks shared by the command-line tests: the JSON document of a run, the exact answer
// to refused command lines, and projects changed from the examples.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "CliRunner.h"

namespace korvane::testing {

// The JSON document of a run that must succeed.
inline nlohmann::json runJson(std::vector<std::string> args) {
    args.insert(args.end(), {"--json", "-"});
    const CliRun run = runCli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return nlohmann::json::parse(run.out);
}

// A command line the program refuses with exactly this exit status and standard error.
struct Refusal {
    std::vector<std::string> args;
    std::string err;
    int status = 1;
};

// The standard error of a refusal: the program's name before the message.
inline std::string said(const std::string& message) { return "korvane-cli: " + message + "\n"; }

// Each refusal also leaves the standard output empty.
inline void expectRefusals(const std::vector<Refusal>& cases) {
    for (const auto& [args, err, status] : cases) {
        std::string line;
        for (const std::string& arg : args) line += arg + " ";
        SCOPED_TRACE(line);
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, status);
        EXPECT_EQ(run.err, err);
        EXPECT_TRUE(run.out.empty());
    }
}

// Every occurrence of `from` replaced by `to`; the text must hold `from`.
inline std::string replacedAll(std::string text, const std::string& from, const std::string& to) {
    EXPECT_NE(text.find(from), std::string::npos) << from;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Writes the file `source` with `from` replaced by `to` as `target`, and returns `target`.
inline std::string writeChanged(const std::string& source, const std::string& target, const std::string& from,
                                const std::string& to) {
    writeBytes(target, replacedAll(readBytes(source), from, to));
    return target;
}

}  // namespace korvane::testing
