#pragma once
// The reader of one project document: every value checked, every problem named by its
// place in the document. Used by the project file codec only.

#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "bemt/Error.h"
#include "bemt/ValueLimits.h"
#include "project/json_places.h"

namespace korvane::kvp {

using nlohmann::json;
using bemt::Error;
using bemt::ValueLimit;

inline std::string kindOf(const json& value) {
    switch (value.type()) {
        case json::value_t::null: return "null";
        case json::value_t::object: return "an object";
        case json::value_t::array: return "an array";
        case json::value_t::string: return "a string";
        case json::value_t::boolean: return "true or false";
        case json::value_t::binary: return "binary data";
        case json::value_t::discarded: return "nothing";
        default: return "a number";
    }
}

// Reads one document, naming every problem by its place in the document
// ("conditions.R", "airfoil_points[2].path").
class Reader {
public:
    // opening: the words that open every message. With outOfLimits, a value outside its
    // limit is kept and its refusal collected there.
    Reader(const std::string& projectPath, std::string opening, std::vector<std::string>* outOfLimits = nullptr)
        : m_projectPath(projectPath), m_opening(std::move(opening)), m_outOfLimits(outOfLimits) {}
    explicit Reader(const std::string& projectPath, std::vector<std::string>* outOfLimits = nullptr)
        : Reader(projectPath,
                 projectPath.empty() ? "The project could not be read: "
                                     : "The project file " + projectPath + " could not be read: ",
                 outOfLimits) {}

    // A value outside its limit: refused, or collected and kept.
    void refuseLimit(const std::string& problem) const {
        if (!m_outOfLimits) fail(problem);
        m_outOfLimits->push_back(problem);
    }

    [[noreturn]] void fail(const std::string& problem) const { throw bemt::Error(m_opening + problem); }

    json parse(const std::string& document) const {
        // The last key read names the place of a number the parser cannot hold.
        JsonPlaces places;
        try {
            json parsed = json::parse(document, places.callback());
            if (!places.duplicate().empty()) fail(quoted(places.duplicate()) + " is given twice; write each key once.");
            return parsed;
        } catch (const json::parse_error& e) {
            fail("it is not a valid JSON document (" + position(document, e.byte) + ").");
        } catch (const JsonPlaces::TooDeep&) {
            fail("its arrays and objects nest more than " + std::to_string(JsonPlaces::kMaxDepth) +
                 " levels deep; a project nests four.");
        } catch (const json::out_of_range& e) {
            // "[json.exception.out_of_range.406] number overflow parsing '1e400'"
            const std::string what = e.what();
            const auto quote = what.find('\'');
            const std::string number = quote == std::string::npos ? std::string() : what.substr(quote);
            const std::string key = places.lastKey();
            fail((key.empty() ? std::string("a number") : "the value of " + quoted(key)) + " " + number +
                 " lies outside the range of numbers the program can hold.");
        } catch (const json::exception& e) {
            fail(std::string("it is not a valid JSON document (") + e.what() + ").");
        }
    }

    const json& object(const json& value, const std::string& where) const {
        if (!value.is_object()) fail(quoted(where) + " must be an object, not " + kindOf(value) + ".");
        return value;
    }

    // The member key of object, which must exist.
    const json& member(const json& object, const std::string& where, const char* key) const {
        const auto it = object.find(key);
        if (it == object.end()) fail(quoted(path(where, key)) + " is missing.");
        return *it;
    }

    // An array that may be missing or null (an empty list then).
    const json* optionalArray(const json& object, const char* key, const std::string& where = "") const {
        const auto it = object.find(key);
        if (it == object.end() || it->is_null()) return nullptr;
        if (!it->is_array()) fail(quoted(path(where, key)) + " must be an array, not " + kindOf(*it) + ".");
        return &*it;
    }

    double number(const json& object, const std::string& where, const char* key) const {
        return numberValue(member(object, where, key), path(where, key));
    }

    // A number that must lie within limit.
    double number(const json& object, const std::string& where, const char* key, const ValueLimit& limit) const {
        return within(number(object, where, key), where, key, limit);
    }

