#include "host/ed/Commands.h"

#include <charconv>
#include <cstdarg>
#include <map>

#include "host/CommandLine.h"
#include "host/app/Documents.h"
#include "host/app/EntityNames.h"
#include "host/db/SymbolTables.h"
#include "host/ed/CommandStack.h"
#include "host/ed/Editor.h"
#include "host/ed/SysRegistry.h"
#include "mfc/Exceptions.h"
#include "mfc/dialogs/Resources.h"
#include "win32/WinError.h"

namespace qv::host::ed {
namespace {

std::map<std::wstring, HostCommand>& hostCommands() {
    static std::map<std::wstring, HostCommand> commands;
    return commands;
}

int g_active = 0;

// Counts a running command; when the outermost ends, sent text is released.
class ActiveCommand {
  public:
    ActiveCommand() { ++g_active; }
    ~ActiveCommand() {
        if (--g_active == 0) {
            editor().input().release();
        }
    }
    ActiveCommand(const ActiveCommand&) = delete;
    ActiveCommand& operator=(const ActiveCommand&) = delete;
};

// Runs `body`, reporting whatever it throws; false when it threw.
bool guarded(const std::wstring& name, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (Acad::ErrorStatus status) {
        acutPrintf(L"\nThe command %s stopped with the host status %s.\n", name.c_str(),
                   acadErrorStatusText(status));
    } catch (CException* e) {
        acutPrintf(L"\nThe command %s stopped with an exception: %s\n", name.c_str(),
                   e->GetMessageText().GetString());
        e->Delete();
    } catch (const std::exception& e) {
        acutPrintf(L"\nThe command %s stopped with an exception: %s\n", name.c_str(),
                   qv::utf8ToWide(e.what()).c_str());
    } catch (...) {
        acutPrintf(L"\nThe command %s stopped with an exception the host does not know.\n",
                   name.c_str());
    }
    return false;
}

AcAp::DocLockMode lockModeOf(Adesk::Int32 flags) {
    if (flags & ACRX_CMD_DOCREADLOCK) {
        return AcAp::kRead;
    }
    if (flags & ACRX_CMD_DOCEXCLUSIVELOCK) {
        return AcAp::kXWrite;
    }
    return AcAp::kWrite;
}

CommandRun runRegistered(const AcEdCommand& command) {
    const Adesk::Int32 flags = command.commandFlags();
    AcApDocument* doc = acDocManager->curDocument();
    const bool lock =
        doc != nullptr && !(flags & ACRX_CMD_SESSION) && !(flags & ACRX_CMD_NOINTERNALLOCK);
    if (lock) {
        const Acad::ErrorStatus es = acDocManager->lockDocument(
            doc, lockModeOf(flags), command.globalName(), command.localName(), false);
        if (es != Acad::eOk) {
            acutPrintf(L"\nThe drawing could not be locked for %s (%s).\n", command.localName(),
                       acadErrorStatusText(es));
            return CommandRun::Refused;
        }
    }
    const HINSTANCE previous = AfxGetResourceHandle();
    if (command.resourceHandle() != nullptr) {
        AfxSetResourceHandle(command.resourceHandle());
    }
    ::SetLastError(ERROR_SUCCESS);
    const bool finished = guarded(command.localName(), command.functionAddr());
    const DWORD ended = ::GetLastError();
    if (command.resourceHandle() != nullptr) {
        AfxSetResourceHandle(previous);
    }
    if (lock && acDocManager->document(doc->database()) == doc) {
        acDocManager->unlockDocument(doc);
    }
    if (!finished) {
        return CommandRun::Threw;
    }
    return (ended & APPLICATION_ERROR_MASK) != 0 ? CommandRun::Failed : CommandRun::Done;
}

}  // namespace

void registerHostCommand(const std::wstring& name, HostCommand command) {
    const std::wstring key = foldName(name);
    if (command) {
        hostCommands()[key] = std::move(command);
    } else {
        hostCommands().erase(key);
    }
}

std::vector<std::wstring> hostCommandNames() {
    std::vector<std::wstring> names;
    for (const auto& entry : hostCommands()) {
        names.push_back(entry.first);
    }
    return names;
}

int activeCommands() {
    return g_active;
}

CommandRun runCommand(const std::wstring& typed) {
    std::wstring name = typed;
    bool hostOnly = false, globalOnly = false;
    while (!name.empty() && (name[0] == L'.' || name[0] == L'_')) {
        (name[0] == L'.' ? hostOnly : globalOnly) = true;
        name.erase(0, 1);
    }
    if (name.empty()) {
        return CommandRun::Unknown;
    }
    const auto host = hostCommands().find(foldName(name));
    if (host != hostCommands().end()) {
        ActiveCommand active;
        const HostCommand command = host->second;  // a copy: the command may change the table
        return guarded(foldName(name), command) ? CommandRun::Done : CommandRun::Threw;
    }
    AcEdCommandStack* stack = acedRegCmds;
    if (hostOnly || stack == nullptr) {
        return CommandRun::Unknown;
    }
    const AcEdCommand* command = globalOnly ? nullptr : stack->lookupLocalCmd(name.c_str());
    if (command == nullptr) {
        command = stack->lookupGlobalCmd(name.c_str());
    }
    if (command == nullptr) {
        return CommandRun::Unknown;
    }
    ActiveCommand active;
    return runRegistered(*command);
}

}  // namespace qv::host::ed

