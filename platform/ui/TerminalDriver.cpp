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

bool isEscape(const CString& answer) {
    return answer.CompareNoCase(L"cancel") == 0 || answer.CompareNoCase(L"esc") == 0 ||
           answer.CompareNoCase(L"^C") == 0 || answer == L"\x1b";
}

CString trimmed(const CString& s) {
    CString t = s;
    t.Trim();
    return t;
}

}  // namespace

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

void TerminalDriver::line(const CString& text) {
    m_out << wideToUtf8(text.str()) << '\n';
}

void TerminalDriver::error(const CString& text) {
    ++m_errors;
    line(text);
}

std::optional<CString> TerminalDriver::ask(const char* prompt) {
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
    return CString(utf8ToWide(*s));
}

int TerminalDriver::messageBox(HWND, const CString& text, const CString& caption, UINT type) {
    const std::vector<Button> buttons = buttonsOf(type);
    CString head = L"Message box \"" + caption + L"\" (";
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        head += (i ? L", " : L"") + CString(buttons[i].name);
    }
    line(head + L"):");
    line(text);
    const std::size_t def = std::min<std::size_t>((type & 0x300u) >> 8, buttons.size() - 1);
    for (;;) {
        const std::optional<CString> answer = ask("Button: ");
        if (!answer) {
            return buttons[def].id;
        }
        const CString a = trimmed(*answer);
        if (a.IsEmpty()) {
            return buttons[def].id;
        }
        for (const Button& b : buttons) {
            if (a.CompareNoCase(b.name) == 0) {
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
        CString names;
        for (const Button& b : buttons) {
            names += (names.IsEmpty() ? L"" : L", ") + CString(b.name);
        }
        error(L"Please answer " + names + L".");
    }
}

CString TerminalDriver::browseForFolder(const CString& title) {
    line(L"Folder picker \"" + title + L"\"");
    const std::optional<CString> answer = ask("Folder: ");
    return answer ? trimmed(*answer) : CString();
}

BOOL TerminalDriver::fileDialog(const FileDialogRequest& request, CString& path) {
    CString title = request.title;
    if (title.IsEmpty()) {
        title = request.openMode ? L"Open" : L"Save As";
    }
    line(L"File dialog \"" + title + L"\" (" + request.filter + L")");
    const std::optional<CString> answer = ask("File name: ");
    path = answer ? trimmed(*answer) : CString();
    return path.IsEmpty() ? FALSE : TRUE;
}

void TerminalDriver::dialogShown(const DialogView& view) {
    for (const CString& l : formatDialog(view)) {
        line(l);
    }
}

DialogAction TerminalDriver::dialogAction(const DialogView& view) {
    for (;;) {
        const std::optional<CString> answer = ask("Dialog action: ");
        if (!answer) {
            return DialogAction();
        }
        CString why;
        const std::optional<DialogAction> a = parseDialogAction(*answer, &why);
        if (!a) {
            error(why);
        } else if (a->kind == DialogAction::Kind::Show) {
            dialogShown(view);
        } else {
            return *a;
        }
    }
}

std::optional<DialogAction> TerminalDriver::modelessAction(const std::vector<DialogView>& open) {
    const std::optional<std::string> next = m_input.peekLine();
    if (!next || open.empty()) {
        return std::nullopt;
    }
    const std::optional<DialogAction> a = parseDialogAction(CString(utf8ToWide(*next)));
    if (!a) {
        return std::nullopt;  // a command for the host
    }
    m_input.readLine();
    if (m_echo) {
        m_out << *next << '\n';
    }
    if (a->kind == DialogAction::Kind::Show) {
        dialogShown(open.front());
    }
    return a;
}

void TerminalDriver::dialogNotice(const CString& message, bool refused) {
    if (refused) {
        error(message);
    } else {
        line(message);
    }
}

void TerminalDriver::dialogClosed(const DialogView& view) {
    line(L"Dialog \"" + view.caption + L"\" closed.");
}

}  // namespace qv::ui
