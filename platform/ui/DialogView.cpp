#include "ui/DialogView.h"

#include "win32/CodePage.h"

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
    {L"paste", Kind::Paste, Verb::Args::ControlText},
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

bool fail(std::wstring* error, const std::wstring& why) {
    if (error) {
        *error = why;
    }
    return false;
}

// Whether an address is meant as a number (ID or PAGE:ID) rather than a label.
bool looksNumeric(const std::wstring& s) {
    const size_t first = s.find_first_not_of(L"-");
    return first != std::wstring::npos && s[first] >= L'0' && s[first] <= L'9';
}

bool readAddress(const std::wstring& s, DialogAction& a, std::wstring* error) {
    if (!looksNumeric(s)) {
        a.label = s;
        return true;
    }
    const auto colon = s.find(L':');
    int page = 0, id = 0;
    const bool ok = colon == std::wstring::npos ? readNumber(s, id)
                                                : readNumber(s.substr(0, colon), page) &&
                                                      readNumber(s.substr(colon + 1), id);
    if (!ok) {
        return fail(error, L"\"" + s + L"\" is no control id (ID or PAGE:ID).");
    }
    a.control = id;
    a.page = static_cast<UINT>(page);
    return true;
}

// The rest of a line as a text: without surrounding quotes when it has them.
std::wstring unquote(const std::wstring& rest) {
    if (rest.size() >= 2 && rest.front() == L'"' && rest.back() == L'"') {
        return rest.substr(1, rest.size() - 2);
    }
    return rest;
}

// In double quotes, with carriage returns and line feeds shown as \r and \n.
std::wstring quoted(std::wstring_view s) {
    std::wstring q = L"\"";
    for (wchar_t c : s) {
        if (c == L'\r') {
            q += L"\\r";
        } else if (c == L'\n') {
            q += L"\\n";
        } else {
            q += c;
        }
    }
    return q + L"\"";
}

std::wstring joinItems(const std::vector<std::wstring>& items) {
    std::wstring s;
    for (std::size_t i = 0; i < items.size(); ++i) {
        s += (i ? L", " : L"") + quoted(items[i]);
    }
    return s;
}

// A text without the blanks that end it (a list item padded to its columns, a label).
std::wstring trimmedEnd(std::wstring_view item) {
    while (!item.empty() && isBlank(item.back())) {
        item.remove_suffix(1);
    }
    return std::wstring(item);
}

