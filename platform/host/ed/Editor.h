// The editor: the host's command-line side of the user. It shows prompts on the command line
// (the transcript of CommandLine.h) and reads the answers from its input (InputQueue.h).
//
// One answer is one line. "^C", or a line that begins with the escape character, is Esc: the
// prompt is cancelled and "*Cancel*" shown. An empty line is Enter. Where a blank ends an
// answer (at the command prompt and where acedGetString takes no blanks), the rest of the line
// after the first blank is read as the next line, as the host takes a blank for Enter.
//
// With echo on (scripts, tests) every answer is written after its prompt so that the command
// line reads as a transcript; on a terminal the user's typing shows by itself.
//
// While acedCommand runs a command, that command's prompts read the tokens it was given instead
// of the input; when they run out, the prompt is cancelled.
//
// An answer that a prompt cannot use is reported on the command line, counted as an input error
// and asked for again. A prompt that finds the input at its end is cancelled and the end is
// remembered (inputEnded), so the host program can stop a script that ended too soon.
#pragma once

#include <deque>
#include <string>

#include "InputQueue.h"
#include "Keywords.h"
#include "SelectionSets.h"
#include "../ge/AcGePoint.h"

// The flags of acedInitGet.
constexpr int RSG_NONULL = 0x0001;  // Enter is refused
constexpr int RSG_NOZERO = 0x0002;  // 0 is refused
constexpr int RSG_NONEG = 0x0004;   // negative numbers are refused
constexpr int RSG_NOLIM = 0x0008;   // no drawing limits are checked here anyway
constexpr int RSG_GETZ = 0x0010;    // points always carry z here
constexpr int RSG_DASH = 0x0020;    // nothing is drawn here
constexpr int RSG_2D = 0x0040;      // z of a point answer is dropped (0)
constexpr int RSG_OTHER = 0x0080;   // any text that is no valid answer comes back as RTKWORD
constexpr int RSG_DDISTFIRST = 0x0100;
constexpr int RSG_TRACKUCS = 0x0200;
constexpr int RSG_NOORTHOZ = 0x0400;
constexpr int RSG_NOOSNAP = 0x0800;
constexpr int RSG_NODDIST = 0x1000;

namespace qv::host::ed {

struct Answer {
    enum Kind { Text, Empty, Cancel } kind = Empty;
    std::wstring text;
};

// What acedInitGet set for the next input call.
struct InitGet {
    int flags = 0;
    KeywordList keywords;
};

class Editor {
  public:
    InputQueue& input() { return m_input; }

    void setEcho(bool echo) { m_echo = echo; }
    bool echo() const { return m_echo; }

    // Shows `prompt` on the command line and reads one answer (see above).
    Answer ask(const std::wstring& prompt, bool blankEnds = false);
    // Reports an answer that cannot be used and counts it.
    void refuse(const std::wstring& message);
    int inputErrors() const { return m_inputErrors; }
    // Whether a prompt found the input at its end since clearInputEnded.
    bool inputEnded() const { return m_inputEnded; }
    void clearInputEnded() { m_inputEnded = false; }

    // acedCommand: the tokens that the command it runs reads instead of the input. Feeds nest.
    void pushFeed(std::deque<std::wstring> tokens);
    // Ends the innermost feed: the tokens left, and whether a prompt found it empty (the
    // command wanted more).
    struct FeedEnd {
        std::deque<std::wstring> left;
        bool ranOut = false;
    };
    FeedEnd popFeed();
    bool feeding() const { return !m_feeds.empty(); }
    // Whether the innermost feed has tokens left.
    bool feedHasTokens() const { return !m_feeds.empty() && !m_feeds.back().tokens.empty(); }

    // acedInitGet: kept for the next input call, which takes it.
    void setInitGet(int flags, const std::wstring& keywords);
    InitGet takeInitGet();

    // The keyword or other text of the last RTKWORD (acedGetInput).
    void setLastInput(const std::wstring& text) { m_lastInput = text; }
    const std::wstring& lastInput() const { return m_lastInput; }

    // The last point given (LASTPOINT), in world coordinates.
    const AcGePoint3d& lastPoint() const { return m_lastPoint; }
    void setLastPoint(const AcGePoint3d& point) { m_lastPoint = point; }

    SelectionSets& selectionSets() { return m_sets; }

    // Forgets every state above except the input's source and the echo setting.
    void reset();

  private:
    struct Feed {
        std::deque<std::wstring> tokens;
        bool ranOut = false;
    };
    // The next raw answer: from the feed or the input; false at the end.
    bool nextLine(std::wstring& line, bool& echoIt);

    InputQueue m_input;
    bool m_echo = false;
    int m_inputErrors = 0;
    bool m_inputEnded = false;
    std::deque<Feed> m_feeds;
    InitGet m_initGet;
    std::wstring m_lastInput;
    AcGePoint3d m_lastPoint;
    SelectionSets m_sets;
};

// The editor of this process's host.
Editor& editor();

// Whether the command line's text ends a line (or is empty), so a prompt starts on a new line.
bool atLineStart();
// Prints to the command line.
void print(const std::wstring& text);
// The user's Enter ended the command line's last line (an answer read elsewhere, not echoed).
void noteLineEntered();

}  // namespace qv::host::ed