    std::int32_t integer(const json& object, const std::string& where, const char* key, const ValueLimit& limit) const {
        return static_cast<std::int32_t>(within(integer(object, where, key), where, key, limit));
    }

    double within(double value, const std::string& where, const char* key, const ValueLimit& limit) const {
        if (const auto refusal = limit.check(value)) refuseLimit(quoted(path(where, key)) + ": " + *refusal);
        return value;
    }

    void optionalNumber(const json& object, const std::string& where, const char* key, double& field) const {
        if (object.contains(key)) field = numberValue(object[key], path(where, key));
    }

    std::int32_t integer(const json& object, const std::string& where, const char* key) const {
        return integerValue(member(object, where, key), path(where, key));
    }

    void optionalInteger(const json& object, const std::string& where, const char* key, std::int32_t& field) const {
        if (object.contains(key)) field = integerValue(object[key], path(where, key));
    }

    std::int32_t choice(const json& object, const std::string& where, const char* key, int highest) const {
        const std::int32_t value = integer(object, where, key);
        if (value < 0 || value > highest) {
            fail(quoted(path(where, key)) + " must be a whole number from 0 to " + std::to_string(highest) + ", not "
                 + std::to_string(value) + ".");
        }
        return value;
    }

    bool boolean(const json& object, const std::string& where, const char* key) const {
        const json& value = member(object, where, key);
        if (!value.is_boolean()) fail(quoted(path(where, key)) + " must be true or false, not " + kindOf(value) + ".");
        return value.get<bool>();
    }

    std::string text(const json& object, const std::string& where, const char* key) const {
        const json& value = member(object, where, key);
        if (!value.is_string()) fail(quoted(path(where, key)) + " must be a string, not " + kindOf(value) + ".");
        return value.get<std::string>();
    }

    // True or false that may be missing (field keeps its value).
    void optionalBoolean(const json& object, const std::string& where, const char* key, bool& field) const {
        if (object.contains(key)) field = boolean(object, where, key);
    }

    // A string that may be missing (field keeps its value).
    void optionalText(const json& object, const std::string& where, const char* key, std::string& field) const {
        if (object.contains(key)) field = text(object, where, key);
    }

    static std::string path(const std::string& where, const std::string& key) { return JsonPlaces::path(where, key); }

    static std::string quoted(const std::string& where) { return "\"" + where + "\""; }

private:

    double numberValue(const json& value, const std::string& where) const {
        if (value.is_null()) return std::numeric_limits<double>::quiet_NaN();
        if (!value.is_number()) fail(quoted(where) + " must be a number, not " + kindOf(value) + ".");
        return value.get<double>();
    }

    std::int32_t integerValue(const json& value, const std::string& where) const {
        if (!value.is_number()) fail(quoted(where) + " must be a whole number, not " + kindOf(value) + ".");
        double whole = 0.0;
        if (value.is_number_float()) {
            whole = value.get<double>();
            if (whole != std::trunc(whole)) fail(quoted(where) + " must be a whole number, not " + value.dump() + ".");
        } else if (value.is_number_unsigned()) {
            whole = static_cast<double>(value.get<std::uint64_t>());
        } else {
            whole = static_cast<double>(value.get<std::int64_t>());
        }
        if (!(whole >= std::numeric_limits<std::int32_t>::min() && whole <= std::numeric_limits<std::int32_t>::max()))
            fail(quoted(where) + " is out of range (" + value.dump() + ").");
        return static_cast<std::int32_t>(whole);
    }

    // "line L, column C" of the byte at the 1-based offset a parse error reports.
    static std::string position(const std::string& document, std::size_t byte) {
        std::size_t line = 1;
        std::size_t column = 1;
        const std::size_t end = std::min(byte > 0 ? byte - 1 : 0, document.size());
        for (std::size_t i = 0; i < end; ++i) {
            if (document[i] == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<unsigned char>(document[i]) & 0xC0) != 0x80) {
                ++column;
            }
        }
        return "line " + std::to_string(line) + ", column " + std::to_string(column);
    }

    std::string m_projectPath;
    std::string m_opening;
    std::vector<std::string>* m_outOfLimits;
};

}  // namespace korvane::kvp
