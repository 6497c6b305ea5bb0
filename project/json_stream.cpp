#include "project/json_stream.h"

namespace korvane {

namespace {

constexpr int kIndent = 2;

}  // namespace

JsonStream::JsonStream(std::ostream& out) : m_out(out) { m_out << '{'; }

void JsonStream::key(const std::string& key) {
    m_out << (m_firstMember ? "\n" : ",\n") << std::string(kIndent, ' ') << Json(key).dump() << ": ";
    m_firstMember = false;
}

void JsonStream::write(const Json& value, int indent) {
    const std::string text = value.dump(kIndent);
    const std::string margin(static_cast<std::size_t>(indent), ' ');
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        m_out.write(text.data() + start, static_cast<std::streamsize>(end + 1 - start));
        m_out << margin;
        start = end + 1;
    }
    m_out.write(text.data() + start, static_cast<std::streamsize>(text.size() - start));
}

void JsonStream::member(const std::string& name, const Json& value) {
    key(name);
    write(value, kIndent);
}

void JsonStream::beginArray(const std::string& name) {
    key(name);
    m_out << '[';
    m_firstItem = true;
}

void JsonStream::item(const Json& value) {
    m_out << (m_firstItem ? "\n" : ",\n") << std::string(2 * kIndent, ' ');
    m_firstItem = false;
    write(value, 2 * kIndent);
}

void JsonStream::endArray() {
    if (!m_firstItem) m_out << '\n' << std::string(kIndent, ' ');
    m_out << ']';
}

void JsonStream::finish() { m_out << (m_firstMember ? "}\n" : "\n}\n"); }

}  // namespace korvane
