// Running commands: the host's own commands and those that modules registered, from the command
// line and through acedCommand.
//
// A typed name is looked up without regard to case: first among the host's commands, then among
// the registered ones by local name, then by global name. A leading "_" asks for global names
// only; a leading "." for the host's command even where a module's has the same name (both may be
// combined: "._ZOOM").
//
// A registered command runs with the document lock its flags ask for (CommandStack.h), with its
// resource handle current when it was given one. Whatever it throws is caught and reported on the
// command line; it never reaches the host's loop. When the outermost command ends, text sent to
// the command line meanwhile is released (InputQueue.h).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../db/ResBuf.h"

namespace qv::host::ed {

// A command of the host itself. It reads its answers through the editor's input functions.
using HostCommand = std::function<void()>;

// Adds a host command under its (global) name; an empty function removes it.
void registerHostCommand(const std::wstring& name, HostCommand command);
// The names of the host's commands, in alphabetical order.
std::vector<std::wstring> hostCommandNames();

enum class CommandRun {
    Done,     // the command ran (its own messages tell how it went)
    Unknown,  // no such command
    Refused,  // the document lock it needs was refused (reported)
    Threw,    // the command let an exception out (reported)
    Failed,   // the command ended with an application's error code as its thread's last error:
              // it failed and has said why (a module's command has no other way to tell)
};
// Runs the command that `typed` names.
CommandRun runCommand(const std::wstring& typed);
// How many commands are running now (commands run by others included).
int activeCommands();

}  // namespace qv::host::ed

// Runs commands with the answers given, as if typed: pairs of a type and a value, ended by 0 or
// RTNONE. RTSTR (const ACHAR*, "" for Enter), RTSHORT and RTLONG (int), RTREAL, RTANG and
// RTORINT (double), RTPOINT and RT3DPOINT (const ads_real*), RTENAME (an entity, given as its
// handle) and RTPICKS (a selection set, given as its members' handles). The first item names a
// command, the next ones answer its prompts; items left when it ends name the next command.
// RTNORM when every command ran; RTERROR for an unknown command or type (the rest is not run);
// RTCAN when a command wanted more answers than it was given (its prompt was cancelled). A call
// with no items does nothing (no command is ever left waiting here).
int acedCommand(int type, ...);
int acedCommandS(int type, ...);
// The same with the items in a result-buffer list.
int acedCmd(const resbuf* items);
int acedCmdS(const resbuf* items);

namespace qv::host::ed {

// The Windows path of a path typed at a prompt (quotes around it dropped; a POSIX path, one
// beginning with "/", taken as its Windows form; a relative path from the current directory),
// or nothing, reported on the command line and counted as the command's failure, when it is no
// valid path or one longer than this system takes (PATH_MAX, or a name longer than NAME_MAX).
std::optional<std::wstring> typedWindowsPath(std::wstring typed);

// Opens a drawing file (a Windows path) as the current drawing, closing the one before; the
// reason when it cannot be read.
std::optional<std::wstring> openDrawing(const std::wstring& path);

// Before the current drawing is dropped (QUIT, OPEN, the end of the input): when the command loop
// is interactive and the drawing has unsaved changes, asks
// "Save changes to <name>? [Yes/No/Cancel] <Yes>: " and saves on Yes (Enter), as SAVE does.
// True when the caller may drop the drawing (saved, nothing to save, No, or no user to ask);
// false for Cancel, Esc, the end of the input, or a save that failed or was cancelled.
bool askToSaveChanges();

}  // namespace qv::host::ed
