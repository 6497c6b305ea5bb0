#pragma once
// The text layout shared by OpenFAST and AeroDyn input files: comment lines starting
// with '!', lines of the form "value  Keyword  - description", and tables of numbers,
// whose rows may end in a "! comment".
// Line endings may be LF or CRLF. Keywords match by name, case-insensitively. Every
// failure is a std::string naming the file and, where there is one, the line.

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bemt {

class KeywordFile {
public:
    // One line that is neither blank nor a comment, split into words; a word in double
    // quotes may hold spaces (the quotes are removed, a leading '@' is kept).
    struct Line {
        std::size_t number = 0;        // 1-based line number in the file
        std::vector<std::string> words;
        std::string text;              // the line as written, without the line ending
        bool firstQuoted = false;      // the first word was written in double quotes
    };

    // Reads every line; name is the file name used in messages.
    KeywordFile(std::istream& in, std::string name);
    // Reads the file at path as readTextFile does, with its messages.
    static KeywordFile fromPath(const std::string& path);

    const std::string& name() const { return m_name; }
    const std::vector<Line>& lines() const { return m_lines; }

    // The index of the first line at or after from whose second word is key (a "value
    // Keyword" line), or nothing.
    std::optional<std::size_t> find(std::string_view key, std::size_t from = 0) const;
    // The same with any of the spellings (older and current names of one input).
    std::optional<std::size_t> find(std::initializer_list<std::string_view> keys, std::size_t from = 0) const;
    // The line of key; throws "<file>: the keyword KEY is missing (what)." otherwise.
    const Line& require(std::initializer_list<std::string_view> keys, const std::string& what) const;

    // "<file>, line N: problem" (or "<file>: problem" for line 0).
    std::string where(std::size_t line) const;
    [[noreturn]] void fail(std::size_t line, const std::string& problem) const;

    // The value of a keyword line as a finite number; "default" (any case, quoted or
    // not) gives fallback when one is given. Throws a message naming the keyword.
    double number(const Line& line, std::optional<double> fallback = std::nullopt) const;
    // A whole number of at least lowest.
    int whole(const Line& line, int lowest) const;
    // True/False, T/F, .true./.false. (any case).
    bool flag(const Line& line) const;
    // The value as text ("default" is returned as written).
    static const std::string& text(const Line& line) { return line.words.front(); }

    // True when every word of the line is a number (a row of a table), also one beyond
    // the range of a double.
    static bool isRow(const Line& line);
    // The first word that is no number in a line that begins as a row does, with two
    // numbers ("-175.00 0.218 0.0699 extra"): text a row must not hold.
    static std::optional<std::string> strayWord(const Line& line);
    // Whole-field conversion of one word of a row: a finite number and nothing else.
    // A decimal comma gets its own message.
    double rowNumber(const Line& line, std::size_t word, const char* column) const;

    static bool sameKey(std::string_view a, std::string_view b);
    static bool isDefault(std::string_view value);

private:
    std::string m_name;
    std::vector<Line> m_lines;
};

// Whole-field conversion of text to a finite number: empty unless the whole text (white
// space around it aside) is one finite number.
std::optional<double> wholeNumber(std::string_view text);
// True for text such as "0,75": a number written with a decimal comma.
bool hasDecimalComma(std::string_view text);

}  // namespace bemt
