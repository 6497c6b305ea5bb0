#include "bemt/ProfileParamsAeroDyn.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "bemt/Common.h"
#include "bemt/KeywordFile.h"
#include "bemt/NumberText.h"
#include "bemt/TextFile.h"
#include "bemt/ValueLimits.h"

namespace bemt {

namespace {

std::string number(double value) { return NumberText::shortText(value); }

// Walks the meaningful lines of one airfoil file in order.
class TableReader {
public:
    explicit TableReader(const KeywordFile& file) : m_file(file), m_lines(file.lines()) {}

    // Keyword lines up to and including NumTabs; returns its value and fills thickness.
    int header(double& thickness) {
        while (m_next < m_lines.size()) {
            const KeywordFile::Line& line = m_lines[m_next++];
            if (KeywordFile::isRow(line) || line.words.size() < 2)
                m_file.fail(line.number, "a line of the form \"value  Keyword\" was expected before NumTabs.");
            const std::string& key = line.words[1];
            if (KeywordFile::sameKey(key, "RelThickness")) {
                thickness = m_file.number(line, ProfileParamsList::kDefaultThickness);
                if (!(thickness > 0.0 && thickness <= 1.0))
                    m_file.fail(line.number, "RelThickness must be a fraction of chord above 0 and at most 1, not " +
                                                 number(thickness) + ".");
            } else if (KeywordFile::sameKey(key, "NumTabs")) {
                return m_file.whole(line, 1);
            }
        }
        m_file.fail(0, "the keyword NumTabs is missing (the number of tables).");
    }

    // One table: its keyword lines up to NumAlf (everything else, the unsteady
    // aerodynamics block included, is skipped by keyword) and its rows.
    ProfileParamsAeroDyn::Table table(int index, int count) {
        const std::string which = "table " + std::to_string(index) + " of " + std::to_string(count);
        std::optional<double> reynolds;
        bool uaFlag = false;
        int rows = -1;
        std::size_t numAlfLine = 0;
        while (rows < 0) {
            if (m_next >= m_lines.size()) {
                if (!reynolds) m_file.fail(0, "the keyword Re is missing in " + which + " (NumTabs is " +
                                                  std::to_string(count) + ").");
                if (!uaFlag) m_file.fail(0, "the keyword InclUAdata is missing in " + which + ".");
                m_file.fail(0, "the keyword NumAlf is missing in " + which + ".");
            }
            const KeywordFile::Line& line = m_lines[m_next++];
            if (KeywordFile::isRow(line) || line.words.size() < 2)
                m_file.fail(line.number, "a line of the form \"value  Keyword\" was expected in " + which +
                                             " before its NumAlf line.");
            const std::string& key = line.words[1];
            if (KeywordFile::sameKey(key, "Re")) {
                reynolds = m_file.number(line);
                // In millions in the file.
                if (const auto refusal = Limits::reynolds.check(*reynolds * 1e6))
                    m_file.fail(line.number, "Re " + line.words.front() + " (million): " + *refusal);
            } else if (KeywordFile::sameKey(key, "InclUAdata")) {
                m_file.flag(line);
                uaFlag = true;
            } else if (KeywordFile::sameKey(key, "NumAlf")) {
                if (!reynolds) m_file.fail(line.number, "the keyword Re is missing in " + which + ".");
                if (!uaFlag) m_file.fail(line.number, "the keyword InclUAdata is missing in " + which + ".");
                rows = m_file.whole(line, 2);
                numAlfLine = line.number;
            }
        }

        std::vector<double> alpha, cl, cd;
        // The count comes from the file: never reserve more than the lines it holds.
        const std::size_t expected = std::min<std::size_t>(rows, m_lines.size() - m_next);
        alpha.reserve(expected);
        cl.reserve(expected);
        cd.reserve(expected);
        for (int i = 0; i < rows; ++i) {
            refuseStrayText(which);
            if (m_next >= m_lines.size() || !KeywordFile::isRow(m_lines[m_next])) {
                const std::size_t at = m_next < m_lines.size() ? m_lines[m_next].number : 0;
                m_file.fail(at, "NumAlf (line " + std::to_string(numAlfLine) + ") announces " + std::to_string(rows) +
                                    " rows in " + which + ", but only " + std::to_string(i) + " follow.");
            }
            const KeywordFile::Line& line = m_lines[m_next++];
            const double a = m_file.rowNumber(line, 0, "alpha");
            const double l = m_file.rowNumber(line, 1, "Cl");
            const double d = m_file.rowNumber(line, 2, "Cd");
            if (!(a >= -180.0 && a <= 180.0))
                m_file.fail(line.number, "alpha must lie within -180 to 180 degrees, not " + number(a) + ".");
            if (!alpha.empty() && !(a > alpha.back()))
                m_file.fail(line.number, "alpha must increase strictly from row to row (" + number(a) + " follows " +
                                             number(alpha.back()) + ").");
            if (d < 0.0) m_file.fail(line.number, "Cd must not be negative, not " + number(d) + ".");
            alpha.push_back(a);
            cl.push_back(l);
            cd.push_back(d);
        }
        refuseStrayText(which);
        if (m_next < m_lines.size() && KeywordFile::isRow(m_lines[m_next]))
            m_file.fail(m_lines[m_next].number, "more rows follow than NumAlf (line " + std::to_string(numAlfLine) +
                                                    ") announces for " + which + " (" + std::to_string(rows) + ").");

        ProfileParamsAeroDyn::Table table;
        table.reynolds = *reynolds * 1e6;
        table.polar.setTable(std::move(alpha), std::move(cl), std::move(cd));
        return table;
    }

