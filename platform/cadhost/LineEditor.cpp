#include "cadhost/LineEditor.h"

#include <histedit.h>
#include <langinfo.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "host/db/SymbolTables.h"
#include "win32/CodePage.h"

namespace cadhost {
namespace {

constexpr int kHistorySize = 500;
// How long the rest of a key's sequence may take to follow its Esc: a lone Esc is the Esc key.
constexpr int kSequenceMilliseconds = 40;
constexpr wchar_t kCtrlC = 0x03;
constexpr unsigned char kEsc = 0x1b;

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int) {
    g_interrupted = 1;
}

// Catches Ctrl-C's signal while an editor lives (the previous handling comes back after).
struct sigaction g_previousInterrupt;

void catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a read waiting for a key returns to look at the flag
    sigaction(SIGINT, &action, &g_previousInterrupt);
}

// libedit works in the locale's character set: the terminal's text is UTF-8.
void useUtf8Characters() {
    std::setlocale(LC_CTYPE, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) {
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
}

LineEditor* editorOf(EditLine* el) {
    void* data = nullptr;
    el_get(el, EL_CLIENTDATA, &data);
    return static_cast<LineEditor*>(data);
}

// Waits for a byte of standard input for up to `milliseconds` (-1: as long as it takes).
bool byteWaits(int milliseconds) {
    pollfd in{STDIN_FILENO, POLLIN, 0};
    return poll(&in, 1, milliseconds) > 0;
}

// How many bytes follow a UTF-8 lead byte (0 for ASCII or a stray byte).
int followingBytes(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) {
        return 3;
    }
    if (lead >= 0xE0) {
        return lead < 0xF0 ? 2 : 0;
    }
    return lead >= 0xC0 ? 1 : 0;
}

}  // namespace

LineEditor::LineEditor(Screen screen, std::function<std::vector<std::wstring>()> commandNames)
    : m_screen(std::move(screen)), m_commandNames(std::move(commandNames)) {
    useUtf8Characters();
    catchInterrupts();
    m_el = el_init("cadhost", stdin, stdout, stderr);
    m_history = history_init();
    HistEvent event;
    history(m_history, &event, H_SETSIZE, kHistorySize);
    history(m_history, &event, H_SETUNIQUE, 1);
    el_set(m_el, EL_CLIENTDATA, this);
    el_set(m_el, EL_EDITOR, "emacs");
    el_set(m_el, EL_HIST, history, m_history);
    el_set(m_el, EL_PROMPT, &LineEditor::prompt);
    el_set(m_el, EL_GETCFN, &LineEditor::readKey);
    // (wide names: libedit keeps them as given, narrow ones it copies and never frees)
    el_wset(m_el, EL_ADDFN, L"cadhost-complete", L"Complete a command name",
            &LineEditor::complete);
    el_wset(m_el, EL_BIND, L"^I", L"cadhost-complete", nullptr);
}

LineEditor::~LineEditor() {
    el_end(m_el);
    history_end(m_history);
    sigaction(SIGINT, &g_previousInterrupt, nullptr);
}

char* LineEditor::prompt(EditLine* el) {
    return editorOf(el)->m_prompt.data();
}

int LineEditor::readKey(EditLine* el, wchar_t* key) {
    LineEditor* self = editorOf(el);
    for (;;) {
        if (g_interrupted != 0) {
            g_interrupted = 0;
            self->m_cancelled = true;
            *key = L'\n';
            return 1;
        }
        unsigned char byte = 0;
        if (self->m_heldByte >= 0) {
            byte = static_cast<unsigned char>(self->m_heldByte);
            self->m_heldByte = -1;
        } else if (const ssize_t n = ::read(STDIN_FILENO, &byte, 1); n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            self->m_gone = true;
            return 0;
        }
        if ((byte == kEsc && !byteWaits(kSequenceMilliseconds)) || byte == kCtrlC) {
            self->m_cancelled = true;
            *key = L'\n';
            return 1;
        }
        // A character cut short (a byte that cannot continue it comes first) is replaced, and
        // that byte is the next key.
        std::string bytes(1, static_cast<char>(byte));
        for (int i = followingBytes(byte); i > 0 && ::read(STDIN_FILENO, &byte, 1) == 1; --i) {
            if ((byte & 0xC0) != 0x80) {
                self->m_heldByte = byte;
                break;
            }
            bytes += static_cast<char>(byte);
        }
        const std::wstring wide = qv::utf8ToWide(bytes);
        *key = wide.empty() ? L'\uFFFD' : wide[0];
        return 1;
    }
}

