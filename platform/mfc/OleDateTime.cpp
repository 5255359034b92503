#include "mfc/OleDateTime.h"

#include <cmath>
#include <cwchar>
#include <string>
#include <vector>

#include "mfc/TimeFormat.h"
#include "win32/Clock.h"
#include "win32/CodePage.h"

namespace {

// Whether a day exists in the range of dates.
bool isDay(int year, int month, int day) {
    DATE unused = 0;
    return qv::com::dateFromParts({year, month, day, 0, 0, 0}, unused);
}

const CString kInvalidText = L"Invalid DateTime";

// --- parsing ---

struct Token {
    enum Kind { Number, Word, Colon, DateSeparator };
    explicit Token(Kind k) : kind(k) {}
    Kind kind;
    long value = 0;
    int digits = 0;
    std::wstring word;
};

bool tokenize(const wchar_t* text, std::vector<Token>& tokens) {
    for (const wchar_t* p = text; *p;) {
        const wchar_t c = *p;
        if (c == L' ' || c == L'\t' || c == L',') {
            ++p;
        } else if (c >= L'0' && c <= L'9') {
            Token t(Token::Number);
            while (*p >= L'0' && *p <= L'9') {
                if (++t.digits > 9) {
                    return false;
                }
                t.value = t.value * 10 + (*p++ - L'0');
            }
            tokens.push_back(t);
        } else if (qv::toLowerChar(c) >= L'a' && qv::toLowerChar(c) <= L'z') {
            Token t(Token::Word);
            while (qv::toLowerChar(*p) >= L'a' && qv::toLowerChar(*p) <= L'z') {
                t.word += qv::toLowerChar(*p++);
            }
            tokens.push_back(t);
        } else if (c == L':') {
            tokens.emplace_back(Token::Colon);
            ++p;
        } else if (c == L'/' || c == L'-' || c == L'.') {
            // A period after a word ends an abbreviation; elsewhere it separates date numbers.
            if (!(c == L'.' && !tokens.empty() && tokens.back().kind == Token::Word)) {
                tokens.emplace_back(Token::DateSeparator);
            }
            ++p;
        } else {
            return false;
        }
    }
    return true;
}

int monthOf(const std::wstring& word) {
    if (word.size() < 3) {
        return 0;
    }
    for (int m = 1; m <= 12; ++m) {
        const std::wstring name = qv::toLower(qv::monthName(m));
        if (word == name ||
            (word.size() <= name.size() && name.compare(0, word.size(), word) == 0 &&
             (word.size() == 3 || word == L"sept"))) {
            return m;
        }
    }
    return 0;
}

bool isWeekday(const std::wstring& word) {
    for (int d = 0; d < 7; ++d) {
        const std::wstring name = qv::toLower(qv::weekdayName(d));
        if (word == name || (word.size() == 3 && name.compare(0, 3, word) == 0)) {
            return true;
        }
    }
    return false;
}

int meridiem(const Token& t) {
    if (t.kind != Token::Word) {
        return 0;
    }
    if (t.word == L"am" || t.word == L"a") {
        return 1;
    }
    if (t.word == L"pm" || t.word == L"p") {
        return 2;
    }
    return 0;
}

// Takes the time out of the tokens. False when a time is malformed.
bool takeTime(std::vector<Token>& tokens, bool& found, int& hour, int& minute, int& second) {
    found = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != Token::Number) {
            continue;
        }
        std::size_t end = i + 1;
        long h = tokens[i].value, m = 0, s = 0;
        bool isTime = false;
        if (end + 1 < tokens.size() && tokens[end].kind == Token::Colon &&
            tokens[end + 1].kind == Token::Number) {
            m = tokens[end + 1].value;
            end += 2;
            isTime = true;
            if (end + 1 < tokens.size() && tokens[end].kind == Token::Colon &&
                tokens[end + 1].kind == Token::Number) {
                s = tokens[end + 1].value;
                end += 2;
            }
        }
        int ampm = end < tokens.size() ? meridiem(tokens[end]) : 0;
        if (ampm) {
            isTime = true;
            ++end;
        }
        if (!isTime) {
            continue;
        }
        if (found) {
            return false;  // two times
        }
        if (ampm) {
            h = qv::com::hourOfDay(static_cast<int>(h), ampm == 2);
        }
        if (h < 0 || h > 23 || m > 59 || s > 59) {
            return false;
        }
        hour = static_cast<int>(h);
        minute = static_cast<int>(m);
        second = static_cast<int>(s);
        found = true;
        tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i),
                     tokens.begin() + static_cast<std::ptrdiff_t>(end));
        --i;
    }
    return true;
}

