// The host's HELP command (also "?"): what a user can type. It lists the host's own commands with
// one line each, then the commands that the loaded modules registered, group by group as the
// command stack holds them now (the top group first), then how dialogs are driven from the
// command line.
#include <algorithm>
#include <map>
#include <memory>

#include "host/db/SymbolTables.h"
#include "host/ed/CommandStack.h"
#include "host/ed/Commands.h"
#include "host/ed/Editor.h"
#include "host/ed/SysRegistry.h"

namespace qv::host::ed {
namespace {

// What each host command does, by its name as registered (upper case). A command without a line
// here is listed by its name alone.
const std::map<std::wstring, const wchar_t*>& hostCommandLines() {
    static const std::map<std::wstring, const wchar_t*> lines = {
        {L"?", L"the same as HELP"},
        {L"-LAYER", L"lists layers and sets them on, off, frozen, thawed, locked or current"},
        {L"-PAGESETUP", L"the same as PAGESETUP"},
        {L"-PLOT", L"sets up how the current layout plots, then exports it"},
        {L"ARX", L"lists, loads and unloads modules and lists their commands"},
        {L"CIRCLE", L"draws a circle from its centre and radius"},
        {L"ERASE", L"erases the entities selected"},
        {L"EXPORT", L"plots the current layout to a PDF, PNG, JPG or DWF file"},
        {L"HELP", L"lists the commands and tells how to drive dialogs"},
        {L"LAYER", L"the same as -LAYER"},
        {L"LINE", L"draws lines from point to point"},
        {L"LIST", L"lists the entities of the drawing, or those selected"},
        {L"OPEN", L"opens a drawing in place of the current one (asks to save changes first)"},
        {L"PAGESETUP", L"sets up how the current layout plots (device, paper, area, scale)"},
        {L"PLINE", L"draws a polyline from point to point (Close closes it)"},
        {L"QUIT", L"ends the program (asks to save changes first)"},
        {L"REGEN", L"regenerates the drawing"},
        {L"SAVE", L"saves the drawing to its file (asks for a name when it has none)"},
        {L"SAVEAS", L"saves the drawing to a file that you name"},
        {L"TEXT", L"writes a line of text"},
        {L"ZOOM", L"zooms to all, the extents, a window or the previous view"},
    };
    return lines;
}

constexpr size_t kLineWidth = 100;

// `names` after `head`, wrapped below it at the line width.
void printWrapped(const std::wstring& head, const std::vector<std::wstring>& names) {
    std::wstring line = head;
    const std::wstring indent(head.size(), L' ');
    for (size_t i = 0; i < names.size(); ++i) {
        const std::wstring item = names[i] + (i + 1 < names.size() ? L"," : L"");
        if (line.size() > indent.size() && line.size() + 1 + item.size() > kLineWidth) {
            print(line + L"\n");
            line = indent;
        }
        line += (line.size() > indent.size() ? L" " : L"") + item;
    }
    print(line + L"\n");
}

void printHostCommands() {
    print(L"Commands of the host:\n");
    std::vector<std::wstring> names = hostCommandNames();
    size_t width = 0;
    for (const std::wstring& name : names) {
        width = std::max(width, name.size());
    }
    for (const std::wstring& name : names) {
        const auto line = hostCommandLines().find(name);
        std::wstring text = L"  " + name;
        if (line != hostCommandLines().end()) {
            text += std::wstring(width - name.size() + 2, L' ') + line->second;
        }
        print(text + L"\n");
    }
}

void printModuleCommands() {
    AcEdCommandStack* stack = acedRegCmds;
    std::vector<std::pair<std::wstring, std::vector<std::wstring>>> groups;
    if (stack != nullptr) {
        std::unique_ptr<AcEdCommandIterator> it(stack->iterator());
        for (; !it->done(); it->next()) {
            const AcEdCommand* command = it->command();
            if (groups.empty() || groups.back().first != it->commandGroup()) {
                groups.emplace_back(it->commandGroup(), std::vector<std::wstring>());
            }
            std::wstring name = command->localName();
            if (foldName(name) != foldName(command->globalName())) {
                name += L" (_" + std::wstring(command->globalName()) + L")";
            }
            groups.back().second.push_back(name);
        }
    }
    if (groups.empty()) {
        print(L"No module has registered commands.\n");
        return;
    }
    print(L"Commands of the loaded modules, by group:\n");
    for (const auto& [group, names] : groups) {
        printWrapped(L"  " + group + L": ", names);
    }
}

void helpCommand() {
    printHostCommands();
    printModuleCommands();
    print(
        L"Dialogs: a dialog shows as text, one line per control with its id. While it is open,\n"
        L"type an action for it at the prompt that names it (a modeless dialog shares the prompt\n"
        L"with the commands). CONTROL is a control's id or its label text (\"OK\", \"Name\"):\n"
        L"  set CONTROL TEXT       type TEXT into an edit box (paste CONTROL TEXT pastes it)\n"
        L"  check CONTROL          tick a check box or choose a radio button (uncheck clears)\n"
        L"  select CONTROL ITEM    choose an item of a list, combo box or tab by text or number\n"
        L"  click CONTROL          click a button; dblclick CONTROL ITEM double-clicks an item\n"
        L"  menu ID                choose a menu command\n"
        L"  enter, cancel, close   press Enter, press Esc, click the close box\n"
        L"  show                   show the dialog again\n"
        L"At any prompt Esc or Ctrl-C cancels; Enter at an empty Command: prompt repeats the last\n"
        L"command. There is no UNDO: save your drawing before you try something.\n");
}

const bool g_registered = [] {
    registerHostCommand(L"HELP", helpCommand);
    registerHostCommand(L"?", helpCommand);
    return true;
}();

}  // namespace
}  // namespace qv::host::ed
