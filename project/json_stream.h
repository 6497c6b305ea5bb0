#pragma once
// A JSON document written member by member and array item by item, in the layout
// nlohmann's dump(2) gives a whole document, so that a large result never exists whole
// in memory (neither as a document nor as its text).

#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

namespace korvane {

using Json = nlohmann::ordered_json;

// The top-level object: members are written in order, and one array member at a time
// may be written item by item between beginArray and endArray. The destructor does not
// close the document: finish() does, so that a failure never ends in valid JSON.
class JsonStream {
public:
    explicit JsonStream(std::ostream& out);

    void member(const std::string& key, const Json& value);
    void beginArray(const std::string& key);
    void item(const Json& value);
    void endArray();
    void finish();

private:
    void key(const std::string& key);
    // value as dump(2) writes it, every line after the first indented by indent more.
    void write(const Json& value, int indent);

    std::ostream& m_out;
    bool m_firstMember = true;
    bool m_firstItem = true;
};

}  // namespace korvane