int fullYear(const Token& t) {
    const auto value = static_cast<int>(t.value);
    return t.digits <= 2 ? qv::com::fullYear(value) : value;
}

bool monthDayYearOrSwap(int& month, int& day, int year) {
    if (isDay(year, month, day)) {
        return true;
    }
    if (isDay(year, day, month)) {
        std::swap(month, day);
        return true;
    }
    return false;
}

// Reads the date out of the tokens left after the time. False when there is none or it is bad.
bool takeDate(const std::vector<Token>& tokens, bool& found, int& year, int& month, int& day) {
    found = false;
    std::vector<Token> numbers;
    int namedMonth = 0;
    bool lastWasNumber = false;
    bool pendingSeparator = false;
    for (const auto& t : tokens) {
        switch (t.kind) {
            case Token::Number:
                numbers.push_back(t);
                lastWasNumber = true;
                pendingSeparator = false;
                break;
            case Token::DateSeparator:
                if (!lastWasNumber && !namedMonth) {
                    return false;
                }
                pendingSeparator = true;
                lastWasNumber = false;
                break;
            case Token::Word:
                if (isWeekday(t.word)) {
                    break;
                }
                if (const int m = monthOf(t.word); m && !namedMonth) {
                    namedMonth = m;
                    lastWasNumber = false;
                    pendingSeparator = false;
                    break;
                }
                return false;
            case Token::Colon:
                return false;
        }
    }
    if (pendingSeparator) {
        return false;
    }
    const int thisYear = qv::clock().now().year;
    if (namedMonth) {
        month = namedMonth;
        if (numbers.size() == 2) {
            const bool firstIsYear = numbers[0].digits >= 3 || numbers[0].value > 31;
            year = fullYear(firstIsYear ? numbers[0] : numbers[1]);
            day = static_cast<int>((firstIsYear ? numbers[1] : numbers[0]).value);
        } else if (numbers.size() == 1) {
            if (numbers[0].digits >= 3 || numbers[0].value > 31) {
                year = fullYear(numbers[0]);
                day = 1;
            } else {
                year = thisYear;
                day = static_cast<int>(numbers[0].value);
            }
        } else {
            return false;
        }
        found = true;
        return isDay(year, month, day);
    }
    if (numbers.empty()) {
        return true;
    }
    if (numbers.size() == 3) {
        if (numbers[0].digits >= 3) {
            year = static_cast<int>(numbers[0].value);
            month = static_cast<int>(numbers[1].value);
            day = static_cast<int>(numbers[2].value);
            found = true;
            return isDay(year, month, day);
        }
        month = static_cast<int>(numbers[0].value);
        day = static_cast<int>(numbers[1].value);
        year = fullYear(numbers[2]);
    } else if (numbers.size() == 2) {
        if (numbers[1].digits >= 3 || numbers[0].digits >= 3) {
            const bool yearFirst = numbers[0].digits >= 3;
            year = static_cast<int>(numbers[yearFirst ? 0 : 1].value);
            month = static_cast<int>(numbers[yearFirst ? 1 : 0].value);
            day = 1;
        } else {
            month = static_cast<int>(numbers[0].value);
            day = static_cast<int>(numbers[1].value);
            year = thisYear;
        }
    } else {
        return false;
    }
    found = true;
    return monthDayYearOrSwap(month, day, year);
}

}  // namespace

// --- COleDateTimeSpan ---

