#include "host/ed/SelectionFilter.h"

#include <cwctype>
#include <optional>
#include <string_view>
#include <vector>

#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbHatch.h"
#include "host/db/AcDbText.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/ed/Wildcard.h"

namespace qv::host::ed {

struct SelectionFilter::Node {
    enum Kind { Text, Number, And, Or, Xor, Not } kind = And;
    int code = 0;
    std::optional<WildcardPattern> pattern;  // Text
    std::wstring text;                       // Text: the pattern as written
    long value = 0;                          // Number
    std::wstring relation;                   // Number: "=" unless a -4 item said otherwise
    std::vector<Node> children;
};

namespace {

using Node = SelectionFilter::Node;

std::wstring upper(std::wstring s) {
    for (wchar_t& c : s) {
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    }
    return s;
}

// The name of a record, seen where the record keeps it (empty when there is none).
std::wstring_view recordName(AcDbObjectId id) {
    const auto* record = ObjectAccess::peekAs<AcDbSymbolTableRecord>(id);
    return record != nullptr ? std::wstring_view(record->qvName()) : std::wstring_view();
}

// The entity's text property of a group code, if it has one, seen where the entity (or its
// class, or the record named) keeps it: a filter run over every entity of a plan copies none.
std::optional<std::wstring_view> textOf(const AcDbEntity& entity, int code) {
    switch (code) {
        case 0:
            return std::wstring_view(entity.isA()->dxfName());
        case 1:
            if (const auto* text = AcDbText::cast(&entity)) {
                return std::wstring_view(text->textStringConst());
            }
            return std::nullopt;
        case 2:
            if (const auto* reference = AcDbBlockReference::cast(&entity)) {
                return recordName(reference->blockTableRecord());
            }
            if (const auto* hatch = AcDbHatch::cast(&entity)) {
                return std::wstring_view(hatch->patternName());
            }
            return std::nullopt;
        case 6:
            return recordName(entity.linetypeId());
        case 8:
            return recordName(entity.layerId());
        default:
            return std::nullopt;
    }
}

bool isPaperSpace(const AcDbEntity& entity) {
    return upper(std::wstring(recordName(entity.ownerId()))).rfind(L"*PAPER_SPACE", 0) == 0;
}

std::optional<long> numberOf(const AcDbEntity& entity, int code) {
    switch (code) {
        case 62:
            return static_cast<long>(entity.colorIndex());
        case 67:
            return isPaperSpace(entity) ? 1L : 0L;
        default:
            return std::nullopt;
    }
}

bool compare(long have, const std::wstring& relation, long want) {
    if (relation == L"=") {
        return have == want;
    }
    if (relation == L"!=" || relation == L"/=" || relation == L"<>") {
        return have != want;
    }
    if (relation == L"<") {
        return have < want;
    }
    if (relation == L"<=") {
        return have <= want;
    }
    if (relation == L">") {
        return have > want;
    }
    if (relation == L">=") {
        return have >= want;
    }
    return relation == L"*";
}

// Writes the node so that no two different nodes read alike: texts carry their length.
void writeKey(const Node& node, std::wstring& out) {
    switch (node.kind) {
        case Node::Text:
            out += L"T" + std::to_wstring(node.code) + L":" + std::to_wstring(node.text.size()) +
                   L":" + node.text;
            return;
        case Node::Number:
            out += L"N" + std::to_wstring(node.code) + node.relation + L":" +
                   std::to_wstring(node.value) + L";";
            return;
        case Node::And:
        case Node::Or:
        case Node::Xor:
        case Node::Not:
            out += L"(" + std::to_wstring(static_cast<int>(node.kind));
            for (const Node& child : node.children) {
                writeKey(child, out);
            }
            out += L")";
            return;
    }
}

bool isRelation(const std::wstring& s) {
    for (const wchar_t* r : {L"=", L"!=", L"/=", L"<>", L"<", L"<=", L">", L">=", L"*"}) {
        if (s == r) {
            return true;
        }
    }
    return false;
}

bool evaluate(const Node& node, const AcDbEntity& entity) {
    switch (node.kind) {
        case Node::Text: {
            const std::optional<std::wstring_view> text = textOf(entity, node.code);
            return text && node.pattern && node.pattern->matches(*text, true);
        }
        case Node::Number: {
            const std::optional<long> number = numberOf(entity, node.code);
            return number && compare(*number, node.relation, node.value);
        }
        case Node::And:
            for (const Node& child : node.children) {
                if (!evaluate(child, entity)) {
                    return false;
                }
            }
            return true;
        case Node::Or:
            for (const Node& child : node.children) {
                if (evaluate(child, entity)) {
                    return true;
                }
            }
            return false;
        case Node::Xor:
            return evaluate(node.children[0], entity) != evaluate(node.children[1], entity);
        case Node::Not:
            return !evaluate(node.children[0], entity);
    }
    return false;
}

class Parser {
  public:
    explicit Parser(const resbuf* list) : m_item(list) {}

