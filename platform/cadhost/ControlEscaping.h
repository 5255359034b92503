// Output to a terminal with its control characters made visible: what a drawing or a script
// holds (ESC, BEL, NUL, a C1 control such as U+009B) reaches the terminal as text like "\x1B",
// never as a control that the terminal would act on. Line feeds and tabs pass unchanged.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace cadhost {

class ControlEscapingBuffer : public std::streambuf {
  public:
    // Writes to `target`, which must outlive this buffer.
    explicit ControlEscapingBuffer(std::streambuf* target) : m_target(target) {}
    ~ControlEscapingBuffer() override;

    // What was written since the last line feed (escaped; at most the first 1024 bytes): the
    // prompt that a line editor shows again when it redraws the line.
    const std::string& currentLine() const { return m_line; }
    // Someone else ended the line on the terminal.
    void lineEnded() { m_line.clear(); }

  protected:
    int_type overflow(int_type c) override;
    int sync() override;

  private:
    static constexpr std::size_t kLineKept = 1024;
    void emit(char c);
    void put(const char* text);

    std::streambuf* m_target;
    std::string m_line;
    bool m_leadC2 = false;  // a byte 0xC2 waits: the next one may make it a C1 control
};

// Replaces a stream's buffer with an escaping one for as long as it lives.
class ControlEscaping {
  public:
    explicit ControlEscaping(std::ostream& stream)
        : m_stream(stream), m_buffer(stream.rdbuf()), m_previous(stream.rdbuf(&m_buffer)) {}
    ~ControlEscaping() {
        m_stream.flush();
        m_stream.rdbuf(m_previous);
    }
    ControlEscapingBuffer& buffer() { return m_buffer; }
    ControlEscaping(const ControlEscaping&) = delete;
    ControlEscaping& operator=(const ControlEscaping&) = delete;

  private:
    std::ostream& m_stream;
    ControlEscapingBuffer m_buffer;
    std::streambuf* m_previous;
};

}  // namespace cadhost