    // Nothing but keyword lines may follow the last table.
    void end(int count) {
        for (; m_next < m_lines.size(); ++m_next) {
            const auto& line = m_lines[m_next];
            if (line.words.size() >= 2 && KeywordFile::sameKey(line.words[1], "NumAlf"))
                m_file.fail(line.number, "a further table follows, but NumTabs is " + std::to_string(count) + ".");
        }
    }

private:
    // A row with text after its numbers would otherwise end the table early.
    void refuseStrayText(const std::string& which) const {
        if (m_next >= m_lines.size()) return;
        if (const auto word = KeywordFile::strayWord(m_lines[m_next]))
            m_file.fail(m_lines[m_next].number, "unexpected text \"" + *word + "\" in a row of " + which +
                                                    "; a row holds numbers only.");
    }

    const KeywordFile& m_file;
    const std::vector<KeywordFile::Line>& m_lines;
    std::size_t m_next = 0;
};

}  // namespace

void ProfileParamsAeroDyn::loadFile(std::istream& in, const std::string& name) {
    const KeywordFile file(in, name);
    TableReader reader(file);
    double thickness = ProfileParamsList::kDefaultThickness;
    const int count = reader.header(thickness);
    std::vector<Table> tables;
    for (int i = 1; i <= count; ++i) tables.push_back(reader.table(i, count));
    reader.end(count);

    std::stable_sort(tables.begin(), tables.end(),
                     [](const Table& a, const Table& b) { return a.reynolds < b.reynolds; });
    for (std::size_t i = 1; i < tables.size(); ++i) {
        if (tables[i].reynolds == tables[i - 1].reynolds)
            file.fail(0, "two tables have the same Reynolds number (" + number(tables[i].reynolds / 1e6) +
                             " million); tables that differ only in UserProp are not supported.");
    }
    for (Table& table : tables) {
        table.polar.setRelativeThickness(thickness);
        // Each table is extended at its own Reynolds number.
        table.polar.setReynolds(table.reynolds);
    }
    m_tables = std::move(tables);
    m_thickness = thickness;
    reynoldsRange = m_tables.size() > 1;
    reynoldsLo = m_tables.front().reynolds;
    reynoldsHi = m_tables.back().reynolds;
    setReynolds(m_tables.front().reynolds);
}

void ProfileParamsAeroDyn::loadFile(const std::string& path) {
    std::istringstream text(readTextFile(path));
    loadFile(text, path);
}

void ProfileParamsAeroDyn::setExtension(PolarExtension kind, double cdMax) {
    for (Table& table : m_tables) {
        table.polar.setExtension(kind, cdMax);
        table.polar.setSplines();
    }
}

double ProfileParamsAeroDyn::cl(double alpha) {
    const double lower = m_tables[m_lower].polar.cl(alpha);
    if (m_weight == 0.0) return lower;
    return lower + m_weight * (m_tables[m_lower + 1].polar.cl(alpha) - lower);
}

double ProfileParamsAeroDyn::cd(double alpha) {
    const double lower = m_tables[m_lower].polar.cd(alpha);
    if (m_weight == 0.0) return lower;
    return lower + m_weight * (m_tables[m_lower + 1].polar.cd(alpha) - lower);
}

double ProfileParamsAeroDyn::alphaMin() {
    double lowest = -180.0;
    for (Table& table : m_tables) lowest = std::max(lowest, Common::rad2deg(table.polar.alphaMin()));
    return Common::deg2rad(lowest);
}

double ProfileParamsAeroDyn::alphaMax() {
    double highest = 180.0;
    for (Table& table : m_tables) highest = std::min(highest, Common::rad2deg(table.polar.alphaMax()));
    return Common::deg2rad(highest);
}

bool ProfileParamsAeroDyn::outOfRange(double alpha) {
    return std::any_of(m_tables.begin(), m_tables.end(), [alpha](Table& t) { return t.polar.outOfRange(alpha); });
}

bool ProfileParamsAeroDyn::hasReynoldsRange() { return reynoldsRange; }

void ProfileParamsAeroDyn::setReynolds(double re) {
    currentReynolds = re;
    m_lower = 0;
    m_weight = 0.0;
    if (m_tables.size() < 2 || !(re > m_tables.front().reynolds)) return;
    if (re >= m_tables.back().reynolds) {
        m_lower = m_tables.size() - 1;
        return;
    }
    while (m_tables[m_lower + 1].reynolds < re) ++m_lower;
    const double lo = m_tables[m_lower].reynolds;
    const double hi = m_tables[m_lower + 1].reynolds;
    m_weight = (re - lo) / (hi - lo);
}

void ProfileParamsAeroDyn::appendTabulatedAngles(std::vector<double>& degrees) {
    const std::vector<double> angles = tabulatedAngles();
    degrees.insert(degrees.end(), angles.begin(), angles.end());
}

std::vector<double> ProfileParamsAeroDyn::tabulatedAngles() const {
    std::vector<double> angles;
    for (const Table& table : m_tables) {
        angles.insert(angles.end(), table.polar.alphaList().begin(), table.polar.alphaList().end());
    }
    std::sort(angles.begin(), angles.end());
    angles.erase(std::unique(angles.begin(), angles.end()), angles.end());
    return angles;
}

std::shared_ptr<ProfileParams> ProfileParamsAeroDyn::copy(PolarCopies&) const {
    return std::make_shared<ProfileParamsAeroDyn>(*this);
}

}  // namespace bemt
