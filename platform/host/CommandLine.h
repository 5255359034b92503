// The host's command line: what acutPrintf prints.
//
// Everything printed is appended to one transcript, which tests read and clear. The host program
// also installs an echo sink that shows each printed piece on the terminal as it comes.
#pragma once

#include <functional>
#include <string>

#include "../win32/Format.h"
#include "AdeskTypes.h"

namespace qv::host {

class Transcript {
  public:
    // Everything printed since the last clear.
    const std::wstring& text() const { return m_text; }
    void clear() { m_text.clear(); }
    void append(const std::wstring& piece);

    // Receives every printed piece after it was appended; an empty function stops the echo.
    using Sink = std::function<void(const std::wstring&)>;
    void setEchoSink(Sink sink) { m_sink = std::move(sink); }

  private:
    std::wstring m_text;
    Sink m_sink;
};

// The command line of this process's host.
Transcript& transcript();

// The format with each "%b" conversion (flags, width and precision kept) turned into "%d".
std::wstring flagsAsNumbers(const wchar_t* format);

}  // namespace qv::host

// Prints to the command line with printf-style formatting as the Windows runtime does it (%s is
// a wide string; CString arguments may be passed directly). Returns the number of characters
// printed. "%b", which the runtime does not know, prints its argument as a number (0 or 1 for a
// flag).
template <class... A>
int acutPrintf(const ACHAR* format, const A&... args) {
    if (format == nullptr) {
        return 0;
    }
    const std::wstring text = qv::formatWideArgs(qv::host::flagsAsNumbers(format).c_str(), args...);
    qv::host::transcript().append(text);
    return static_cast<int>(text.size());
}
