// A small module for the acceptance tests, written as a module for the host is written: it
// registers commands at load time and removes them at unload, and its commands ask for input,
// pick, select, show a message box and a dialog, send text to the command line and run host
// commands.
#include <stdexcept>

#include "afxwin.h"
#include "arxHeaders.h"

namespace {

constexpr const ACHAR* kGroup = L"QV_TEST";
constexpr UINT IDD_NAME = 301;
constexpr int IDC_NAME = 1001;

using namespace qv::res;

const ResourceScript kResources({
    DialogTemplate(IDD_NAME, L"Your name", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                   {Text(L"Name"), EditText(IDC_NAME), DefPushButton(L"OK", IDOK),
                    PushButton(L"Cancel", IDCANCEL)}),
});

class CNameDlg : public CDialog {
  public:
    CNameDlg() : CDialog(IDD_NAME) {}
    CString m_name = L"nobody";

  protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_NAME, m_name); }
};

HINSTANCE moduleInstance() {
    return moduleHandleOf(&kResources);
}

const ACHAR* statusName(int status) {
    switch (status) {
        case RTNORM:
            return L"RTNORM";
        case RTNONE:
            return L"RTNONE";
        case RTCAN:
            return L"RTCAN";
        case RTERROR:
            return L"RTERROR";
        case RTKWORD:
            return L"RTKWORD";
        case RTREJ:
            return L"RTREJ";
        case RTINPUTTRUNCATED:
            return L"RTINPUTTRUNCATED";
        default:
            return L"other";
    }
}

void testText() {
    ACHAR name[64];
    const int status = acedGetString(1, L"\nYour name: ", name, 64);
    if (status == RTNORM) {
        acutPrintf(L"Hello, %s!\n", name);
    } else {
        acutPrintf(L"No name (%s).\n", statusName(status));
    }
}

void testNumbers() {
    int count = 0;
    acedInitGet(RSG_NONULL | RSG_NONEG, nullptr);
    const int first = acedGetInt(L"\nHow many: ", &count);
    double size = 2.5;
    const int second = acedGetReal(L"\nWhat size <2.5>: ", &size);
    acutPrintf(L"count %d (%s), size %g (%s)\n", count, statusName(first), size,
               statusName(second));
}

void testKeyword() {
    ACHAR answer[32] = L"";
    acedInitGet(0, L"Yes No");
    const int status = acedGetKword(L"\nGo on? [Yes/No] <Yes>: ", answer, 32);
    acutPrintf(L"keyword \"%s\" (%s)\n", answer, statusName(status));
}

void testPoint() {
    ads_point first, second;
    if (acedGetPoint(nullptr, L"\nFirst point: ", first) != RTNORM ||
        acedGetPoint(first, L"\nSecond point: ", second) != RTNORM) {
        acutPrintf(L"No points.\n");
        return;
    }
    acutPrintf(L"from %g,%g to %g,%g\n", first[0], first[1], second[0], second[1]);
}

void describePicked(const ads_name name) {
    AcDbObjectId id;
    AcDbEntity* entity = nullptr;
    if (acdbGetObjectId(id, name) != Acad::eOk ||
        acdbOpenAcDbEntity(entity, id, AcDb::kForRead) != Acad::eOk) {
        acutPrintf(L"The pick does not open.\n");
        return;
    }
    AcDbHandle handle;
    entity->getAcDbHandle(handle);
    acutPrintf(L"%s %s\n", entity->isA()->name(), handle.text().c_str());
    entity->close();
}

void testPick() {
    ads_name picked;
    ads_point at;
    const int status = acedEntSel(L"\nPick an entity: ", picked, at);
    if (status != RTNORM) {
        acutPrintf(L"Nothing picked (%s).\n", statusName(status));
        return;
    }
    describePicked(picked);
}

void listSet(const ads_name set) {
    Adesk::Int32 length = 0;
    acedSSLength(set, &length);
    acutPrintf(L"%d selected\n", length);
    for (Adesk::Int32 i = 0; i < length; ++i) {
        ads_name member;
        acedSSName(set, i, member);
        describePicked(member);
    }
    acedSSFree(set);
}

void testSelect() {
    ads_name set;
    const int status = acedSSGet(nullptr, nullptr, nullptr, nullptr, set);
    if (status != RTNORM) {
        acutPrintf(L"Nothing selected (%s).\n", statusName(status));
        return;
    }
    listSet(set);
}

void testSelectPolylines() {
    resbuf* filter = acutBuildList(RTDXF0, L"LWPOLYLINE", 8, L"~HIDDEN*", 0);
    ads_name set;
    const int status = acedSSGet(L"_X", nullptr, nullptr, filter, set);
    acutRelRb(filter);
    if (status != RTNORM) {
        acutPrintf(L"No polylines (%s).\n", statusName(status));
        return;
    }
    listSet(set);
}

void testMessageBox() {
    const int button = AfxMessageBox(L"Keep going?", MB_YESNO | MB_ICONQUESTION);
    acutPrintf(L"button %s\n", button == IDYES ? L"Yes" : button == IDNO ? L"No" : L"other");
}

void testDialog() {
    acDocManager->pushResourceHandle(moduleInstance());
    CNameDlg dialog;
    const INT_PTR result = dialog.DoModal();
    acDocManager->popResourceHandle();
    acutPrintf(L"dialog %s, name \"%s\"\n", result == IDOK ? L"OK" : L"cancelled",
               dialog.m_name.GetString());
}

