// The space-block dialogs' tests: a drawing, drive C: with the host's folder, the module's
// resources, answers typed at the command line, and the dialogs opened by their commands and
// driven through the scripted screen between the host's commands, as a user drives them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ModuleResources.h"
#include "StdAfx.h"
#include "arxHeaders.h"
#include "core/Preferences.h"
#include "support/CommandLineAnswers.h"
#include "support/HostFixture.h"
#include "support/TempDrive.h"
#include "ui/DialogView.h"

namespace qv::test {

class BlockDialogTest : public DrawingTest {
  protected:
    BlockDialogTest();
    ~BlockDialogTest() override;
    // Every dialog must have been closed by the test (and has freed itself); the drawing holds
    // no open object and no lock.
    void TearDown() override;

    // A polyline through the points, closed or open; its id.
    AcDbObjectId addOutline(std::vector<AcGePoint2d> points, bool closed = true);
    // A square outline at (x, y).
    AcDbObjectId addSquare(double x, double y, bool closed = true, double side = 10);
    // A room "ROOM-"number named `name` around a square of that side at (x, y) (metric, two
    // places); the reference's id.
    AcDbObjectId addRoom(const CString& name, int number, double x, double y, double side = 10);
    // The area of the space block of that reference as its record holds it.
    double areaOf(AcDbObjectId reference);
    // How a pick names an entity at the command line: "#" and its handle.
    static std::string pick(AcDbObjectId id);
    // The drawing's rooms: block name to NAME, from the drawing itself.
    std::map<std::wstring, std::wstring> rooms();

    void storePreferences(const CPreferences& preferences);
    CPreferences storedPreferences() const;

    // Runs a command that opens a modeless dialog; the dialog it opened (null when none).
    HWND open(void (*command)());
    // One action of the user in the dialog, between the host's commands; false when the host
    // had nothing to give it to.
    bool act(HWND dialog, const std::wstring& line);
    qv::ui::DialogView view(HWND dialog) const;
    std::wstring text(HWND dialog, int id) const;
    bool enabled(HWND dialog, int id) const;
    // What the command line shows since the last answers were given.
    static std::wstring commandLine();
    // The refused actions the screen reported.
    std::vector<std::wstring> refusals() const;

    TempDrive drive;
    ModuleResources resources;
    CommandLineAnswers answers;
};

}  // namespace qv::test
