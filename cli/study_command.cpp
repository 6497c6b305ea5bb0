#include "cli/study_command.h"

#include <cmath>
#include <cstdio>
#include <iostream>

#include "bemt/Error.h"
#include "cli/commands.h"
#include "cli/output_files.h"
#include "cli/progress_bar.h"
#include "cli/project_input.h"
#include "cli/result_output.h"
#include "project/study.h"

namespace korvane::cli {

namespace {

struct Shard {
    std::size_t index = 1;   // 1-based
    std::size_t count = 1;
};

Shard parseShard(const std::string& text) {
    if (text.empty()) return {};
    // Digits only: "1/2.0" or " 1/2" is a typing slip, not shard 1 of 2.
    const auto slash = text.find('/');
    const auto digits = [](const std::string& part) {
        return !part.empty() && part.size() <= 7 && part.find_first_not_of("0123456789") == std::string::npos;
    };
    const bool whole = slash != std::string::npos && digits(text.substr(0, slash)) && digits(text.substr(slash + 1));
    const double index = whole ? std::stod(text.substr(0, slash)) : 0.0;
    const double count = whole ? std::stod(text.substr(slash + 1)) : 0.0;
    if (!(count >= 1.0 && count <= 1e6) || !(index >= 1.0 && index <= count))
        throw OptionError{"--shard expects I/N, shard I of N with 1 <= I <= N (at most 1000000), not \"" + text + "\"."};
    return {static_cast<std::size_t>(index), static_cast<std::size_t>(count)};
}

std::string csvText(const std::string& text) {
    if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string csvValue(const nlohmann::json& value) {
    if (value.is_number()) return csvNumber(value.get<double>());
    if (value.is_string()) return csvText(value.get<std::string>());
    return csvText(value.dump());
}

void writeTable(std::ostream& out, const Study& study, std::size_t first, const std::vector<StudyRowResult>& rows,
                bool header) {
    const auto& outputs = studyOutputs(study.compute);
    if (header) {
        out << "variant";
        for (const auto& column : study.columns) out << ',' << csvText(column);
        for (const auto& output : outputs) out << ',' << output;
        out << ",error\n";
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out << first + i + 1;
        for (const auto& value : study.rows[first + i]) out << ',' << csvValue(value);
        for (double value : rows[i].values) out << ',' << (rows[i].error.empty() ? csvNumber(value) : "");
        out << ',' << csvText(rows[i].error) << '\n';
    }
}

}  // namespace

int runStudy(const StudyOptions& options) {
    const Shard shard = parseShard(options.shard);
    const Study study = readStudy(options.studyPath);
    const ProjectData base = loadProject(study.projectPath);
    try {
        checkStudyColumns(base, study.projectPath, study.columns, study.compute);
    } catch (const bemt::Error& e) {
        throw bemt::Error("The study file " + options.studyPath + " could not be used: " + e.message());
    }
    std::vector<std::string> inputs = inputFiles(study.projectPath, base);
    inputs.push_back(options.studyPath);
    if (options.out != "-") refuseInputsAsOutputs({options.out}, inputs);

    const std::size_t n = study.rows.size();
    const std::size_t first = (shard.index - 1) * n / shard.count;
    const std::size_t end = shard.index * n / shard.count;
    std::vector<StudyRowResult> rows;
    InterruptGuard interrupt;
    ProgressBar bar(options.progress && !options.quiet && ProgressBar::stderrIsTerminal());
    try {
        for (std::size_t i = first; i < end; ++i) {
            bar.report(static_cast<int>(100 * (i - first) / (end - first)),
                       "Variant " + std::to_string(i + 1) + " of " + std::to_string(n));
            auto row = runStudyRows(base, study.projectPath, study, i, i + 1, diskFiles(), &InterruptGuard::interrupted);
            rows.push_back(std::move(row.front()));
        }
    } catch (const bemt::Aborted&) {
        bar.clear();
        std::fprintf(stderr, "%s\n", kAbortMessage.c_str());
        return kAborted;
    }
    bar.clear();
    const TextProducer table = [&](std::ostream& out) { writeTable(out, study, first, rows, shard.index == 1); };
    if (options.out == "-") {
        table(std::cout);
    } else {
        const WrittenFile written = writeOutputFile(options.out, table);
        if (!options.quiet) reportWritten(written);
    }
    std::size_t failed = 0;
    for (const auto& row : rows) failed += row.error.empty() ? 0 : 1;
    if (failed == 0) return kSuccess;
    if (!options.quiet)
        std::fprintf(stderr, "korvane-cli: %zu of %zu variants failed (see the error column); exit status %d.\n",
                     failed, rows.size(), static_cast<int>(kNotConverged));
    return kNotConverged;
}

}  // namespace korvane::cli
