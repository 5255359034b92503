// Answers typed at the host's command line, for tests: the editor reads them one line each ("^C"
// is Esc, "" is Enter) while the object lives, and forgets its state afterwards.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "host/CommandLine.h"
#include "host/ed/Editor.h"
#include "ui/TerminalDriver.h"

namespace qv::test {

class CommandLineAnswers : public qv::ui::LineSource {
  public:
    CommandLineAnswers() { qv::host::ed::editor().input().setSource(this); }
    ~CommandLineAnswers() override {
        qv::host::ed::editor().input().setSource(nullptr);
        qv::host::ed::editor().reset();
    }
    CommandLineAnswers(const CommandLineAnswers&) = delete;
    CommandLineAnswers& operator=(const CommandLineAnswers&) = delete;

    // Replaces the answers still to come and clears the command line's transcript.
    void give(std::vector<std::string> lines) {
        m_lines.assign(lines.begin(), lines.end());
        qv::host::transcript().clear();
    }
    // How many answers were not read.
    size_t left() const { return m_lines.size(); }

    std::optional<std::string> peekLine() override {
        if (m_lines.empty())
            return std::nullopt;
        return m_lines.front();
    }
    std::optional<std::string> readLine() override {
        std::optional<std::string> line = peekLine();
        if (line)
            m_lines.pop_front();
        return line;
    }

  private:
    std::deque<std::string> m_lines;
};

}  // namespace qv::test
