#include "module/PresQuorvelle.h"

#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/Blocks.h"
#include "core/CommandFailure.h"
#include "core/OrvanExceptions.h"
#include "core/Preferences.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "module/DialogSupport.h"
#include "module/ModuleGlobals.h"
#include "module/PresAbout.h"
#include "module/PresBlock.h"
#include "module/PresPreferences.h"

namespace {

const LPCTSTR SOURCE_FILE = _T("PresQuorvelle.cpp");
const wchar_t CAPTION[] = L"Orvan Block Editor";
const wchar_t FLOOR_LEVEL[] = L"f";
const wchar_t SPACE_BLOCK_PREFIX[] = L"ROOM-";
const int ROOM_TYPE = 7;
// The handle is pushed out of the visible width of the list by this many blanks.
const int HANDLE_GAP = 200;
const wchar_t NOT_A_SPACE_BLOCK[] =
    L"The specified AcDbBlockReference cannot be found in the list of Orvan blocks.  The "
    L"selected object may not be a Orvan block.";

// An editor whose opening failed has no drawing or preferences to work with.
void requireOpened(const void* drawing, const void* preferences, LPCTSTR procSig) {
    if (drawing == nullptr || preferences == nullptr)
        throw new CEXUnhandled(L"The block editor has no drawing to work on.",
                               ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, procSig, 0);
}

}  // namespace

BEGIN_MESSAGE_MAP(CPresQuorvelle, COrvanDialog)
ON_BN_CLICKED(IDC_EDITOR_SELECT, &CPresQuorvelle::OnCmdSelect)
ON_CBN_SELCHANGE(IDC_EDITOR_KIND, &CPresQuorvelle::OnKindChanged)
ON_LBN_DBLCLK(IDC_EDITOR_BLOCK_LIST, &CPresQuorvelle::OnListDoubleClick)
ON_BN_CLICKED(IDC_EDITOR_CLOSE, &CPresQuorvelle::OnCmdClose)
ON_COMMAND(ID_TOOLS_OPTIONS, &CPresQuorvelle::OnOptions)
ON_COMMAND(ID_HELP_ABOUT, &CPresQuorvelle::OnAbout)
ON_COMMAND(ID_FILE_EXIT, &CPresQuorvelle::OnExit)
ON_WM_DESTROY()
ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CPresQuorvelle::OnAcadKeepFocus)
END_MESSAGE_MAP()

CPresQuorvelle::CPresQuorvelle(CWnd* pParent) : COrvanDialog(IDD, pParent) {}

CPresQuorvelle::~CPresQuorvelle() = default;

CString CPresQuorvelle::getPreferencesFile() const {
    return m_rootPath + PREFERENCES_FILE;
}

void CPresQuorvelle::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EDITOR_COUNT, m_countLabel);
    DDX_Control(pDX, IDC_EDITOR_BLOCK_LIST, m_blockList);
    DDX_Control(pDX, IDC_EDITOR_KIND, m_kindCombo);
    DDX_Text(pDX, IDC_EDITOR_DRAWING_NAME, m_drawingName);
}

BOOL CPresQuorvelle::OnInitDialog() {
    CDialog::OnInitDialog();
    try {
        m_preferences = std::make_unique<CPreferences>();
        m_preferences->loadPreferences(getPreferencesFile());

        AcApDocument* document = acDocManager->curDocument();
        m_drawing = std::make_unique<CAcadDrawing>();
        m_drawing->setDocument(document);
        m_drawing->setFileName(document != nullptr ? CString(document->fileName()) : CString());
        m_drawing->setIsOpen(1);
        m_drawing->setIsCurrentDocument(1);
        m_currentBlock.reset();
        m_blocks.reset();

        SetWindowText(CAPTION);
        m_drawingName = m_drawing->getFileName();
        UpdateData(FALSE);
        m_kindCombo.SetCurSel(KIND_ROOMS);
        fillBlockList();
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CPresQuorvelle::OnInitDialog"));
    }
    return TRUE;
}