void COleDateTimeSpan::SetDateTimeSpan(LONG days, int hours, int minutes, int seconds) {
    m_span = days + hours / 24.0 + minutes / 1440.0 + seconds / 86400.0;
    m_status = valid;
}

long long COleDateTimeSpan::totalSeconds() const {
    return std::llround(m_span * 86400.0);
}

LONG COleDateTimeSpan::GetDays() const {
    return static_cast<LONG>(totalSeconds() / 86400);
}
LONG COleDateTimeSpan::GetHours() const {
    return static_cast<LONG>(totalSeconds() / 3600 % 24);
}
LONG COleDateTimeSpan::GetMinutes() const {
    return static_cast<LONG>(totalSeconds() / 60 % 60);
}
LONG COleDateTimeSpan::GetSeconds() const {
    return static_cast<LONG>(totalSeconds() % 60);
}

CString COleDateTimeSpan::Format(LPCTSTR format) const {
    if (!format || m_status != valid) {
        return CString();
    }
    return CString(qv::formatSpan(format, GetDays(), GetHours(), GetMinutes(), GetSeconds()));
}

COleDateTimeSpan COleDateTimeSpan::operator+(const COleDateTimeSpan& other) const {
    COleDateTimeSpan r(m_span + other.m_span);
    if (m_status != valid || other.m_status != valid) {
        r.m_status = (m_status == invalid || other.m_status == invalid) ? invalid : null;
    }
    return r;
}

COleDateTimeSpan COleDateTimeSpan::operator-(const COleDateTimeSpan& other) const {
    return *this + (-other);
}

COleDateTimeSpan COleDateTimeSpan::operator-() const {
    COleDateTimeSpan r(-m_span);
    r.m_status = m_status;
    return r;
}

bool COleDateTimeSpan::operator==(const COleDateTimeSpan& other) const {
    return m_status == other.m_status && m_span == other.m_span;
}

// --- COleDateTime ---

COleDateTime COleDateTime::GetCurrentTime() {
    const qv::LocalTime now = qv::clock().now();
    return COleDateTime(now.year, now.month, now.day, now.hour, now.minute, now.second);
}

COleDateTime::COleDateTime(DATE date) {
    *this = date;
}
COleDateTime::COleDateTime(std::time_t time) {
    *this = time;
}
COleDateTime::COleDateTime(const SYSTEMTIME& time) {
    *this = time;
}

COleDateTime& COleDateTime::operator=(DATE date) {
    m_dt = date;
    m_status = qv::com::validDate(date) ? valid : invalid;
    return *this;
}

COleDateTime& COleDateTime::operator=(std::time_t time) {
    std::tm tm{};
    if (time < 0 || !localtime_r(&time, &tm)) {
        m_status = invalid;
        return *this;
    }
    SetDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return *this;
}

COleDateTime& COleDateTime::operator=(const SYSTEMTIME& time) {
    SetDateTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
    return *this;
}

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
    if (!qv::com::dateFromParts({year, month, day, hour, minute, second}, m_dt)) {
        m_status = invalid;
        return 1;
    }
    m_status = valid;
    return 0;
}

bool COleDateTime::parts(qv::com::DateParts& out) const {
    return m_status == valid && qv::com::partsFromDate(m_dt, out);
}

