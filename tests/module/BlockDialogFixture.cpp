#include "BlockDialogFixture.h"

#include <algorithm>
#include <memory>

#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/Blocks.h"
#include "blocks/OrvanAttribute.h"
#include "core/Utilities.h"
#include "drawing/AcadDrawing.h"
#include "host/CommandLine.h"
#include "mfc/dialogs/DialogDriving.h"
#include "module/ModuleGlobals.h"
#include "support/SpaceBlocks.h"
#include "win32/CodePage.h"

namespace qv::test {
namespace {

const wchar_t HOST_FOLDER[] = L"C:\\Host";

}  // namespace

BlockDialogTest::BlockDialogTest() {
    moduleFolder = HOST_FOLDER;
    drive.makeFolder("Host/orvan/prefs");  // as the module's start-up leaves it
}

BlockDialogTest::~BlockDialogTest() {
    moduleFolder.Empty();
}

void BlockDialogTest::TearDown() {
    const std::vector<HWND> left = qv::win::openModelessDialogs();
    EXPECT_TRUE(left.empty()) << "a dialog was left open";
    for (HWND h : left)
        CWnd::FromHandle(h)->SendMessage(WM_COMMAND, IDCANCEL, 0);
    DrawingTest::TearDown();
}

AcDbObjectId BlockDialogTest::addOutline(std::vector<AcGePoint2d> points, bool closed) {
    auto* polyline = new AcDbPolyline;
    unsigned int i = 0;
    for (const AcGePoint2d& p : points)
        polyline->addVertexAt(i++, p);
    polyline->setClosed(closed);
    return addToModelSpace(polyline);
}

AcDbObjectId BlockDialogTest::addSquare(double x, double y, bool closed, double side) {
    return addOutline({{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}}, closed);
}

AcDbObjectId BlockDialogTest::addRoom(const CString& name, int number, double x, double y,
                                      double side) {
    const AcDbObjectId outlineId = addSquare(x, y, true, side);
    CAcadDrawing drawing;
    wrapCurrentDocument(drawing, document());
    CBlockDWGRoom room;
    room.setBlockName(L"ROOM-" + CUtilities::IntToCString(number));
    room.setName(name);
    room.setUnits(0);
    room.setPrecision(2);
    room.setAttributes(spaceAttributes(name, L"100.00sq.m.", L" "));
    EXPECT_EQ(Acad::eOk, makeSpaceBlock(room, drawing, outlineId,
                                        AcGePoint3d(x + side / 2, y + side / 2, 0), 2.5));
    return room.getObjectId();
}

double BlockDialogTest::areaOf(AcDbObjectId reference) {
    AcDbObjectPointer<AcDbBlockReference> p(reference, AcDb::kForRead);
    EXPECT_EQ(Acad::eOk, p.openStatus());
    return CBlockDWG(p.object(), document()).getArea();
}

std::string BlockDialogTest::pick(AcDbObjectId id) {
    return "#" + qv::wideToUtf8(id.handle().text());
}

std::map<std::wstring, std::wstring> BlockDialogTest::rooms() {
    CAcadDrawing drawing;
    wrapCurrentDocument(drawing, document());
    CBlocks blocks;
    blocks.getOrvanDWGBlocks_SS(&drawing, false, L"f");
    std::map<std::wstring, std::wstring> found;
    for (int i = 0; i < blocks.getCount(); ++i) {
        const auto* block = static_cast<const CBlockDWG*>(blocks.getAt(i));
        found[block->getBlockName().str()] = block->getName().str();
    }
    return found;
}

void BlockDialogTest::storePreferences(const CPreferences& preferences) {
    CPreferences copy = preferences;
    drive.makeFolder("Host/orvan/prefs");
    ASSERT_TRUE(copy.savePreferences(CString(HOST_FOLDER) + PREFERENCES_FILE));
}

CPreferences BlockDialogTest::storedPreferences() const {
    CPreferences p;
    EXPECT_TRUE(p.loadPreferences(CString(HOST_FOLDER) + PREFERENCES_FILE));
    return p;
}

HWND BlockDialogTest::open(void (*command)()) {
    const std::vector<HWND> before = qv::win::openModelessDialogs();
    command();
    for (HWND h : qv::win::openModelessDialogs())
        if (std::find(before.begin(), before.end(), h) == before.end())
            return h;
    return nullptr;
}

bool BlockDialogTest::act(HWND dialog, const std::wstring& line) {
    qv::ui::DialogAction action = *qv::ui::parseDialogAction(line);
    action.dialog = dialog;
    ui.queueAction(action);
    return qv::win::serviceModeless(ui);
}

qv::ui::DialogView BlockDialogTest::view(HWND dialog) const {
    return qv::win::describe(dialog);
}

std::wstring BlockDialogTest::text(HWND dialog, int id) const {
    const qv::ui::DialogView v = view(dialog);
    const qv::ui::ControlView* c = v.control(id);
    return c ? c->text : L"<missing>";
}

bool BlockDialogTest::enabled(HWND dialog, int id) const {
    const qv::ui::DialogView v = view(dialog);
    const qv::ui::ControlView* c = v.control(id);
    return c && c->enabled;
}

std::wstring BlockDialogTest::commandLine() {
    return qv::host::transcript().text();
}

std::vector<std::wstring> BlockDialogTest::refusals() const {
    std::vector<std::wstring> refused;
    for (const auto& n : ui.notices())
        if (n.refused)
            refused.push_back(n.message);
    return refused;
}

}  // namespace qv::test
