// The frame that every command handler is built from. A handler takes the steps its command
// needs, in this order:
//   1. resources: the module's resources current for the whole run (a CCommandFrame on the
//      stack; its end restores the previous ones, also when an error passes);
//   2. banner: the command's title and the version, on a line of their own;
//   3. preferences: a CPreferences loaded from the module folder's preferences file (a missing
//      file leaves the defaults);
//   4. drawing: a wrapper of the host's current document;
//   5. lock: the drawing locked for the work and unlocked after it;
//   6. clean-up: everything the handler made deleted (the frame deletes what it made), then the
//      resources of step 1 restored;
//   7. errors: a handler catches everything in one handler and reports it with
//      reportCommandError, which shows the error chain in the error message box.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "StdAfx.h"

#include "core/CommandFailure.h"
#include "core/Preferences.h"
#include "drawing/AcadDrawing.h"
#include "drawing/DrawingLock.h"

// The source file that the error objects of the command handlers name.
inline constexpr wchar_t COMMAND_SOURCE_FILE[] = L"quorvelle";

class CCommandFrame {
  public:
    // Step 1: makes the module's resources current.
    CCommandFrame();
    // Step 6: gives back a lock of step 5 still held, deletes what the frame made, then restores
    // the previous resources.
    ~CCommandFrame();
    CCommandFrame(const CCommandFrame&) = delete;
    CCommandFrame& operator=(const CCommandFrame&) = delete;

    // Step 2: prints the title followed at once by the version text, then a line feed.
    static void printBanner(CString title);

    // Step 3: the preferences of the module folder's preferences file. The frame owns them; a
    // second call loads the file again into the same object.
    CPreferences* loadPreferences();

    // Step 4: a wrapper of the host's current document (the document, its file name, open,
    // the current document). The frame owns it; later calls give the same wrapper.
    CAcadDrawing* openCurrentDrawing();

    // Step 5: locks the frame's drawing (made by step 4 when needed). TRUE when the lock was
    // granted and the work may run; FALSE when the host refused it. A granted lock is given back
    // with unlockDrawing, or by the frame's end.
    BOOL lockDrawing();
    void unlockDrawing();

  private:
    CAcModuleResourceOverride m_resources;
    std::unique_ptr<CPreferences> m_preferences;
    std::unique_ptr<CAcadDrawing> m_drawing;
    std::optional<CDrawingLock> m_lock;
};

// Step 7, inside a catch block of a handler: wraps what was caught into a CEXUnhandled naming the
// handler's function and COMMAND_SOURCE_FILE (an error chain of the module becomes its inner
// error), shows the chain in the error message box and deletes it.
void reportCommandError(LPCTSTR function);
// The same for an error chain of the module; anything else is freed and `otherMessage` printed
// on the command line instead.
void reportCommandError(LPCTSTR function, LPCTSTR otherMessage);

// The boundary of a command handler: runs `work` and catches everything that leaves it, so that
// nothing is ever thrown back into the host; a command that failed (an error caught, or
// markCommandFailed) ends with the thread's last error saying so. What is caught is reported as
// reportCommandError does (the first form shows every failure in the error message box; the second
// shows an error chain of the module there and prints `otherMessage` for anything else). A failure
// while reporting is dropped. Put the handler's CCommandFrame inside `work`, so that the drawing is
// unlocked and the resources restored before the report is shown:
//     void deleteBlock() {
//         guardCommand(L"deleteBlock", [] {
//             CCommandFrame frame;
//             ...
//         });
//     }
void guardCommand(LPCTSTR function, const std::function<void()>& work) noexcept;
void guardCommand(LPCTSTR function, LPCTSTR otherMessage,
                  const std::function<void()>& work) noexcept;
