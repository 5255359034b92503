#include "ui/TerminalDriver.h"

#include <istream>
#include <ostream>

#include "win32/CodePage.h"
#include "win32/MessageBox.h"

namespace qv::ui {
namespace {

struct Button {
    const wchar_t* name;
    int id;
};

// The buttons of a message box type, in their order on screen.
std::vector<Button> buttonsOf(UINT type) {
    switch (type & 0x0Fu) {
        case MB_OKCANCEL:
            return {{L"OK", IDOK}, {L"Cancel", IDCANCEL}};
        case MB_ABORTRETRYIGNORE:
            return {{L"Abort", IDABORT}, {L"Retry", IDRETRY}, {L"Ignore", IDIGNORE}};
        case MB_YESNOCANCEL:
            return {{L"Yes", IDYES}, {L"No", IDNO}, {L"Cancel", IDCANCEL}};
        case MB_YESNO:
            return {{L"Yes", IDYES}, {L"No", IDNO}};
        case MB_RETRYCANCEL:
            return {{L"Retry", IDRETRY}, {L"Cancel", IDCANCEL}};
        default:
            return {{L"OK", IDOK}};
    }
}

// Esc at a message box: also "cancel", "esc" or "^c" typed out.
bool isEscape(std::wstring_view answer) {
    return equalsIgnoringCase(answer, L"cancel") || equalsIgnoringCase(answer, L"esc") ||
           equalsIgnoringCase(answer, L"^C") || isEscapeLine(answer);
}

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

// Without blanks at either end.
std::wstring trimmed(std::wstring_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return std::wstring(s);
}

}  // namespace

bool isEscapeLine(std::wstring_view line) {
    const std::wstring answer = trimmed(line);
    return (!answer.empty() && answer.front() == L'\x1b') || answer == L"^C";
}

std::optional<std::string> StreamLineSource::peekLine() {
    if (!m_next) {
        std::string s;
        if (!std::getline(m_in, s)) {
            return std::nullopt;
        }
        if (!s.empty() && s.back() == '\r') {
            s.pop_back();
        }
        m_next = std::move(s);
    }
    return m_next;
}

std::optional<std::string> StreamLineSource::readLine() {
    std::optional<std::string> s = peekLine();
    m_next.reset();
    return s;
}

TerminalDriver::TerminalDriver(LineSource& input, std::ostream& output, bool echo)
    : m_input(input), m_out(output), m_echo(echo) {}

void TerminalDriver::line(std::wstring_view text) {
    m_out << wideToUtf8(text) << '\n';
}

void TerminalDriver::error(std::wstring_view text) {
    ++m_errors;
    line(text);
}

std::optional<std::wstring> TerminalDriver::ask(const std::string& prompt) {
    m_out << prompt << std::flush;
    const std::optional<std::string> s = m_input.readLine();
    if (!s) {
        m_out << '\n';
        if (!m_exhausted) {
            error(L"The input ended while a question waited.");
        }
        m_exhausted = true;
        return std::nullopt;
    }
    if (m_echo) {
        m_out << *s << '\n';
    }
    return utf8ToWide(*s);
}

int TerminalDriver::messageBox(HWND, std::wstring_view text, std::wstring_view caption, UINT type) {
    const std::vector<Button> buttons = buttonsOf(type);
    std::wstring head = L"Message box \"" + std::wstring(caption) + L"\" (";
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        head += (i ? L", " : L"") + std::wstring(buttons[i].name);
    }
    line(head + L"):");
    line(text);
    const std::size_t def = std::min<std::size_t>((type & 0x300u) >> 8, buttons.size() - 1);
    for (;;) {
        const std::optional<std::wstring> answer = ask("Button: ");
        if (!answer) {
            return buttons[def].id;
        }
        const std::wstring a = trimmed(*answer);
        if (a.empty()) {
            return buttons[def].id;
        }
        for (const Button& b : buttons) {
            if (equalsIgnoringCase(a, b.name)) {
                return b.id;
            }
        }
        if (isEscape(a)) {
            for (const Button& b : buttons) {
                if (b.id == IDCANCEL) {
                    return IDCANCEL;
                }
            }
            if (buttons.size() == 1) {
                return IDOK;
            }
        }
        std::wstring names;
        for (const Button& b : buttons) {
            names += (names.empty() ? L"" : L", ") + std::wstring(b.name);
        }
        error(L"Please answer " + names + L".");
    }
}

