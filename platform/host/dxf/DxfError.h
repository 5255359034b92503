// The error a DXF file is refused with. The message names the line where reading stopped.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qv::dxf {

class DxfError : public std::runtime_error {
  public:
    // `line` 0: the message concerns the whole file ("binary DXF ..."), no line is named.
    DxfError(std::uint32_t line, const std::string& message)
        : std::runtime_error(line ? "line " + std::to_string(line) + ": " + message : message),
          m_line(line) {}
    std::uint32_t line() const { return m_line; }

  private:
    std::uint32_t m_line;
};

}  // namespace qv::dxf