using namespace qv::host::ed;

namespace {

std::wstring numberText(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::wstring(buffer, end) : L"0";
}

std::wstring handleText(const ads_name name) {
    AcDbObjectId id;
    if (acdbGetObjectId(id, name) != Acad::eOk || id.isNull()) {
        return L"";
    }
    return L"#" + id.handle().text();
}

// One item as the text typed for it; false for a type that cannot be typed.
bool itemText(const resbuf& item, std::wstring& text) {
    switch (item.restype) {
        case RTSTR:
            text = item.resval.rstring != nullptr ? item.resval.rstring : L"";
            return true;
        case RTSHORT:
            text = std::to_wstring(item.resval.rint);
            return true;
        case RTLONG:
            text = std::to_wstring(item.resval.rlong);
            return true;
        case RTREAL:
        case RTANG:
        case RTORINT:
            text = numberText(item.resval.rreal);
            return true;
        case RTPOINT:
            text = numberText(item.resval.rpoint[0]) + L"," + numberText(item.resval.rpoint[1]);
            return true;
        case RT3DPOINT:
            text = numberText(item.resval.rpoint[0]) + L"," + numberText(item.resval.rpoint[1]) +
                   L"," + numberText(item.resval.rpoint[2]);
            return true;
        case RTENAME:
            text = handleText(item.resval.rlname);
            return !text.empty();
        case RTPICKS: {
            Adesk::Int32 n = 0;
            if (acedSSLength(item.resval.rlname, &n) != RTNORM) {
                return false;
            }
            text.clear();
            for (Adesk::Int32 i = 0; i < n; ++i) {
                ads_name member;
                if (acedSSName(item.resval.rlname, i, member) == RTNORM) {
                    text += (text.empty() ? L"" : L",") + handleText(member);
                }
            }
            return true;
        }
        default:
            return false;
    }
}

int runItems(const resbuf* items) {
    std::deque<std::wstring> tokens;
    for (const resbuf* rb = items; rb != nullptr && rb->restype != RTNONE; rb = rb->rbnext) {
        std::wstring text;
        if (!itemText(*rb, text)) {
            acutPrintf(L"\nThe command line cannot take an item of type %d.\n",
                       static_cast<int>(rb->restype));
            return RTERROR;
        }
        tokens.push_back(std::move(text));
    }
    while (!tokens.empty()) {
        const std::wstring name = std::move(tokens.front());
        tokens.pop_front();
        if (name.empty()) {
            continue;
        }
        editor().pushFeed(std::move(tokens));
        const CommandRun run = runCommand(name);
        // What the command did not read names the next command.
        Editor::FeedEnd end = editor().popFeed();
        tokens = std::move(end.left);
        if (run == CommandRun::Unknown) {
            acutPrintf(L"\nUnknown command \"%s\".\n", name.c_str());
            return RTERROR;
        }
        if (end.ranOut) {
            return RTCAN;
        }
    }
    return RTNORM;
}

// Reads the variable items of acedCommand into a list (null for no items); false for a type
// that cannot be read.
bool readItems(int type, va_list args, resbuf*& list) {
    resbuf head{};
    resbuf* tail = &head;
    bool ok = true;
    for (; type != 0 && type != RTNONE; type = va_arg(args, int)) {
        resbuf* item = acutNewRb(type);
        if (item == nullptr) {
            ok = false;
            break;
        }
        switch (type) {
            case RTSTR:
                item->resval.rstring = acutNewString(va_arg(args, const ACHAR*));
                break;
            case RTSHORT:
                item->resval.rint = static_cast<short>(va_arg(args, int));
                break;
            case RTLONG:
                item->resval.rlong = va_arg(args, int);
                break;
            case RTREAL:
            case RTANG:
            case RTORINT:
                item->resval.rreal = va_arg(args, double);
                break;
            case RTPOINT:
            case RT3DPOINT: {
                const ads_real* p = va_arg(args, const ads_real*);
                for (int i = 0; i < 3; ++i) {
                    item->resval.rpoint[i] =
                        p != nullptr && (i < 2 || type == RT3DPOINT) ? p[i] : 0.0;
                }
                break;
            }
            case RTENAME:
            case RTPICKS: {
                const Adesk::Int64* name = va_arg(args, const Adesk::Int64*);
                item->resval.rlname[0] = name != nullptr ? name[0] : 0;
                item->resval.rlname[1] = name != nullptr ? name[1] : 0;
                break;
            }
            default:
                ok = false;
                break;
        }
        tail->rbnext = item;
        tail = item;
        if (!ok) {
            acutPrintf(L"\nThe command line cannot take an item of type %d.\n", type);
            break;
        }
    }
    list = head.rbnext;
    return ok;
}

int runVariable(int type, va_list args) {
    resbuf* items = nullptr;
    const bool ok = readItems(type, args, items);
    const int status = ok ? runItems(items) : RTERROR;
    acutRelRb(items);
    return status;
}

}  // namespace

int acedCommand(int type, ...) {
    va_list args;
    va_start(args, type);
    const int status = runVariable(type, args);
    va_end(args);
    return status;
}

int acedCommandS(int type, ...) {
    va_list args;
    va_start(args, type);
    const int status = runVariable(type, args);
    va_end(args);
    return status;
}

int acedCmd(const resbuf* items) {
    return runItems(items);
}

int acedCmdS(const resbuf* items) {
    return runItems(items);
}