void testDialogWithoutResources() {
    CNameDlg dialog;
    acutPrintf(L"dialog result %d\n", static_cast<int>(dialog.DoModal()));
}

void testSend() {
    acDocManager->sendStringToExecute(acDocManager->curDocument(), L"ttext\nQueued\n");
    acutPrintf(L"sent\n");
}

void testCommand() {
    const int zoom = acedCommand(RTSTR, L"_.ZOOM", RTSTR, L"_E", RTNONE);
    const int unknown = acedCommand(RTSTR, L"NOSUCH", 0);
    const int empty = acedCommand(0);
    acutPrintf(L"zoom %s, unknown %s, empty %s\n", statusName(zoom), statusName(unknown),
               statusName(empty));
}

// Adds a line to model space and tells how that went.
void addLine() {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    AcDbBlockTableRecord* space = nullptr;
    const Acad::ErrorStatus es = acdbOpenObject(space, db->modelSpaceId(), AcDb::kForWrite);
    if (es != Acad::eOk) {
        acutPrintf(L"model space does not open: %s\n", acadErrorStatusText(es));
        return;
    }
    auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0));
    line->setDatabaseDefaults(db);
    space->appendAcDbEntity(line);
    line->close();
    space->close();
    acutPrintf(L"line added\n");
}

void testThrow() {
    throw std::runtime_error("the test command failed on purpose");
}

void testLeaveOpen() {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db->modelSpaceId(), AcDb::kForRead);
}

void testVariables() {
    resbuf value{};
    acedGetVar(L"CLAYER", &value);
    acutPrintf(L"CLAYER %s\n", value.resval.rstring);
    acutDelString(value.resval.rstring);
    resbuf unknown{};
    acutPrintf(L"NOSUCHVAR %s\n", statusName(acedGetVar(L"NOSUCHVAR", &unknown)));
}

void testFull() {
    acutPrintf(L"full host only\n");
}

// Registers a command in a group that unloading does not remove.
void testLeave() {
    acedRegCmds->addCommand(L"QV_LEFT", L"tleft", L"testLeft", ACRX_CMD_SESSION, testFull);
}

struct Row {
    const ACHAR* global;
    const ACHAR* local;
    Adesk::Int32 flags;
    AcRxFunctionPtr handler;
};

const Row kCommands[] = {
    {L"ttext", L"testText", ACRX_CMD_SESSION, testText},
    {L"tnum", L"testNumbers", ACRX_CMD_SESSION, testNumbers},
    {L"tkw", L"testKeyword", ACRX_CMD_SESSION, testKeyword},
    {L"tpt", L"testPoint", ACRX_CMD_SESSION, testPoint},
    {L"tpick", L"testPick", ACRX_CMD_SESSION, testPick},
    {L"tsel", L"testSelect", ACRX_CMD_SESSION, testSelect},
    {L"tselx", L"testSelectPolylines", ACRX_CMD_SESSION, testSelectPolylines},
    {L"tbox", L"testMessageBox", ACRX_CMD_SESSION, testMessageBox},
    {L"tdlg", L"testDialog", ACRX_CMD_MODAL, testDialog},
    {L"tdlgnores", L"testDialogWithoutResources", ACRX_CMD_MODAL, testDialogWithoutResources},
    {L"tsend", L"testSend", ACRX_CMD_SESSION, testSend},
    {L"tcmd", L"testCommand", ACRX_CMD_SESSION, testCommand},
    {L"tlock", L"testLockedByHost", ACRX_CMD_MODAL, addLine},
    {L"tnolock", L"testNotLocked", ACRX_CMD_SESSION, addLine},
    {L"tthrow", L"testThrow", ACRX_CMD_SESSION, testThrow},
    {L"topen", L"testLeaveOpen", ACRX_CMD_SESSION, testLeaveOpen},
    {L"tvar", L"testVariables", ACRX_CMD_SESSION, testVariables},
    {L"tleave", L"testLeave", ACRX_CMD_SESSION, testLeave},
};

bool isFullHost() {
    const std::wstring product = acdbHostApplicationServices()->product();
    return product.find(L" LT") == std::wstring::npos;
}

void initApp() {
    for (const Row& row : kCommands) {
        acedRegCmds->addCommand(kGroup, row.global, row.local, row.flags, row.handler);
    }
    if (isFullHost()) {
        acedRegCmds->addCommand(kGroup, L"tfull", L"testFull", ACRX_CMD_MODAL, testFull);
    }
    const Acad::ErrorStatus again =
        acedRegCmds->addCommand(kGroup, L"TTEXT", L"another", ACRX_CMD_SESSION, testText);
    acutPrintf(L"Test module loaded; a second ttext is refused with %s.\n",
               acadErrorStatusText(again));
}

void unloadApp() {
    acedRegCmds->removeGroup(kGroup);
    acutPrintf(L"Test module unloaded.\n");
}

}  // namespace

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode message, void* appId) {
    switch (message) {
        case AcRx::kInitAppMsg:
            acrxDynamicLinker->unlockApplication(appId);
            acrxDynamicLinker->registerAppMDIAware(appId);
            initApp();
            break;
        case AcRx::kUnloadAppMsg:
            unloadApp();
            break;
        default:
            break;
    }
    return AcRx::kRetOK;
}
