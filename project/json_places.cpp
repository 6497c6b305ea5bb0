#include "project/json_places.h"

namespace korvane::kvp {

using nlohmann::json;

std::string JsonPlaces::nextPlace() {
    if (m_open.empty()) return std::string();
    Container& parent = m_open.back();
    if (!parent.array) return path(parent.place, m_lastKey);
    return parent.place + "[" + std::to_string(parent.index++) + "]";
}

json::parser_callback_t JsonPlaces::callback() {
    return [this](int, json::parse_event_t event, json& parsed) {
        switch (event) {
            case json::parse_event_t::object_start:
            case json::parse_event_t::array_start:
                if (m_open.size() >= kMaxDepth) throw TooDeep{};
                m_open.push_back(Container{nextPlace(), event == json::parse_event_t::array_start, 0, {}});
                break;
            case json::parse_event_t::object_end:
            case json::parse_event_t::array_end:
                m_open.pop_back();
                break;
            case json::parse_event_t::key:
                m_lastKey = parsed.get<std::string>();
                if (!m_open.back().keys.insert(m_lastKey).second && m_duplicate.empty())
                    m_duplicate = path(m_open.back().place, m_lastKey);
                break;
            case json::parse_event_t::value:
                if (!m_open.empty() && m_open.back().array) ++m_open.back().index;
                break;
        }
        return true;
    };
}

}  // namespace korvane::kvp