unsigned char LineEditor::complete(EditLine* el, int) {
    LineEditor* self = editorOf(el);
    const LineInfo* line = el_line(el);
    const std::string before(line->buffer, line->cursor);
    const std::wstring typed = qv::utf8ToWide(before);
    // ("Command: ", or 'Command or action for dialog "CAPTION": ' while a dialog is shown)
    const bool atCommandPrompt = self->m_prompt.rfind("Command", 0) == 0;
    if (!atCommandPrompt || typed.find(L' ') != std::wstring::npos ||
        line->cursor != line->lastchar) {
        return CC_ERROR;
    }
    // "_" and "." before a name ask for the global or the host's command: complete after them.
    const size_t start = typed.find_first_not_of(L"._");
    const std::wstring prefix = qv::host::foldName(typed.substr(std::min(start, typed.size())));
    std::vector<std::wstring> matches;
    for (const std::wstring& name : self->m_commandNames()) {
        const std::wstring key = qv::host::foldName(name);
        if (key.compare(0, prefix.size(), prefix) == 0 &&
            std::find(matches.begin(), matches.end(), key) == matches.end()) {
            matches.push_back(key);
        }
    }
    if (matches.empty()) {
        return CC_ERROR;
    }
    std::sort(matches.begin(), matches.end());
    // What every match has after the prefix.
    size_t common = matches.front().size();
    for (const std::wstring& m : matches) {
        size_t same = 0;
        while (same < common && same < m.size() && m[same] == matches.front()[same]) {
            ++same;
        }
        common = same;
    }
    std::wstring more = matches.front().substr(prefix.size(), common - prefix.size());
    const bool lower = !typed.empty() && std::all_of(typed.begin(), typed.end(), [](wchar_t c) {
        return !std::iswalpha(c) || std::iswlower(c);
    });
    if (lower) {
        std::transform(more.begin(), more.end(), more.begin(), [](wchar_t c) {
            return static_cast<wchar_t>(std::towlower(c));
        });
    }
    if (matches.size() == 1) {
        more += L' ';
    }
    if (!more.empty()) {
        el_insertstr(el, qv::wideToUtf8(more).c_str());
        return CC_REFRESH;
    }
    std::string list = "\n";
    for (const std::wstring& m : matches) {
        list += qv::wideToUtf8(m) + "  ";
    }
    std::fputs((list + "\n").c_str(), stdout);
    return CC_REDISPLAY;
}

std::optional<std::string> LineEditor::read() {
    std::cout.flush();
    m_prompt = m_screen.currentLine();
    std::fputs("\r", stdout);  // the editor shows the prompt again, as its own
    std::fflush(stdout);
    m_cancelled = false;
    int count = 0;
    const char* text = el_gets(m_el, &count);
    m_screen.lineEnded();
    if (m_cancelled) {
        return std::string(1, static_cast<char>(kEsc));
    }
    if (text == nullptr || count <= 0) {
        return std::nullopt;  // the host ends the line
    }
    std::string line(text, static_cast<size_t>(count));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    if (line.find_first_not_of(" \t") != std::string::npos) {
        HistEvent event;
        history(m_history, &event, H_ENTER, line.c_str());
    }
    return line;
}

std::optional<std::string> LineEditor::peekLine() {
    if (!m_peeked) {
        m_next = read();
        m_peeked = true;
    }
    return m_next;
}

std::optional<std::string> LineEditor::readLine() {
    std::optional<std::string> line = peekLine();
    m_peeked = false;
    m_next.reset();
    return line;
}

}  // namespace cadhost