// Top-level entries are separated by " | ", the items of a popup by ", ".
std::wstring menuText(const std::vector<MenuItemView>& items, const wchar_t* separator) {
    std::wstring s;
    for (const MenuItemView& m : items) {
        if (!s.empty()) {
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
            s += L" " + std::to_wstring(m.id);
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

std::wstring controlLine(const ControlView& c) {
    std::wstring line = L"  ";
    if (c.id == -1) {
        line += L"-";
    } else if (c.page) {
        line += std::to_wstring(c.page) + L":" + std::to_wstring(c.id);
    } else {
        line += std::to_wstring(c.id);
    }
    line += L" " + c.kind;
    if (!c.label.empty()) {
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
        line += L": " + std::to_wstring(c.items.size()) + L" items";
        if (c.selected >= 0) {
            line += L", selected " + std::to_wstring(c.selected);
        }
    }
    std::wstring states;
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
    if (!states.empty()) {
        line += L" (" + states.substr(2) + L")";
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

std::optional<DialogAction> parseDialogAction(std::wstring_view line, std::wstring* error) {
    std::wstring s(line);
    while (!s.empty() && isBlank(s.back())) {
        s.pop_back();
    }
    std::size_t b = 0;
    while (b < s.size() && isBlank(s[b])) {
        ++b;
    }
    s.erase(0, b);
    const auto end = s.find_first_of(L" \t");
    const std::wstring verb = toLower(s.substr(0, end));
    std::wstring rest = end == std::wstring::npos ? std::wstring() : s.substr(end + 1);
    while (!rest.empty() && isBlank(rest.front())) {
        rest.erase(0, 1);
    }

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
                // A label in double quotes may hold blanks; so may the whole rest of a line
                // that names only a control by its label ("click Pick Block").
                const bool quotedLabel = rest.size() > 1 && rest.front() == L'"' &&
                                         rest.find(L'"', 1) != std::wstring::npos;
                auto gap = quotedLabel ? rest.find(L'"', 1) + 1 : rest.find_first_of(L" \t");
                if (!quotedLabel && v.args == Verb::Args::Control && !looksNumeric(rest)) {
                    gap = std::wstring::npos;
                }
                std::wstring address = rest.substr(0, gap);
                if (quotedLabel) {
                    address = address.substr(1, address.size() - 2);
                    if (address.empty()) {
                        fail(error, verb + L" needs a control id or label.");
                        return std::nullopt;
                    }
                }
                std::wstring text =
                    gap == std::wstring::npos ? std::wstring() : rest.substr(gap);
                if (address.empty()) {
                    fail(error, verb + L" needs a control id.");
                    return std::nullopt;
                }
                if (quotedLabel) {
                    a.label = address;
                } else if (!readAddress(address, a, error)) {
                    return std::nullopt;
                }
                if (v.args == Verb::Args::Control && !text.empty()) {
                    fail(error, verb + L" takes only a control id.");
                    return std::nullopt;
                }
                while (!text.empty() && isBlank(text.front())) {
                    text.erase(0, 1);
                }
                const bool bText = v.kind == Kind::SetText || v.kind == Kind::Paste;
                if (v.args == Verb::Args::ControlText && !bText && text.empty()) {
                    fail(error, verb + L" needs an item after the control id.");
                    return std::nullopt;
                }
                a.text = unquote(text);
                return a;
            }
        }
    }
    fail(error, L"Unknown dialog action \"" + verb +
                    L"\": use set, paste, check, uncheck, select, click, dblclick, menu, close, "
                    L"cancel, enter or show.");
    return std::nullopt;
}

namespace {

// A label as it is matched: without access keys, blanks at the ends, a closing colon or "...".
std::wstring labelKey(std::wstring_view label) {
    std::wstring key = trimmedEnd(withoutAccessKeys(label));
    for (const std::wstring_view end : {std::wstring_view(L"..."), std::wstring_view(L":")}) {
        if (key.size() > end.size() && key.compare(key.size() - end.size(), end.size(), end) == 0) {
            key.resize(key.size() - end.size());
        }
    }
    const size_t start = key.find_first_not_of(L" \t");
    return start == std::wstring::npos ? std::wstring() : key.substr(start);
}

}  // namespace

bool resolveLabel(const DialogView& view, DialogAction& action, std::wstring* error) {
    if (action.label.empty()) {
        return true;
    }
    const std::wstring wanted = labelKey(action.label);
    std::vector<const ControlView*> exact, loose;
    for (const ControlView& c : view.controls) {
        if (!c.visible || c.isLabel || c.id == -1 || c.label.empty()) {
            continue;
        }
        const std::wstring key = labelKey(c.label);
        if (key == wanted) {
            exact.push_back(&c);
        } else if (equalsIgnoringCase(key, wanted)) {
            loose.push_back(&c);
        }
    }
    const std::vector<const ControlView*>& found = exact.empty() ? loose : exact;
    if (found.size() != 1) {
        std::wstring ids;
        for (const ControlView* c : found) {
            ids += (ids.empty() ? L"" : L", ") +
                   (c->page ? std::to_wstring(c->page) + L":" : std::wstring()) +
                   std::to_wstring(c->id);
        }
        return fail(error, found.empty()
                               ? L"No control is labelled " + quoted(action.label) + L"."
                               : L"Several controls are labelled " + quoted(action.label) +
                                     L" (" + ids + L"): give the id.");
    }
    action.control = found.front()->id;
    action.page = found.front()->page;
    action.label.clear();
    return true;
}

std::vector<std::wstring> formatDialog(const DialogView& view) {
    std::vector<std::wstring> lines;
    lines.push_back(L"Dialog " + quoted(view.caption) + L" (" + std::to_wstring(view.templateId) +
                    L")");
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
                lines.push_back(L"    " + std::to_wstring(i) + L" " +
                                quoted(shownItemText(c.items[i])));
            }
        }
    }
    return lines;
}

std::wstring shownItemText(std::wstring_view item) {
    const std::size_t gap = item.find(std::wstring(kHiddenGap, L' '));
    return trimmedEnd(item.substr(0, gap));
}

std::wstring withoutAccessKeys(std::wstring_view caption) {
    std::wstring out;
    const std::wstring_view s = caption;
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
