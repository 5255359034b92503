// The terminal driver: shows message boxes, pickers and dialogs as text on an output stream and
// reads the user's answers, one line each, from a line source (the host program's terminal or
// script). Text is written and read as UTF-8.
//
//   message box  prints 'Message box "CAPTION" (Yes, No):' and the text, then asks "Button: ".
//                The answer is a button name (ok, cancel, yes, no, abort, retry, ignore, without
//                regard to case), an empty line for the default button, or Esc ("cancel", "esc",
//                "^C", the escape character), which gives Cancel, or OK in a box with only OK.
//   file, folder prints the title and asks "File name: " or "Folder: "; an empty line cancels,
//                and so does Esc (see isEscapeLine), which shows "*Cancel*".
//   dialog       prints the dialog when it is shown (see qv::ui::formatDialog) and 'Dialog
//                "CAPTION" closed.' when it ends. A modal dialog asks "Dialog action: " for each
//                action line (see DialogView.h); between the host's commands, a line that reads
//                as a dialog action is taken for the first shown modeless dialog, any other line
//                is left to the host. A user's Enter there (an empty line, without echo) shows
//                the dialog again: it is no Enter at the command prompt, which repeats a command.
//
// Without echo (a user at the terminal) a dialog is printed again after every action that it
// took, as it is when the action and what it set off are done (not when it shows itself again
// half-way, as a dialog hidden for a pick on the drawing does), and a modal dialog's prompt names
// it: 'Dialog "CAPTION" action: '.
//
// Answers that cannot be used are reported and asked again; refused actions are reported. Both
// count as errors, and so does the end of input while a question waits (then the default is
// taken: the default button, a cancelled picker, no more dialog actions). The host program
// ends a script with a failure when errorCount is not 0. With echo on (scripts), every line read
// is written after its prompt, so the output reads as a transcript.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "UiDriver.h"

namespace qv::ui {

// Whether a line read is the Esc key, as the command line takes it: the escape character first
// (a terminal's line editor ends the line with it, whatever was typed before), or "^C" (as a
// script writes Esc); blanks around either do not count.
bool isEscapeLine(std::wstring_view line);

// Lines of UTF-8 text without their line ends.
class LineSource {
  public:
    virtual ~LineSource() = default;
    // The next line, left in place; nothing at the end of input.
    virtual std::optional<std::string> peekLine() = 0;
    // Takes the next line; nothing at the end of input.
    virtual std::optional<std::string> readLine() = 0;
    // Whether the end of input stays (a file, a pipe); false where the user may go on typing
    // after it (Ctrl-D on a terminal).
    virtual bool endIsFinal() const { return true; }
};

// Lines of an input stream; a carriage return before the line feed is dropped.
class StreamLineSource : public LineSource {
  public:
    explicit StreamLineSource(std::istream& in) : m_in(in) {}
    std::optional<std::string> peekLine() override;
    std::optional<std::string> readLine() override;

  private:
    std::istream& m_in;
    std::optional<std::string> m_next;
};

class TerminalDriver : public UiDriver {
  public:
    TerminalDriver(LineSource& input, std::ostream& output, bool echo = true);

    int messageBox(HWND owner, std::wstring_view text, std::wstring_view caption,
                   UINT type) override;
    std::wstring browseForFolder(std::wstring_view title) override;
    BOOL fileDialog(const FileDialogRequest& request, std::wstring& path) override;

    void dialogShown(const DialogView& view) override;
    DialogAction dialogAction(const DialogView& view) override;
    std::optional<DialogAction> modelessAction(const std::vector<DialogView>& open) override;
    void dialogNotice(std::wstring_view message, bool refused) override;
    void dialogClosed(const DialogView& view) override;
    void dialogChanged(const DialogView& view) override;

    int errorCount() const { return m_errors; }
    bool inputExhausted() const { return m_exhausted; }

  private:
    // Asks with a prompt and reads one line (echoed); nothing at the end of input.
    std::optional<std::wstring> ask(const std::string& prompt);
    // The path answered to a picker's prompt, trimmed; empty when cancelled (Enter, Esc, the end
    // of the input).
    std::wstring pathAnswer(const std::string& prompt);
    void printDialog(const DialogView& view);
    void line(std::wstring_view text);
    void error(std::wstring_view text);

    LineSource& m_input;
    std::ostream& m_out;
    bool m_echo;
    int m_errors = 0;
    bool m_exhausted = false;
    HWND m_acting = nullptr;  // the dialog whose action runs now
};

}  // namespace qv::ui