void CPresQuorvelle::fillBlockList() {
    try {
        requireOpened(m_drawing.get(), m_preferences.get(), _T("CPresQuorvelle::fillBlockList"));
        m_blockList.ResetContent();
        m_blocks = std::make_unique<CBlocks>();
        m_blocks->getOrvanDWGBlocks_SS(m_drawing.get(), false, FLOOR_LEVEL);

        // Only "Gross Area" lists the other kinds; an edited (unmatched) choice lists rooms.
        const bool rooms = m_kindCombo.GetCurSel() != KIND_OTHERS;
        int listed = 0;
        for (int i = 0; i < m_blocks->getCount(); ++i) {
            auto* block = dynamic_cast<CBlockDWG*>(m_blocks->getAt(i));
            if (block == nullptr || block->getBlockName().Left(5) != SPACE_BLOCK_PREFIX)
                continue;
            if ((block->getBlockType() == ROOM_TYPE) != rooms)
                continue;
            CString name;
            CAttributes* attributes = block->getAttributes();
            CAttribute* nameAttribute =
                attributes != nullptr ? attributes->getAtAttribute(0) : nullptr;
            if (nameAttribute != nullptr)
                name = nameAttribute->getValue();
            m_blockList.AddString(name + CString(L' ', HANDLE_GAP) + block->getHandle());
            ++listed;
        }
        CString count;
        count.Format(L"%d item(s) found.", listed);
        m_countLabel.SetWindowText(count);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPresQuorvelle::fillBlockList"));
    }
}

void CPresQuorvelle::showBlock(CString sHandle) {
    try {
        requireOpened(m_drawing.get(), m_preferences.get(), _T("CPresQuorvelle::showBlock"));
        CBlockDWG* block =
            m_blocks != nullptr ? dynamic_cast<CBlockDWG*>(m_blocks->getAt(sHandle)) : nullptr;
        if (block == nullptr)
            throw new CEXInvalidHandle(sHandle, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                       _T("CPresQuorvelle::showBlock"));
        // A block of other units is converted, not merely relabelled: its area and perimeter
        // would otherwise be written under the wrong unit.
        const int units = m_preferences->getUnits();
        if (block->getUnits() != units)
            block->setImperial(units == 1);
        block->setPrecision(m_preferences->getPrecision());

        auto dialog = std::make_unique<CPresBlock>();
        dialog->setBlock(block);
        dialog->setDrawing(m_drawing.get());
        dialog->setAcadWindow(m_acadWindow);
        dialog->setEditor(this);
        if (!dialog->Create(IDD_SPACE_PROPERTIES))
            throw new CEXUnhandled(L"The space properties dialog could not be made.",
                                   ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                   _T("CPresQuorvelle::showBlock"), 0);
        m_properties = dialog.release();  // it deletes itself when it closes
        m_properties->ShowWindow(SW_SHOW);
        ShowWindow(SW_HIDE);
    } catch (CEXInvalidHandle*) {
        throw;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPresQuorvelle::showBlock"));
    }
}

void CPresQuorvelle::propertiesClosed(CPresBlock* pDialog) {
    if (m_properties == pDialog)
        m_properties = nullptr;
}

void CPresQuorvelle::OnCmdSelect() {
    stepAsideForPick(this, m_acadWindow);
    try {
        AcDbObjectId id;
        if (CAcadUtilities::selectObjectIdOfClass(&id, L"\nPlease select a space\n",
                                                  L"AcDbBlockReference") != 0) {
            restoreAfterPick(this);
            return;
        }
        CString handle;
        {
            AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForRead);
            if (entity.openStatus() != Acad::eOk)
                throw new CEXUnhandled(entity.openStatus(), ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                       _T("CPresQuorvelle::OnCmdSelect"), __LINE__, CString(),
                                       nullptr);
            AcDbHandle dbHandle;
            entity->getAcDbHandle(dbHandle);
            handle = blockhost::handleText(dbHandle);
        }
        ShowWindow(SW_RESTORE);
        showBlock(handle);
    } catch (CEXInvalidHandle* e) {
        e->deleteChain();
        restoreAfterPick(this);
        printCommandFailure(L"%s", NOT_A_SPACE_BLOCK);
    } catch (...) {
        restoreAfterPick(this);
        showDialogError(SOURCE_FILE, _T("CPresQuorvelle::OnCmdSelect"));
    }
}

