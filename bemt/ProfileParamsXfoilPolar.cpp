#include "bemt/ProfileParamsXfoilPolar.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numeric>
#include <optional>
#include <sstream>
#include <vector>

#include "bemt/KeywordFile.h"
#include "bemt/NumberText.h"

namespace bemt {

namespace {

std::string number(double value) { return NumberText::shortText(value); }

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> list;
    for (std::string word; in >> word;) list.push_back(word);
    return list;
}

// The value after "label =" in a header line; XFOIL writes the Reynolds number as a
// mantissa, a blank and "e 6".
std::optional<double> headerValue(const std::string& line, const std::string& label) {
    const std::size_t at = line.find(label);
    if (at == std::string::npos) return std::nullopt;
    std::size_t pos = line.find('=', at + label.size());
    if (pos == std::string::npos) return std::nullopt;
    std::string_view rest(line);
    rest.remove_prefix(pos + 1);
    const auto mantissa = NumberText::leadingDouble(rest);
    if (!mantissa) return std::nullopt;
    double value = mantissa->value;
    rest.remove_prefix(mantissa->used);
    std::size_t skip = 0;
    while (skip < rest.size() && rest[skip] == ' ') ++skip;
    if (skip < rest.size() && (rest[skip] == 'e' || rest[skip] == 'E') && skip + 1 < rest.size() &&
        rest[skip + 1] == ' ') {
        rest.remove_prefix(skip + 1);
        const auto exponent = NumberText::leadingDouble(rest);
        if (!exponent) return std::nullopt;
        value *= std::pow(10.0, exponent->value);
    }
    return value;
}

std::size_t column(const std::vector<std::string>& names, const char* name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (KeywordFile::sameKey(names[i], name)) return i;
    }
    return names.size();
}

}  // namespace

void ProfileParamsXfoilPolar::loadFile(std::istream& in, const std::string& name) {
    auto fail = [&name](std::size_t line, const std::string& problem) {
        throw (line == 0 ? name : name + ", line " + std::to_string(line)) + ": " + problem;
    };
    std::optional<double> reynolds, mach, ncrit;
    std::vector<std::string> columns;
    bool dashes = false;
    struct Row {
        double alpha, cl, cd;
        std::size_t line;
    };
    std::vector<Row> rows;
    std::size_t alphaAt = 0, clAt = 0, cdAt = 0;

    std::string line;
    std::size_t lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto list = words(line);
        if (list.empty()) continue;
        if (columns.empty()) {
            if (line.find("Re =") != std::string::npos) {
                reynolds = headerValue(line, "Re");
                mach = headerValue(line, "Mach");
                ncrit = headerValue(line, "Ncrit");
                if (!reynolds || !(*reynolds > 0.0) || !std::isfinite(*reynolds))
                    fail(lineNumber, "the Reynolds number after \"Re =\" could not be read.");
            } else if (KeywordFile::sameKey(list[0], "alpha")) {
                if (!reynolds) fail(lineNumber, "the header line with \"Re =\" is missing before the column names.");
                columns = list;
                alphaAt = 0;
                clAt = column(columns, "CL");
                cdAt = column(columns, "CD");
                if (clAt == columns.size() || cdAt == columns.size())
                    fail(lineNumber, "the column line must name the columns CL and CD.");
            }
            continue;
        }
        if (!dashes) {
            if (line.find_first_not_of(" -") != std::string::npos)
                fail(lineNumber, "a line of dashes was expected below the column names.");
            dashes = true;
            continue;
        }
        if (list.size() != columns.size())
            fail(lineNumber, "the row holds " + std::to_string(list.size()) + " numbers, the column line names " +
                             std::to_string(columns.size()) + ".");
        Row row{};
        for (std::size_t i = 0; i < list.size(); ++i) {
            const auto value = wholeNumber(list[i]);
            if (!value) {
                if (hasDecimalComma(list[i]))
                    fail(lineNumber, columns[i] + " is written with a decimal comma (\"" + list[i] +
                                     "\"); write a decimal point.");
                fail(lineNumber, columns[i] + " must be a finite number, not \"" + list[i] + "\".");
            }
            if (i == alphaAt) row.alpha = *value;
            if (i == clAt) row.cl = *value;
            if (i == cdAt) row.cd = *value;
        }
        if (!(row.alpha >= -180.0 && row.alpha <= 180.0))
            fail(lineNumber, "alpha must lie within -180 to 180 degrees, not " + number(row.alpha) + ".");
        if (row.cd < 0.0) fail(lineNumber, "CD must not be negative, not " + number(row.cd) + ".");
        row.line = lineNumber;
        rows.push_back(row);
    }
    if (!reynolds) fail(0, "this is not an XFOIL polar file: the header line with \"Re =\" is missing.");
    if (columns.empty()) fail(0, "the column line (alpha CL CD ...) is missing.");
    if (rows.size() < 2) fail(0, "the polar holds " + std::to_string(rows.size()) + " rows; at least 2 are needed.");

    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.alpha < b.alpha; });
    std::vector<double> alpha, cl, cd;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0 && rows[i].alpha == rows[i - 1].alpha)
            fail(rows[i].line, "the angle " + number(rows[i].alpha) + " occurs twice (also on line " +
                                   std::to_string(rows[i - 1].line) + ").");
        alpha.push_back(rows[i].alpha);
        cl.push_back(rows[i].cl);
        cd.push_back(rows[i].cd);
    }
    setTable(std::move(alpha), std::move(cl), std::move(cd));
    m_reynolds = *reynolds;
    m_mach = mach.value_or(0.0);
    m_ncrit = ncrit.value_or(0.0);
    currentReynolds = m_reynolds;
}

void ProfileParamsXfoilPolar::loadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw "File " + path + " does not exist or is not readable.";
    loadFile(file, path);
}

std::shared_ptr<ProfileParams> ProfileParamsXfoilPolar::copy(PolarCopies&) const {
    return std::make_shared<ProfileParamsXfoilPolar>(*this);
}

}  // namespace bemt
