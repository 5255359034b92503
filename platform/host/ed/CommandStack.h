// The registered-command stack: the commands that modules add, in named groups, which the host's
// command line runs.
//
// A command has a global name (the one a "_" before the name asks for, the same in every
// language) and a local name (the one users of this language type), flags and a handler.
// Names are looked up without regard to case. Groups are searched from the most recently added
// (the top) down, so a later group's command hides an earlier one of the same name.
//
// addCommand refuses with eInvalidInput a missing group, a name that is empty or holds a blank or
// a control character, and a missing handler; with eDuplicateKey a global or local name that the
// group already has. removeCmd and removeGroup give eKeyNotFound for what is not there.
//
// Flags (ACRX_CMD_...): a command without ACRX_CMD_SESSION runs in the document's context, and
// the host locks the document for it (kWrite; kRead with ACRX_CMD_DOCREADLOCK, kXWrite with
// ACRX_CMD_DOCEXCLUSIVELOCK; none with ACRX_CMD_NOINTERNALLOCK). A command with
// ACRX_CMD_SESSION runs in the application's context and locks what it writes itself.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../ErrorStatus.h"
#include "../rx/AcRxObject.h"
#include "../../win32/WinTypes.h"

typedef void (*AcRxFunctionPtr)();

constexpr Adesk::Int32 ACRX_CMD_MODAL = 0x00000000;
constexpr Adesk::Int32 ACRX_CMD_TRANSPARENT = 0x00000001;
constexpr Adesk::Int32 ACRX_CMD_USEPICKSET = 0x00000002;
constexpr Adesk::Int32 ACRX_CMD_REDRAW = 0x00000004;
constexpr Adesk::Int32 ACRX_CMD_NOPERSPECTIVE = 0x00000008;
constexpr Adesk::Int32 ACRX_CMD_NOMULTIPLE = 0x00000010;
constexpr Adesk::Int32 ACRX_CMD_NOTILEMODE = 0x00000020;
constexpr Adesk::Int32 ACRX_CMD_NOPAPERSPACE = 0x00000040;
constexpr Adesk::Int32 ACRX_CMD_UNDEFINED = 0x00000200;
constexpr Adesk::Int32 ACRX_CMD_NOINTERNALLOCK = 0x00020000;
constexpr Adesk::Int32 ACRX_CMD_DOCREADLOCK = 0x00080000;
constexpr Adesk::Int32 ACRX_CMD_DOCEXCLUSIVELOCK = 0x00100000;
constexpr Adesk::Int32 ACRX_CMD_SESSION = 0x00200000;
constexpr Adesk::Int32 ACRX_CMD_INTERRUPTIBLE = 0x00400000;
constexpr Adesk::Int32 ACRX_CMD_NOHISTORY = 0x00800000;

// A context menu of a command; the host here shows none.
class AcEdUIContext;

class AcEdCommand : public AcRxObject {
    QV_RX_DECLARE_MEMBERS(AcEdCommand)
  public:
    AcEdCommand(const ACHAR* globalName, const ACHAR* localName, Adesk::Int32 flags,
                AcRxFunctionPtr handler, AcEdUIContext* context, int functionCode,
                HINSTANCE resourceHandle);

    const ACHAR* globalName() const { return m_global.c_str(); }
    const ACHAR* localName() const { return m_local.c_str(); }
    Adesk::Int32 commandFlags() const { return m_flags; }
    AcRxFunctionPtr functionAddr() const { return m_handler; }
    AcEdUIContext* UIContext() const { return m_context; }
    int functionCode() const { return m_functionCode; }
    HINSTANCE resourceHandle() const { return m_resource; }
    // An undefined command is skipped by lookups that skip undefined ones.
    void commandUndef(bool undefine) { m_undefined = undefine; }
    bool isUndefined() const { return m_undefined; }

  private:
    std::wstring m_global, m_local;
    Adesk::Int32 m_flags;
    AcRxFunctionPtr m_handler;
    AcEdUIContext* m_context;
    int m_functionCode;
    HINSTANCE m_resource;
    bool m_undefined = false;
};

// Walks every command, group by group from the top. The caller deletes it.
class AcEdCommandIterator {
  public:
    bool done() const;
    bool next();
    const AcEdCommand* command() const;
    const ACHAR* commandGroup() const;

  private:
    friend class AcEdCommandStack;
    struct Entry {
        std::wstring group;
        const AcEdCommand* command;
    };
    explicit AcEdCommandIterator(std::vector<Entry> entries) : m_entries(std::move(entries)) {}
    std::vector<Entry> m_entries;
    size_t m_index = 0;
};

class AcEdCommandStack : public AcRxObject {
    QV_RX_DECLARE_MEMBERS(AcEdCommandStack)
  public:
    AcEdCommandStack();
    ~AcEdCommandStack() override;

    // Registers a command (see above). `commandBack`, when given, receives the new command.
    Acad::ErrorStatus addCommand(const ACHAR* group, const ACHAR* globalName,
                                 const ACHAR* localName, Adesk::Int32 flags,
                                 AcRxFunctionPtr handler, AcEdUIContext* context = nullptr,
                                 int functionCode = -1, HINSTANCE resourceHandle = nullptr,
                                 AcEdCommand** commandBack = nullptr);
    // The command of that global (or local) name in any group, or null.
    AcEdCommand* lookupGlobalCmd(const ACHAR* name) const;
    AcEdCommand* lookupLocalCmd(const ACHAR* name) const;
    AcEdCommand* lookupCmd(const ACHAR* name, bool global, bool allGroups = true,
                           bool skipUndefined = false) const;
    // The group of a command, or null.
    const ACHAR* groupOf(const AcEdCommand* command) const;
    Acad::ErrorStatus removeCmd(const ACHAR* group, const ACHAR* globalName);
    Acad::ErrorStatus removeGroup(const ACHAR* group);
    // Moves a group to the top of the search order.
    Acad::ErrorStatus popGroupToTop(const ACHAR* group);
    AcEdCommandIterator* iterator() const;

    // Removes every command that `which` picks (those of a library being unloaded); returns
    // their global names.
    std::vector<std::wstring> qvRemoveCommands(
        const std::function<bool(const AcEdCommand&)>& which);
    std::vector<std::wstring> qvGroupNames() const;
    void qvClear();

  private:
    struct Group {
        std::wstring name;
        std::vector<std::unique_ptr<AcEdCommand>> commands;
    };
    Group* findGroup(const ACHAR* name);

    std::vector<Group> m_groups;  // the top last
};