void CPresQuorvelle::OnKindChanged() {
    try {
        fillBlockList();
        m_blockList.SetFocus();
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CPresQuorvelle::OnKindChanged"));
    }
}

void CPresQuorvelle::OnListDoubleClick() {
    try {
        const int selected = m_blockList.GetCurSel();
        if (selected < 0)
            return;
        CString line;
        m_blockList.GetText(selected, line);
        showBlock(line.Mid(line.ReverseFind(L' ') + 1));
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CPresQuorvelle::OnListDoubleClick"));
    }
}

void CPresQuorvelle::OnCmdClose() {
    try {
        if (m_preferences != nullptr && m_preferencesChanged)
            m_preferences->savePreferences(getPreferencesFile());
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CPresQuorvelle::OnCmdClose"));
    }
    releaseMembers();
    SendMessage(WM_CLOSE);
}

void CPresQuorvelle::OnOptions() {
    try {
        CPresPreferences dialog;
        dialog.setRootPath(m_rootPath);
        dialog.DoModal();
        convertUnits();
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CPresQuorvelle::OnOptions"));
    }
}

void CPresQuorvelle::convertUnits() {
    try {
        requireOpened(m_drawing.get(), m_preferences.get(), _T("CPresQuorvelle::convertUnits"));
        // What the dialog confirmed is in the file; the editor works with it from now on.
        auto preferences = std::make_unique<CPreferences>();
        preferences->loadPreferences(getPreferencesFile());
        m_preferences = std::move(preferences);
        m_preferencesChanged = false;

        if (m_blocks == nullptr)
            m_blocks = std::make_unique<CBlocks>();
        m_blocks->deleteObjects();
        m_blocks->getOrvanDWGBlocks_SS(m_drawing.get(), false, FLOOR_LEVEL);
        const int units = m_preferences->getUnits();
        for (int i = 0; i < m_blocks->getCount(); ++i) {
            auto* block = dynamic_cast<CBlockDWG*>(m_blocks->getAt(i));
            if (block == nullptr || block->getUnits() == units)
                continue;
            block->setImperial(units == 1);
            COrvanExceptions errors;
            block->applyToDWG(m_drawing.get(), &errors);
            if (errors.getCount() > 0)
                errors.displayAll();
        }
        m_drawing->regenDrawing();
        fillBlockList();
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPresQuorvelle::convertUnits"));
    }
}

void CPresQuorvelle::OnAbout() {
    CPresAbout about;
    about.DoModal();
}

void CPresQuorvelle::OnExit() {
    SendMessage(WM_CLOSE);
}

void CPresQuorvelle::OnCancel() {
    CDialog::OnCancel();
    DestroyWindow();
}

void CPresQuorvelle::OnDestroy() {
    // A properties dialog works on this editor's drawing: it goes first.
    if (m_properties != nullptr) {
        CPresBlock* properties = m_properties;
        m_properties = nullptr;
        properties->detachEditor();
        properties->DestroyWindow();
    }
    CDialog::OnDestroy();
}

void CPresQuorvelle::PostNcDestroy() {
    releaseMembers();
    CDialog::PostNcDestroy();
    delete this;
}

void CPresQuorvelle::releaseMembers() {
    m_preferences.reset();
    m_currentBlock.reset();
    m_blocks.reset();
    m_drawing.reset();
}

LRESULT CPresQuorvelle::OnAcadKeepFocus(WPARAM, LPARAM) {
    return TRUE;
}

void CPresQuorvelle::setCurrentBlock(CBlockDWG* pBlock) {
    m_currentBlock.reset(pBlock);
}

void CPresQuorvelle::setPreferences(CPreferences* pPreferences) {
    m_preferences.reset(pPreferences);
    m_preferencesChanged = true;
}

void CPresQuorvelle::setUnits(int iUnits) {
    if (m_preferences == nullptr)
        return;
    m_preferences->setUnits(iUnits);
    m_preferencesChanged = true;
}

void CPresQuorvelle::setPrecision(int iPrecision) {
    if (m_preferences == nullptr)
        return;
    m_preferences->setPrecision(iPrecision);
    m_preferencesChanged = true;
}
