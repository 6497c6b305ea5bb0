#include "bemt/KeywordFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

#include "bemt/Error.h"
#include "bemt/NumberText.h"
#include "bemt/TextFile.h"

namespace bemt {

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// A comma between two digits is a decimal comma, not a separator.
bool isSeparatorComma(std::string_view line, std::size_t i) {
    return line[i] == ',' && !(i > 0 && i + 1 < line.size() && isDigit(line[i - 1]) && isDigit(line[i + 1]));
}

// Words separated by white space or commas; "quoted text" is one word without its
// quotes, @"file" keeps the '@'. A word starting with '!' begins a trailing comment,
// which ends the words as it does for AeroDyn.
std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (isSpace(line[i]) || isSeparatorComma(line, i)) {
            ++i;
            continue;
        }
        if (line[i] == '!') break;
        std::string word;
        if (line[i] == '@') word += line[i++];
        if (i < line.size() && line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? line.size() : close;
            word += line.substr(i + 1, end - i - 1);
            i = end == line.size() ? end : end + 1;
        } else {
            while (i < line.size() && !isSpace(line[i]) && !isSeparatorComma(line, i)) word += line[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

}  // namespace

std::optional<double> wholeNumber(std::string_view text) {
    const NumberText::Whole whole = NumberText::wholeDouble(text);
    if (whole.kind != NumberText::Whole::Finite) return std::nullopt;
    return whole.value;
}

bool hasDecimalComma(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ',' && !isSeparatorComma(text, i)) return true;
    }
    return false;
}

KeywordFile::KeywordFile(std::istream& in, std::string name) : m_name(std::move(name)) {
    std::string raw;
    std::size_t number = 0;
    while (std::getline(in, raw)) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::string_view content = trimmed(raw);
        if (content.empty() || content.front() == '!') continue;
        const bool quoted = content.front() == '"' || content.starts_with("@\"");
        m_lines.push_back({number, splitWords(content), raw, quoted});
    }
}

KeywordFile KeywordFile::fromPath(const std::string& path) {
    std::istringstream text(readTextFile(path));
    return KeywordFile(text, path);
}

bool KeywordFile::sameKey(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool KeywordFile::isDefault(std::string_view value) { return sameKey(value, "default"); }

std::optional<std::size_t> KeywordFile::find(std::string_view key, std::size_t from) const {
    return find({key}, from);
}

std::optional<std::size_t> KeywordFile::find(std::initializer_list<std::string_view> keys, std::size_t from) const {
    for (std::size_t i = from; i < m_lines.size(); ++i) {
        const auto& words = m_lines[i].words;
        if (words.size() < 2) continue;
        for (const std::string_view key : keys) {
            if (sameKey(words[1], key)) return i;
        }
    }
    return std::nullopt;
}

const KeywordFile::Line& KeywordFile::require(std::initializer_list<std::string_view> keys,
                                              const std::string& what) const {
    const auto index = find(keys);
    if (!index) fail(0, "the keyword " + std::string(*keys.begin()) + " is missing (" + what + ").");
    return m_lines[*index];
}

std::string KeywordFile::where(std::size_t line) const {
    if (line == 0) return m_name;
    return m_name + ", line " + std::to_string(line);
}

void KeywordFile::fail(std::size_t line, const std::string& problem) const {
    throw bemt::Error(where(line) + ": " + problem);
}

double KeywordFile::number(const Line& line, std::optional<double> fallback) const {
    const std::string& value = line.words.front();
    const std::string& key = line.words.size() > 1 ? line.words[1] : value;
    if (fallback && isDefault(value)) return *fallback;
    if (const auto parsed = wholeNumber(value)) return *parsed;
    if (hasDecimalComma(value))
        fail(line.number, key + " is written with a decimal comma; write a decimal point.");
    fail(line.number, key + " must be a finite number, not \"" + value + "\".");
}

int KeywordFile::whole(const Line& line, int lowest) const {
    const std::string& key = line.words.size() > 1 ? line.words[1] : line.words.front();
    const auto parsed = wholeNumber(line.words.front());
    if (!parsed || *parsed != std::trunc(*parsed) || *parsed < lowest || *parsed > 1e9)
        fail(line.number, key + " must be a whole number of at least " + std::to_string(lowest) + ", not \"" +
                              line.words.front() + "\".");
    return static_cast<int>(*parsed);
}

bool KeywordFile::flag(const Line& line) const {
    const std::string& value = line.words.front();
    for (const char* yes : {"true", "t", ".true."}) {
        if (sameKey(value, yes)) return true;
    }
    for (const char* no : {"false", "f", ".false."}) {
        if (sameKey(value, no)) return false;
    }
    const std::string& key = line.words.size() > 1 ? line.words[1] : value;
    fail(line.number, key + " must be True or False, not \"" + value + "\".");
}

namespace {

// A number too large for a double still makes a row, so that rowNumber names it.
bool isRowWord(const std::string& word) {
    return NumberText::leadingDouble(word).has_value() ||
           NumberText::wholeDouble(word).kind == NumberText::Whole::NotFinite;
}

}  // namespace

bool KeywordFile::isRow(const Line& line) { return std::all_of(line.words.begin(), line.words.end(), isRowWord); }

std::optional<std::string> KeywordFile::strayWord(const Line& line) {
    if (line.words.size() < 3 || !isRowWord(line.words[0]) || !isRowWord(line.words[1])) return std::nullopt;
    const auto stray = std::find_if_not(line.words.begin() + 2, line.words.end(), isRowWord);
    if (stray == line.words.end()) return std::nullopt;
    return *stray;
}

double KeywordFile::rowNumber(const Line& line, std::size_t word, const char* column) const {
    if (word >= line.words.size())
        fail(line.number, std::string("the row has no ") + column + " column (" + std::to_string(line.words.size()) +
                              " numbers, at least " + std::to_string(word + 1) + " expected).");
    const std::string& value = line.words[word];
    if (const auto parsed = wholeNumber(value)) return *parsed;
    if (hasDecimalComma(value))
        fail(line.number, std::string(column) + " is written with a decimal comma (\"" + value +
                              "\"); write a decimal point.");
    fail(line.number, std::string(column) + " must be a finite number, not \"" + value + "\".");
}

}  // namespace bemt
