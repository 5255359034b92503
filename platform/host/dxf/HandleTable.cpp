#include "host/dxf/HandleTable.h"

#include "host/dxf/DxfError.h"
#include "host/dxf/Numbers.h"

namespace qv::dxf {

HandleTable::Claim HandleTable::claim(std::string_view text, std::uint32_t line,
                                      std::uint64_t& handle, std::uint32_t& firstLine) {
    if (!parseHandle(text, handle) || handle == 0) {
        return Claim::Missing;
    }
    const auto [it, inserted] = m_lines.emplace(handle, line);
    if (!inserted) {
        firstLine = it->second;
        return Claim::Duplicate;
    }
    if (m_next != 0 && handle >= m_next) {
        m_next = handle + 1;  // 0 after the largest handle: no more can be issued
    }
    return Claim::Kept;
}

void HandleTable::raiseSeed(std::uint64_t seed) {
    if (m_next != 0 && seed > m_next) {
        m_next = seed;
    }
}

std::uint64_t HandleTable::issue() {
    if (m_next == 0) {
        throw DxfError(0, "the drawing has run out of handles");
    }
    const std::uint64_t handle = m_next++;
    m_lines.emplace(handle, 0);
    return handle;
}

}  // namespace qv::dxf
