#include "host/ed/CommandStack.h"

#include <algorithm>
#include <cwctype>

#include "host/db/SymbolTables.h"

QV_RX_DEFINE_MEMBERS(AcEdCommand, AcRxObject, L"")
QV_RX_DEFINE_MEMBERS(AcEdCommandStack, AcRxObject, L"")

namespace {

bool validName(const ACHAR* name) {
    if (name == nullptr || name[0] == 0) {
        return false;
    }
    for (const ACHAR* c = name; *c != 0; ++c) {
        if (std::iswspace(static_cast<wint_t>(*c)) || std::iswcntrl(static_cast<wint_t>(*c))) {
            return false;
        }
    }
    return true;
}

bool sameName(const std::wstring& a, const ACHAR* b) {
    return b != nullptr && qv::host::foldName(a) == qv::host::foldName(b);
}

}  // namespace

AcEdCommand::AcEdCommand(const ACHAR* globalName, const ACHAR* localName, Adesk::Int32 flags,
                         AcRxFunctionPtr handler, AcEdUIContext* context, int functionCode,
                         HINSTANCE resourceHandle)
    : m_global(globalName),
      m_local(localName),
      m_flags(flags),
      m_handler(handler),
      m_context(context),
      m_functionCode(functionCode),
      m_resource(resourceHandle) {}

bool AcEdCommandIterator::done() const {
    return m_index >= m_entries.size();
}

bool AcEdCommandIterator::next() {
    if (!done()) {
        ++m_index;
    }
    return !done();
}

const AcEdCommand* AcEdCommandIterator::command() const {
    return done() ? nullptr : m_entries[m_index].command;
}

const ACHAR* AcEdCommandIterator::commandGroup() const {
    return done() ? nullptr : m_entries[m_index].group.c_str();
}

AcEdCommandStack::AcEdCommandStack() = default;
AcEdCommandStack::~AcEdCommandStack() = default;

AcEdCommandStack::Group* AcEdCommandStack::findGroup(const ACHAR* name) {
    for (Group& g : m_groups) {
        if (sameName(g.name, name)) {
            return &g;
        }
    }
    return nullptr;
}

Acad::ErrorStatus AcEdCommandStack::addCommand(const ACHAR* group, const ACHAR* globalName,
                                               const ACHAR* localName, Adesk::Int32 flags,
                                               AcRxFunctionPtr handler, AcEdUIContext* context,
                                               int functionCode, HINSTANCE resourceHandle,
                                               AcEdCommand** commandBack) {
    if (commandBack != nullptr) {
        *commandBack = nullptr;
    }
    if (!validName(group) || !validName(globalName) || !validName(localName) ||
        handler == nullptr) {
        return Acad::eInvalidInput;
    }
    Group* g = findGroup(group);
    if (g != nullptr) {
        for (const auto& c : g->commands) {
            if (sameName(c->globalName(), globalName) || sameName(c->localName(), localName)) {
                return Acad::eDuplicateKey;
            }
        }
    } else {
        m_groups.push_back(Group{group, {}});
        g = &m_groups.back();
    }
    g->commands.push_back(std::make_unique<AcEdCommand>(globalName, localName, flags, handler,
                                                        context, functionCode, resourceHandle));
    if (commandBack != nullptr) {
        *commandBack = g->commands.back().get();
    }
    return Acad::eOk;
}

AcEdCommand* AcEdCommandStack::lookupGlobalCmd(const ACHAR* name) const {
    return lookupCmd(name, true);
}

AcEdCommand* AcEdCommandStack::lookupLocalCmd(const ACHAR* name) const {
    return lookupCmd(name, false);
}

AcEdCommand* AcEdCommandStack::lookupCmd(const ACHAR* name, bool global, bool allGroups,
                                         bool skipUndefined) const {
    if (name == nullptr) {
        return nullptr;
    }
    for (auto g = m_groups.rbegin(); g != m_groups.rend(); ++g) {
        for (const auto& c : g->commands) {
            if ((skipUndefined && c->isUndefined())) {
                continue;
            }
            if (sameName(global ? c->globalName() : c->localName(), name)) {
                return c.get();
            }
        }
        if (!allGroups) {
            break;
        }
    }
    return nullptr;
}

const ACHAR* AcEdCommandStack::groupOf(const AcEdCommand* command) const {
    for (const Group& g : m_groups) {
        for (const auto& c : g.commands) {
            if (c.get() == command) {
                return g.name.c_str();
            }
        }
    }
    return nullptr;
}

Acad::ErrorStatus AcEdCommandStack::removeCmd(const ACHAR* group, const ACHAR* globalName) {
    Group* g = findGroup(group);
    if (g == nullptr) {
        return Acad::eKeyNotFound;
    }
    const auto found = std::find_if(g->commands.begin(), g->commands.end(), [&](const auto& c) {
        return sameName(c->globalName(), globalName);
    });
    if (found == g->commands.end()) {
        return Acad::eKeyNotFound;
    }
    g->commands.erase(found);
    return Acad::eOk;
}

Acad::ErrorStatus AcEdCommandStack::removeGroup(const ACHAR* group) {
    const auto found = std::find_if(m_groups.begin(), m_groups.end(),
                                    [&](const Group& g) { return sameName(g.name, group); });
    if (found == m_groups.end()) {
        return Acad::eKeyNotFound;
    }
    m_groups.erase(found);
    return Acad::eOk;
}

Acad::ErrorStatus AcEdCommandStack::popGroupToTop(const ACHAR* group) {
    const auto found = std::find_if(m_groups.begin(), m_groups.end(),
                                    [&](const Group& g) { return sameName(g.name, group); });
    if (found == m_groups.end()) {
        return Acad::eKeyNotFound;
    }
    std::rotate(found, found + 1, m_groups.end());
    return Acad::eOk;
}

AcEdCommandIterator* AcEdCommandStack::iterator() const {
    std::vector<AcEdCommandIterator::Entry> entries;
    for (auto g = m_groups.rbegin(); g != m_groups.rend(); ++g) {
        for (const auto& c : g->commands) {
            entries.push_back({g->name, c.get()});
        }
    }
    return new AcEdCommandIterator(std::move(entries));
}

std::vector<std::wstring> AcEdCommandStack::qvRemoveCommands(
    const std::function<bool(const AcEdCommand&)>& which) {
    std::vector<std::wstring> removed;
    for (Group& g : m_groups) {
        std::erase_if(g.commands, [&](const auto& c) {
            if (!which(*c)) {
                return false;
            }
            removed.push_back(c->globalName());
            return true;
        });
    }
    std::erase_if(m_groups, [](const Group& g) { return g.commands.empty(); });
    return removed;
}

std::vector<std::wstring> AcEdCommandStack::qvGroupNames() const {
    std::vector<std::wstring> names;
    for (auto g = m_groups.rbegin(); g != m_groups.rend(); ++g) {
        names.push_back(g->name);
    }
    return names;
}

void AcEdCommandStack::qvClear() {
    m_groups.clear();
}
