#include "host/dxf/AuditReport.h"

namespace qv::dxf {

std::string AuditEntry::text() const {
    std::string out;
    if (line != 0) {
        out = "line " + std::to_string(line) + ": ";
    }
    out += message;
    out += " [fix " + std::to_string(static_cast<int>(fix)) + "]";
    return out;
}

void AuditReport::add(Fix fix, std::uint32_t line, std::string message) {
    const auto index = static_cast<size_t>(fix);
    if (m_counts.size() <= index) {
        m_counts.resize(index + 1);
    }
    ++m_counts[index];
    ++m_total;
    if (m_entries.size() < kMaxEntries) {
        m_entries.push_back({fix, line, std::move(message)});
    }
}

size_t AuditReport::count(Fix fix) const {
    const auto index = static_cast<size_t>(fix);
    return index < m_counts.size() ? m_counts[index] : 0;
}

std::string AuditReport::text() const {
    std::string out;
    for (const AuditEntry& entry : m_entries) {
        out += entry.text();
        out += '\n';
    }
    if (m_total > m_entries.size()) {
        out += std::to_string(m_total - m_entries.size()) + " more problems not listed\n";
    }
    return out;
}

}  // namespace qv::dxf