    // Reads items up to the end of the list or the closing item `closer`.
    bool readGroup(Node& group, const std::wstring& closer) {
        while (m_item != nullptr) {
            const resbuf* item = m_item;
            m_item = m_item->rbnext;
            if (item->restype == -4) {
                const std::wstring op = upper(item->resval.rstring ? item->resval.rstring : L"");
                if (op == closer) {
                    return checkCount(group, closer);
                }
                if (isRelation(op)) {
                    m_relation = op;
                    continue;
                }
                Node inner;
                if (!openGroup(op, inner)) {
                    return false;
                }
                group.children.push_back(std::move(inner));
                continue;
            }
            Node test;
            if (!readTest(*item, test)) {
                return false;
            }
            group.children.push_back(std::move(test));
        }
        if (!closer.empty()) {
            return fail(L"the filter ends before \"" + closer + L"\"");
        }
        return true;
    }

    const std::wstring& error() const { return m_error; }

  private:
    bool fail(const std::wstring& reason) {
        m_error = reason;
        return false;
    }

    bool openGroup(const std::wstring& op, Node& inner) {
        static const struct {
            const wchar_t* open;
            const wchar_t* close;
            Node::Kind kind;
        } kGroups[] = {{L"<AND", L"AND>", Node::And},
                       {L"<OR", L"OR>", Node::Or},
                       {L"<XOR", L"XOR>", Node::Xor},
                       {L"<NOT", L"NOT>", Node::Not}};
        for (const auto& g : kGroups) {
            if (op == g.open) {
                inner.kind = g.kind;
                return readGroup(inner, g.close);
            }
        }
        return fail(L"unknown filter operator \"" + op + L"\"");
    }

    bool checkCount(const Node& group, const std::wstring& closer) {
        const size_t n = group.children.size();
        if (group.kind == Node::Not && n != 1) {
            return fail(L"\"<NOT\" takes one item");
        }
        if (group.kind == Node::Xor && n != 2) {
            return fail(L"\"<XOR\" takes two items");
        }
        if (n == 0) {
            return fail(L"an empty \"" + closer + L"\" group");
        }
        return true;
    }

    bool readTest(const resbuf& item, Node& test) {
        test.code = item.restype;
        const std::wstring relation = m_relation.empty() ? L"=" : m_relation;
        m_relation.clear();
        switch (item.restype) {
            case 0:
            case 1:
            case 2:
            case 6:
            case 8:
                if (item.resval.rstring == nullptr) {
                    return fail(L"group " + std::to_wstring(item.restype) + L" needs a text");
                }
                test.kind = Node::Text;
                test.text = item.resval.rstring;
                test.pattern.emplace(test.text);
                return true;
            case 62:
            case 67:
                test.kind = Node::Number;
                test.value = item.resval.rint;
                test.relation = relation;
                return true;
            default:
                return fail(L"group code " + std::to_wstring(item.restype) +
                            L" cannot be used in a filter here");
        }
    }

    const resbuf* m_item;
    std::wstring m_relation;
    std::wstring m_error;
};

}  // namespace

SelectionFilter::SelectionFilter() = default;
SelectionFilter::~SelectionFilter() = default;
SelectionFilter::SelectionFilter(SelectionFilter&&) noexcept = default;
SelectionFilter& SelectionFilter::operator=(SelectionFilter&&) noexcept = default;

bool SelectionFilter::parse(const resbuf* list, SelectionFilter& filter, std::wstring& error) {
    auto root = std::make_unique<Node>();
    Parser parser(list);
    if (!parser.readGroup(*root, L"")) {
        error = parser.error();
        return false;
    }
    filter.m_root = std::move(root);
    return true;
}

bool SelectionFilter::passes(const AcDbEntity& entity) const {
    return m_root == nullptr || evaluate(*m_root, entity);
}

std::wstring SelectionFilter::key() const {
    std::wstring out;
    if (m_root != nullptr) {
        writeKey(*m_root, out);
    }
    return out;
}

}  // namespace qv::host::ed
