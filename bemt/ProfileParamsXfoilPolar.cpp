#include "bemt/ProfileParamsXfoilPolar.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <vector>

#include "bemt/Error.h"
#include "bemt/KeywordFile.h"
#include "bemt/NumberText.h"
#include "bemt/TextFile.h"
#include "bemt/ValueLimits.h"

namespace bemt {

namespace {

std::string number(double value) { return NumberText::shortText(value); }

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> list;
    for (std::string word; in >> word;) list.push_back(word);
    return list;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The labels of XFOIL's condition line, " Mach =   0.000     Re =     1.000 e 6     Ncrit =   9.000".
constexpr std::string_view kLabels[] = {"Mach =", "Re =", "Ncrit ="};

// The text after label up to the next label or the end of the line, trimmed; nothing
// when the line does not hold label.
std::optional<std::string_view> labelText(std::string_view line, std::string_view label) {
    const std::size_t at = line.find(label);
    if (at == std::string_view::npos) return std::nullopt;
    const std::size_t start = at + label.size();
    std::size_t end = line.size();
    for (const std::string_view other : kLabels) end = std::min(end, line.find(other, start));
    return trimmed(line.substr(start, end - start));
}

// XFOIL writes the Reynolds number in millions with the exponent apart ("1.000 e 6");
// "1.000 e6", "1.000e6" and a plain "1000000" mean the same.
std::optional<double> reynoldsValue(std::string_view text) {
    if (const auto plain = wholeNumber(text)) return plain;
    const std::size_t e = text.find_last_of("eE");
    if (e == std::string_view::npos) return std::nullopt;
    return wholeNumber(std::string(trimmed(text.substr(0, e))) + "e" + std::string(trimmed(text.substr(e + 1))));
}

// The end of each run of dashes: XFOIL writes every column in a fixed width that ends
// where its dashes end.
std::vector<std::size_t> columnEnds(const std::string& dashes) {
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < dashes.size(); ++i) {
        if (dashes[i] == '-' && (i + 1 == dashes.size() || dashes[i + 1] != '-')) ends.push_back(i + 1);
    }
    return ends;
}

// The fields of a row: its words, or, when a value fills its whole column and touches
// its neighbour ("32.34861000.0000", or asterisks where a number did not fit), the
// fixed columns of the dashes line.
std::vector<std::string> rowFields(const std::string& line, const std::vector<std::size_t>& ends) {
    std::vector<std::string> list = words(line);
    if (ends.empty() || list.size() >= ends.size() || line.size() <= ends[ends.size() - 2]) return list;
    std::vector<std::string> fixed;
    for (std::size_t i = 0, start = 0; i < ends.size(); start = ends[i++]) {
        const std::size_t end = i + 1 == ends.size() ? line.size() : ends[i];
        const std::string_view field = trimmed(std::string_view(line).substr(start, end - start));
        if (field.empty() || field.find(' ') != std::string_view::npos) return list;
        fixed.emplace_back(field);
    }
    return fixed;
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
        throw bemt::Error((line == 0 ? name : name + ", line " + std::to_string(line)) + ": " + problem);
    };
    // A header value that is no number: "Re must be a number such as ..., not "...".".
    auto refuseValue = [&fail](std::size_t line, std::string_view label, std::string_view text, const char* example) {
        const std::string key(label.substr(0, label.find(' ')));
        if (hasDecimalComma(text))
            fail(line, key + " is written with a decimal comma (\"" + std::string(text) + "\"); write a decimal point.");
        fail(line, key + " must be a number such as \"" + example + "\", as XFOIL writes it, not \"" + std::string(text) +
                       "\".");
    };
    std::optional<double> reynolds, mach, ncrit;
    std::vector<std::string> columns;
    std::vector<std::size_t> ends;
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
            if (const std::size_t at = line.find("Reynolds number"); at != std::string::npos) {
                // " 2 2 Reynolds number ~ 1/sqrt(CL)   Mach number ~ 1/sqrt(CL)": the
                // polar of a fixed lift, whose every row has a Reynolds number of its own.
                const std::string kind(trimmed(std::string_view(line).substr(at, line.find("Mach number") - at)));
                if (kind.find("fixed") == std::string::npos)
                    fail(lineNumber, "this is a polar of type " + list[0] + " (\"" + kind + "\"), whose Reynolds "
                                     "number varies with CL; only polars at a fixed Reynolds number (type 1) can be read.");
            } else if (const auto re = labelText(line, "Re =")) {
                reynolds = reynoldsValue(*re);
                if (!reynolds) refuseValue(lineNumber, "Re", *re, "1.000 e 6");
                if (const auto refusal = Limits::reynolds.check(*reynolds))
                    fail(lineNumber, "Re = " + std::string(*re) + ": " + *refusal);
                if (const auto text = labelText(line, "Mach =")) {
                    mach = wholeNumber(*text);
                    if (!mach) refuseValue(lineNumber, "Mach", *text, "0.000");
                }
                if (const auto text = labelText(line, "Ncrit =")) {
                    // One value, or one per side of the airfoil.
                    const auto values = words(std::string(*text));
                    ncrit = values.empty() || values.size() > 2 ? std::nullopt : wholeNumber(values[0]);
                    if (!ncrit || (values.size() == 2 && !wholeNumber(values[1])))
                        refuseValue(lineNumber, "Ncrit", *text, "9.000");
                }
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
            ends = columnEnds(line);
            if (ends.size() != columns.size()) ends.clear();
            continue;
        }
        const auto fields = rowFields(line, ends);
        if (fields.size() != columns.size())
            fail(lineNumber, "the row holds " + std::to_string(fields.size()) + " numbers, the column line names " +
                             std::to_string(columns.size()) + ".");
        Row row{};
        // Only the columns read here must hold numbers: XFOIL writes asterisks where a
        // value does not fit its column, mostly in the transition columns.
        for (const std::size_t i : {alphaAt, clAt, cdAt}) {
            const auto value = wholeNumber(fields[i]);
            if (!value) {
                if (hasDecimalComma(fields[i]))
                    fail(lineNumber, columns[i] + " is written with a decimal comma (\"" + fields[i] +
                                     "\"); write a decimal point.");
                fail(lineNumber, columns[i] + " must be a finite number, not \"" + fields[i] + "\".");
            }
            (i == alphaAt ? row.alpha : i == clAt ? row.cl : row.cd) = *value;
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
    std::istringstream text(readTextFile(path));
    loadFile(text, path);
}

std::shared_ptr<ProfileParams> ProfileParamsXfoilPolar::copy(PolarCopies&) const {
    return std::make_shared<ProfileParamsXfoilPolar>(*this);
}

}  // namespace bemt
