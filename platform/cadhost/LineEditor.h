// The command line of a user at a terminal, read through libedit: the line can be edited, Up and
// Down recall earlier lines, Tab completes a command name at the command prompt.
//
// Keys that the host takes itself:
//   Esc      (alone, not the start of an arrow key's sequence) ends the line at once as an Esc
//            answer, whatever was typed: the prompt waiting is cancelled.
//   Ctrl-C   the same. Ctrl-C never ends the program: the host catches the interrupt signal for
//            as long as the editor lives; an interrupt that comes while no line is read cancels
//            the next prompt.
//   Ctrl-D   on an empty line: the end of the input, for this prompt only (endIsFinal is false
//            until the terminal itself is gone).
// Keys are UTF-8 characters; one cut short (a byte that cannot continue it comes first) shows as
// the replacement character U+FFFD, and the keys after it are kept.
//
// The editor shows the prompt that the host printed before reading (the screen's current line,
// given by `currentLine`) so that it can redraw the line, and tells `lineEnded` when the user's
// Enter ended that line.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../ui/TerminalDriver.h"

struct editline;
struct history;

namespace cadhost {

class LineEditor : public qv::ui::LineSource {
  public:
    struct Screen {
        std::function<std::string()> currentLine;  // UTF-8
        std::function<void()> lineEnded;
    };
    // Reads the terminal of standard input; `commandNames` gives the names that Tab completes.
    LineEditor(Screen screen, std::function<std::vector<std::wstring>()> commandNames);
    ~LineEditor() override;
    LineEditor(const LineEditor&) = delete;
    LineEditor& operator=(const LineEditor&) = delete;

    std::optional<std::string> peekLine() override;
    std::optional<std::string> readLine() override;
    bool endIsFinal() const override { return m_gone; }

  private:
    static int readKey(editline* el, wchar_t* key);
    static unsigned char complete(editline* el, int key);
    static char* prompt(editline* el);
    std::optional<std::string> read();

    Screen m_screen;
    std::function<std::vector<std::wstring>()> m_commandNames;
    editline* m_el = nullptr;
    history* m_history = nullptr;
    std::string m_prompt;
    bool m_peeked = false;
    std::optional<std::string> m_next;  // the line peeked (nothing: the input ended)
    bool m_cancelled = false;
    bool m_gone = false;
    int m_heldByte = -1;  // a byte read after a character cut short: the next key's (-1: none)
};

}  // namespace cadhost
