#include "ui/DialogView.h"

#include <cwctype>

namespace qv::ui {
namespace {

using Kind = DialogAction::Kind;

struct Verb {
    const wchar_t* name;
    Kind kind;
    enum class Args { None, Control, ControlText, Command } args;
};

constexpr Verb kVerbs[] = {
    {L"set", Kind::SetText, Verb::Args::ControlText},
    {L"check", Kind::Check, Verb::Args::Control},
    {L"uncheck", Kind::Uncheck, Verb::Args::Control},
    {L"select", Kind::Select, Verb::Args::ControlText},
    {L"click", Kind::Click, Verb::Args::Control},
    {L"dblclick", Kind::DoubleClick, Verb::Args::ControlText},
    {L"menu", Kind::Menu, Verb::Args::Command},
    {L"close", Kind::Close, Verb::Args::None},
    {L"cancel", Kind::Cancel, Verb::Args::None},
    {L"esc", Kind::Cancel, Verb::Args::None},
    {L"^c", Kind::Cancel, Verb::Args::None},
    {L"\x1b", Kind::Cancel, Verb::Args::None},
    {L"enter", Kind::Enter, Verb::Args::None},
    {L"show", Kind::Show, Verb::Args::None},
};

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// A non-negative decimal number that fits an int.
bool readNumber(const std::wstring& s, int& value) {
    if (s.empty() || s.size() > 9) {
        return false;
    }
    value = 0;
    for (wchar_t c : s) {
        if (c < L'0' || c > L'9') {
            return false;
        }
        value = value * 10 + (c - L'0');
    }
    return true;
}

bool fail(CString* error, const CString& why) {
    if (error) {
        *error = why;
    }
    return false;
}

bool readAddress(const std::wstring& s, DialogAction& a, CString* error) {
    const auto colon = s.find(L':');
    int page = 0, id = 0;
    const bool ok = colon == std::wstring::npos ? readNumber(s, id)
                                                : readNumber(s.substr(0, colon), page) &&
                                                      readNumber(s.substr(colon + 1), id);
    if (!ok) {
        return fail(error, L"\"" + CString(s) + L"\" is no control id (ID or PAGE:ID).");
    }
    a.control = id;
    a.page = static_cast<UINT>(page);
    return true;
}

// The rest of a line as a text: without surrounding quotes when it has them.
CString unquote(const std::wstring& rest) {
    if (rest.size() >= 2 && rest.front() == L'"' && rest.back() == L'"') {
        return CString(rest.substr(1, rest.size() - 2));
    }
    return CString(rest);
}

CString quoted(const CString& s) {
    CString q = s;
    q.Replace(L"\r", L"\\r");
    q.Replace(L"\n", L"\\n");
    return L"\"" + q + L"\"";
}

CString joinItems(const std::vector<CString>& items) {
    CString s;
    for (std::size_t i = 0; i < items.size(); ++i) {
        s += (i ? L", " : L"") + quoted(items[i]);
    }
    return s;
}

// Top-level entries are separated by " | ", the items of a popup by ", ".
CString menuText(const std::vector<MenuItemView>& items, const wchar_t* separator) {
    CString s;
    for (const MenuItemView& m : items) {
        if (!s.IsEmpty()) {
            s += separator;
        }
        if (m.separator) {
            s += L"-";
            continue;
        }
        s += withoutAccessKeys(m.text);
        if (!m.items.empty() || m.id == 0) {
            s += L" [" + menuText(m.items, L", ") + L"]";
        } else {
            s.AppendFormat(L" %u", m.id);
        }
        if (m.checked) {
            s += L" (checked)";
        }
        if (!m.enabled) {
            s += L" (disabled)";
        }
    }
    return s;
}

CString controlLine(const ControlView& c) {
    CString line = L"  ";
    if (c.id == -1) {
        line += L"-";
    } else if (c.page) {
        line.AppendFormat(L"%u:%d", c.page, c.id);
    } else {
        line.AppendFormat(L"%d", c.id);
    }
    line += L" " + c.kind;
    if (!c.label.IsEmpty()) {
        line += L" " + quoted(withoutAccessKeys(c.label));
    }
    if (c.kind == L"edit" || (c.kind == L"static" && c.id != -1)) {
        line += L": " + quoted(c.text);
    } else if (c.kind == L"checkbox" || c.kind == L"radio") {
        static const wchar_t* const kStates[] = {L"unchecked", L"checked", L"indeterminate"};
        line += L": ";
        line += kStates[c.check >= 0 && c.check <= 2 ? c.check : 0];
    } else if (c.kind == L"combo" || c.kind == L"tab") {
        line += L": " + quoted(c.text) + L" of " + joinItems(c.items);
    } else if (c.kind == L"list") {
        line.AppendFormat(L": %d items", static_cast<int>(c.items.size()));
        if (c.selected >= 0) {
            line.AppendFormat(L", selected %d", c.selected);
        }
    }
    CString states;
    if (!c.enabled) {
        states += L", disabled";
    }
    if (c.readOnly) {
        states += L", read-only";
    }
    if (c.numeric) {
        states += L", digits only";
    }
    if (c.isDefault) {
        states += L", default";
    }
    if (!states.IsEmpty()) {
        line += L" (" + states.Mid(2) + L")";
    }
    return line;
}

}  // namespace

const ControlView* DialogView::control(int id, UINT page) const {
    const ControlView* any = nullptr;
    for (const ControlView& c : controls) {
        if (c.id != id || (page && c.page != page)) {
            continue;
        }
        if (c.visible) {
            return &c;
        }
        if (!any) {
            any = &c;
        }
    }
    return any;
}

std::optional<DialogAction> parseDialogAction(const CString& line, CString* error) {
    std::wstring s = line.str();
    while (!s.empty() && isBlank(s.back())) {
        s.pop_back();
    }
    std::size_t b = 0;
    while (b < s.size() && isBlank(s[b])) {
        ++b;
    }
    s.erase(0, b);
    const auto end = s.find_first_of(L" \t");
    CString verb(s.substr(0, end));
    std::wstring rest = end == std::wstring::npos ? std::wstring() : s.substr(end + 1);
    while (!rest.empty() && isBlank(rest.front())) {
        rest.erase(0, 1);
    }
    verb.MakeLower();

    for (const Verb& v : kVerbs) {
        if (verb != v.name) {
            continue;
        }
        DialogAction a;
        a.kind = v.kind;
        switch (v.args) {
            case Verb::Args::None:
                if (!rest.empty()) {
                    fail(error, verb + L" takes nothing after it.");
                    return std::nullopt;
                }
                return a;
            case Verb::Args::Command: {
                int id = 0;
                if (!readNumber(rest, id)) {
                    fail(error, L"menu needs a command id.");
                    return std::nullopt;
                }
                a.command = static_cast<UINT>(id);
                return a;
            }
            case Verb::Args::Control:
            case Verb::Args::ControlText: {
                const auto gap = rest.find_first_of(L" \t");
                const std::wstring address = rest.substr(0, gap);
                std::wstring text =
                    gap == std::wstring::npos ? std::wstring() : rest.substr(gap + 1);
                if (address.empty()) {
                    fail(error, verb + L" needs a control id.");
                    return std::nullopt;
                }
                if (!readAddress(address, a, error)) {
                    return std::nullopt;
                }
                if (v.args == Verb::Args::Control && !text.empty()) {
                    fail(error, verb + L" takes only a control id.");
                    return std::nullopt;
                }
                while (!text.empty() && isBlank(text.front())) {
                    text.erase(0, 1);
                }
                if (v.args == Verb::Args::ControlText && v.kind != Kind::SetText && text.empty()) {
                    fail(error, verb + L" needs an item after the control id.");
                    return std::nullopt;
                }
                a.text = unquote(text);
                return a;
            }
        }
    }
    fail(error, L"Unknown dialog action \"" + verb +
                    L"\": use set, check, uncheck, select, click, dblclick, menu, close, cancel, "
                    L"enter or show.");
    return std::nullopt;
}

std::vector<CString> formatDialog(const DialogView& view) {
    std::vector<CString> lines;
    CString head = L"Dialog " + quoted(view.caption);
    head.AppendFormat(L" (%u)", view.templateId);
    lines.push_back(head);
    if (!view.menu.empty()) {
        lines.push_back(L"  Menu: " + menuText(view.menu, L" | "));
    }
    for (const ControlView& c : view.controls) {
        if (!c.visible || c.isLabel) {
            continue;
        }
        lines.push_back(controlLine(c));
        if (c.kind == L"list") {
            for (std::size_t i = 0; i < c.items.size(); ++i) {
                CString item;
                item.Format(L"    %d %s", static_cast<int>(i), quoted(c.items[i]));
                lines.push_back(item);
            }
        }
    }
    return lines;
}

CString withoutAccessKeys(const CString& caption) {
    CString out;
    const std::wstring& s = caption.str();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != L'&') {
            out += s[i];
        } else if (i + 1 < s.size()) {
            out += s[++i];  // "&x" shows x, "&&" shows &
        }
    }
    return out;
}

}  // namespace qv::ui
