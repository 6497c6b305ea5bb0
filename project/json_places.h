#pragma once
// The places of a JSON document as its parser walks through it ("conditions.R",
// "airfoil_points[2].path"), for messages about what the parser itself accepts: a
// number it cannot hold and a key written twice in one object, of which it would keep
// the last without a word.

#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

namespace korvane::kvp {

class JsonPlaces {
public:
    // Thrown by the callback when arrays and objects nest deeper than kMaxDepth: a
    // project nests four deep, and the places of a far deeper document would take memory
    // by the square of its depth.
    static constexpr std::size_t kMaxDepth = 64;
    struct TooDeep {};

    // The callback to hand to nlohmann::json::parse; it keeps every value.
    nlohmann::json::parser_callback_t callback();

    // The last key read, empty before the first.
    const std::string& lastKey() const { return m_lastKey; }
    // The place of the first key written twice in one object, empty when none is.
    const std::string& duplicate() const { return m_duplicate; }

    static std::string path(const std::string& where, const std::string& key) {
        return where.empty() ? key : where + "." + key;
    }

private:
    struct Container {
        std::string place;
        bool array = false;
        std::size_t index = 0;       // of the next element of an array
        std::set<std::string> keys;  // of an object
    };

    // The place of the value that starts now, counting it in its array.
    std::string nextPlace();

    std::vector<Container> m_open;
    std::string m_lastKey;
    std::string m_duplicate;
};

}  // namespace korvane::kvp