std::wstring TerminalDriver::browseForFolder(std::wstring_view title) {
    line(L"Folder picker \"" + std::wstring(title) + L"\"");
    return pathAnswer("Folder: ");
}

std::wstring TerminalDriver::pathAnswer(const std::string& prompt) {
    const std::optional<std::wstring> answer = ask(prompt);
    if (!answer) {
        return std::wstring();
    }
    if (isEscapeLine(*answer)) {
        line(L"*Cancel*");
        return std::wstring();
    }
    return trimmed(*answer);
}

BOOL TerminalDriver::fileDialog(const FileDialogRequest& request, std::wstring& path) {
    std::wstring title = request.title;
    if (title.empty()) {
        title = request.openMode ? L"Open" : L"Save As";
    }
    line(L"File dialog \"" + title + L"\" (" + request.filter + L")");
    path = pathAnswer("File name: ");
    return path.empty() ? FALSE : TRUE;
}

void TerminalDriver::dialogShown(const DialogView& view) {
    if (!m_echo && view.hwnd != nullptr && view.hwnd == m_acting) {
        return;  // shown again while its action runs: printed as it is when the action ends
    }
    printDialog(view);
}

void TerminalDriver::printDialog(const DialogView& view) {
    for (const std::wstring& l : formatDialog(view)) {
        line(l);
    }
}

DialogAction TerminalDriver::dialogAction(const DialogView& view) {
    // A user at the terminal sees which dialog waits; a transcript shows it above.
    const std::string prompt =
        m_echo ? "Dialog action: " : "Dialog \"" + wideToUtf8(view.caption) + "\" action: ";
    for (;;) {
        const std::optional<std::wstring> answer = ask(prompt);
        if (!answer) {
            return DialogAction();
        }
        std::wstring why;
        const std::optional<DialogAction> a = parseDialogAction(*answer, &why);
        if (!a) {
            error(why);
        } else if (a->kind == DialogAction::Kind::Show) {
            printDialog(view);
        } else {
            m_acting = view.hwnd;
            return *a;
        }
    }
}

std::optional<DialogAction> TerminalDriver::modelessAction(const std::vector<DialogView>& open) {
    const std::optional<std::string> next = m_input.peekLine();
    if (!next || open.empty()) {
        return std::nullopt;
    }
    const std::wstring typed = utf8ToWide(*next);
    std::optional<DialogAction> a;
    if (!m_echo && trimmed(typed).empty()) {
        // A user's Enter at the dialog's prompt shows it again, never the last command.
        a.emplace().kind = DialogAction::Kind::Show;
    } else {
        a = parseDialogAction(typed);
    }
    if (!a) {
        return std::nullopt;  // a command for the host
    }
    m_input.readLine();
    if (m_echo) {
        m_out << *next << '\n';
    }
    if (a->kind == DialogAction::Kind::Show) {
        printDialog(open.front());
    } else {
        m_acting = a->dialog != nullptr ? a->dialog : open.front().hwnd;
    }
    return a;
}

void TerminalDriver::dialogNotice(std::wstring_view message, bool refused) {
    if (refused) {
        error(message);
    } else {
        line(message);
    }
}

void TerminalDriver::dialogChanged(const DialogView& view) {
    m_acting = nullptr;
    if (!m_echo) {
        printDialog(view);
    }
}

void TerminalDriver::dialogClosed(const DialogView& view) {
    line(L"Dialog \"" + view.caption + L"\" closed.");
}

}  // namespace qv::ui