int COleDateTime::GetYear() const {
    qv::com::DateParts p;
    return parts(p) ? p.year : AFX_OLE_DATETIME_ERROR;
}
int COleDateTime::GetMonth() const {
    qv::com::DateParts p;
    return parts(p) ? p.month : AFX_OLE_DATETIME_ERROR;
}
int COleDateTime::GetDay() const {
    qv::com::DateParts p;
    return parts(p) ? p.day : AFX_OLE_DATETIME_ERROR;
}
int COleDateTime::GetHour() const {
    qv::com::DateParts p;
    return parts(p) ? p.hour : AFX_OLE_DATETIME_ERROR;
}
int COleDateTime::GetMinute() const {
    qv::com::DateParts p;
    return parts(p) ? p.minute : AFX_OLE_DATETIME_ERROR;
}
int COleDateTime::GetSecond() const {
    qv::com::DateParts p;
    return parts(p) ? p.second : AFX_OLE_DATETIME_ERROR;
}
int COleDateTime::GetDayOfWeek() const {
    qv::com::DateParts p;
    if (!parts(p)) {
        return AFX_OLE_DATETIME_ERROR;
    }
    return qv::dayOfWeek(p.year, p.month, p.day) + 1;
}
int COleDateTime::GetDayOfYear() const {
    qv::com::DateParts p;
    if (!parts(p)) {
        return AFX_OLE_DATETIME_ERROR;
    }
    return qv::makeTimeFields(p.year, p.month, p.day, 0, 0, 0).dayOfYear + 1;
}

bool COleDateTime::GetAsSystemTime(SYSTEMTIME& out) const {
    qv::com::DateParts p;
    if (!parts(p)) {
        return false;
    }
    out = qv::systemTime(p.year, p.month, p.day, p.hour, p.minute, p.second);
    return true;
}

bool COleDateTime::ParseDateTime(LPCTSTR text, DWORD flags, LCID) {
    std::vector<Token> tokens;
    bool timeFound = false, dateFound = false;
    qv::com::DateParts p;
    const bool ok = text && tokenize(text, tokens) && !tokens.empty() &&
                    takeTime(tokens, timeFound, p.hour, p.minute, p.second) &&
                    takeDate(tokens, dateFound, p.year, p.month, p.day) && (timeFound || dateFound);
    if (ok && (!dateFound || (flags & VAR_TIMEVALUEONLY))) {
        p.year = 1899;
        p.month = 12;
        p.day = 30;
    }
    if (flags & VAR_DATEVALUEONLY) {
        p.hour = p.minute = p.second = 0;
    }
    if (!ok || !qv::com::dateFromParts(p, m_dt)) {
        m_dt = 0;
        m_status = invalid;
        return false;
    }
    m_status = valid;
    return true;
}

CString COleDateTime::Format(DWORD flags, LCID) const {
    if (m_status == null) {
        return CString();
    }
    if (m_status != valid || !qv::com::validDate(m_dt)) {
        return kInvalidText;
    }
    return CString(qv::com::formatDate(m_dt, flags));
}

CString COleDateTime::Format(LPCTSTR format) const {
    if (m_status == null) {
        return CString();
    }
    qv::com::DateParts p;
    if (!parts(p)) {
        return kInvalidText;
    }
    if (!format) {
        return CString();
    }
    qv::TimeFields f = qv::makeTimeFields(p.year, p.month, p.day, p.hour, p.minute, p.second);
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    if (localtime_r(&now, &tm)) {
        qv::setZone(f, tm);
    }
    return CString(qv::formatTime(format, f));
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& span) const {
    COleDateTime r;
    if (m_status != valid || span.m_status != COleDateTimeSpan::valid) {
        r.m_status =
            (m_status == invalid || span.m_status == COleDateTimeSpan::invalid) ? invalid : null;
        return r;
    }
    r = qv::com::dateFromLinearDays(qv::com::linearDays(m_dt) + span.m_span);
    return r;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& span) const {
    return *this + (-span);
}

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& other) const {
    COleDateTimeSpan r;
    if (m_status != valid || other.m_status != valid) {
        r.m_status = (m_status == invalid || other.m_status == invalid) ? COleDateTimeSpan::invalid
                                                                        : COleDateTimeSpan::null;
        return r;
    }
    r.m_span = qv::com::linearDays(m_dt) - qv::com::linearDays(other.m_dt);
    return r;
}

bool COleDateTime::operator==(const COleDateTime& other) const {
    return m_status == other.m_status &&
           qv::com::linearDays(m_dt) == qv::com::linearDays(other.m_dt);
}

bool COleDateTime::operator<(const COleDateTime& other) const {
    return qv::com::linearDays(m_dt) < qv::com::linearDays(other.m_dt);
}
