#include "host/ed/Editor.h"

#include "host/CommandLine.h"
#include "host/app/SystemVariables.h"
#include "win32/CodePage.h"

namespace qv::host::ed {
namespace {

// Whether prompts of commands that acedCommand runs are shown (CMDECHO).
bool commandEcho() {
    resbuf value{};
    return acedGetVar(L"CMDECHO", &value) != RTNORM || value.resval.rint != 0;
}

// The length of the command line's text just after an answer that was not echoed: the user's
// Enter ended that line on the terminal.
size_t g_enteredAt = std::wstring::npos;

}  // namespace

bool atLineStart() {
    const std::wstring& text = transcript().text();
    return text.empty() || text.back() == L'\n' || text.size() == g_enteredAt;
}

void print(const std::wstring& text) {
    transcript().append(text);
}

void noteLineEntered() {
    g_enteredAt = transcript().text().size();
}

bool Editor::nextLine(std::wstring& line, bool& echoIt) {
    if (!m_feeds.empty()) {
        Feed& feed = m_feeds.back();
        if (feed.tokens.empty()) {
            feed.ranOut = true;
            return false;
        }
        line = std::move(feed.tokens.front());
        feed.tokens.pop_front();
        echoIt = commandEcho();
        return true;
    }
    const std::optional<std::string> read = m_input.readLine();
    if (!read) {
        m_inputEnded = true;
        return false;
    }
    line = utf8ToWide(*read);
    echoIt = m_echo || m_input.lastWantsEcho();
    return true;
}

Answer Editor::ask(const std::wstring& prompt, bool blankEnds) {
    const bool showPrompt = m_feeds.empty() || commandEcho();
    if (showPrompt) {
        print(prompt);
    }
    std::wstring line;
    bool echoIt = false;
    if (!nextLine(line, echoIt)) {
        if (!atLineStart()) {
            print(L"\n");
        }
        return {Answer::Cancel, L""};
    }
    if (blankEnds && m_feeds.empty()) {
        const size_t blank = line.find(L' ');
        if (blank != std::wstring::npos) {
            const std::wstring rest = line.substr(blank + 1);
            line.resize(blank);
            if (!rest.empty()) {
                m_input.pushFront(wideToUtf8(rest), echoIt);
            }
        }
    }
    if (echoIt) {
        print(line + L"\n");
    } else {
        g_enteredAt = transcript().text().size();
    }
    if (qv::ui::isEscapeLine(line)) {
        print(L"*Cancel*\n");
        return {Answer::Cancel, L""};
    }
    if (line.empty()) {
        return {Answer::Empty, L""};
    }
    return {Answer::Text, line};
}

void Editor::refuse(const std::wstring& message) {
    ++m_inputErrors;
    if (!atLineStart()) {
        print(L"\n");
    }
    print(message + L"\n");
}

void Editor::pushFeed(std::deque<std::wstring> tokens) {
    m_feeds.push_back({std::move(tokens), false});
}

Editor::FeedEnd Editor::popFeed() {
    if (m_feeds.empty()) {
        return {};
    }
    FeedEnd end{std::move(m_feeds.back().tokens), m_feeds.back().ranOut};
    m_feeds.pop_back();
    return end;
}

void Editor::setInitGet(int flags, const std::wstring& keywords) {
    m_initGet.flags = flags;
    m_initGet.keywords = KeywordList(keywords);
}

InitGet Editor::takeInitGet() {
    InitGet taken = std::move(m_initGet);
    m_initGet = InitGet();
    return taken;
}

void Editor::reset() {
    m_input.clear();
    m_inputErrors = 0;
    m_inputEnded = false;
    m_feeds.clear();
    m_initGet = InitGet();
    m_lastInput.clear();
    m_lastPoint = AcGePoint3d::kOrigin;
    m_sets.clear();
}

Editor& editor() {
    static Editor instance;
    return instance;
}

}  // namespace qv::host::ed
