#include "bemt/ProfileParamsCSV.h"

#include <array>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "bemt/NumberText.h"

namespace bemt {

namespace {

double fieldValue(std::string_view field) {
    const auto value = NumberText::toDouble(field);
    if (!value) throw ProfileParamsCSV::kFormatError;
    return *value;
}

// The text before the first comma, between the first and the second, and between the
// second and the third comma or the end of the line; anything after a third comma is
// ignored. Fewer than three fields make the line unusable.
std::optional<std::array<std::string_view, 3>> commaFields(std::string_view line) {
    std::array<std::string_view, 3> fields;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos) {
            if (i < 2) return std::nullopt;
            fields[i] = line;
            return fields;
        }
        fields[i] = line.substr(0, comma);
        line.remove_prefix(comma + 1);
    }
    return fields;
}

}  // namespace

void ProfileParamsCSV::parseFile(std::istream* in, const std::string& preceding, CSVSeparator sep) {
    std::string line;
    bool markerSeen = false;
    while (std::getline(*in, line)) {
        if (!markerSeen) {
            markerSeen = line.find(preceding) != std::string::npos;
            continue;
        }
        if (sep == Comma) {
            const auto fields = commaFields(line);
            if (!fields) throw kFormatError;
            const double alpha = fieldValue((*fields)[0]);
            const double clValue = fieldValue((*fields)[1]);
            const double cdValue = fieldValue((*fields)[2]);
            appendPoint(alpha, clValue, cdValue);
            continue;
        }
        std::istringstream words(line);
        std::string word;
        if (!(words >> word)) continue;
        m_alpha.push_back(fieldValue(word));
        if (!(words >> word)) continue;
        m_cl.push_back(fieldValue(word));
        if (!(words >> word)) continue;
        m_cd.push_back(fieldValue(word));
    }
}

void ProfileParamsCSV::loadFile(std::istream* in, const std::string& preceding, CSVSeparator sep) {
    emptyData();
    parseFile(in, preceding, sep);
    if (m_alpha.empty() || m_alpha.size() != m_cl.size() || m_alpha.size() != m_cd.size()) throw kFormatError;
    setBoundsFromList();
    m_splinesReady = false;
}

void ProfileParamsCSV::loadFile(const std::string& path, const std::string& preceding, CSVSeparator sep) {
    std::ifstream file(path);
    if (!file) throw unreadableFileError(path);
    try {
        loadFile(&file, preceding, sep);
    } catch (const std::string& message) {
        if (message == kFormatError) throw fileFormatError(path);
        throw;
    }
}

std::string ProfileParamsCSV::fileFormatError(const std::string& path) {
    return "The CSV file " + path + " could not be read properly. Check the format.";
}

std::string ProfileParamsCSV::unreadableFileError(const std::string& path) {
    return "File " + path + " does not exist or is not readable.";
}

}  // namespace bemt
