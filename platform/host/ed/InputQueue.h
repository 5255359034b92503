// The user's input as the host reads it: lines from the terminal or a script (the source), behind
// the input that the host itself holds back.
//
// Reading order:
//   1. lines given back (the rest of a line after a blank that ended an answer),
//   2. text sent to the command line (sendStringToExecute) and already released,
//   3. the source.
// Text sent while a command runs is held until that command ends (release()), so it runs after
// the command, as the host queues it. Sent text is cut into lines at its line ends; text after
// the last line end counts as a line too.
//
// The queue is also the line source of the terminal driver, so message boxes and dialogs read
// from the same stream as the command line.
#pragma once

#include <deque>
#include <optional>
#include <string>

#include "../../ui/TerminalDriver.h"

namespace qv::host::ed {

class InputQueue : public qv::ui::LineSource {
  public:
    // The terminal or script (not owned; it must outlive its use); null: no more input.
    void setSource(qv::ui::LineSource* source) { m_source = source; }
    qv::ui::LineSource* source() const { return m_source; }

    // Reads `line` before anything else; with `echo` it is shown when it is read.
    void pushFront(std::string line, bool echo);
    // Text sent to the command line; with `echo` the lines are shown as they are read.
    void send(const std::wstring& text, bool echo);
    // Makes the text held back readable (a command ended).
    void release();
    // Whether text is held back or ready to be read from the host's own input.
    bool hasHostInput() const { return !m_front.empty() || !m_ready.empty() || !m_held.empty(); }

    // The next line when it comes from the host's own input (given back or sent), else nothing.
    std::optional<std::string> peekHostLine() const;

    std::optional<std::string> peekLine() override;
    std::optional<std::string> readLine() override;
    bool endIsFinal() const override { return m_source == nullptr || m_source->endIsFinal(); }
    // Whether the line read last came from the host's own input with echo asked for.
    bool lastWantsEcho() const { return m_lastEcho; }

    // Forgets everything held; the source stays.
    void clear();

  private:
    struct Line {
        std::string text;
        bool echo = false;
    };
    std::deque<Line> m_front;
    std::deque<Line> m_ready;
    std::deque<Line> m_held;
    qv::ui::LineSource* m_source = nullptr;
    bool m_lastEcho = false;
};

}  // namespace qv::host::ed
