#include "module/HyperPres.h"

#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/DrawingLock.h"
#include "module/DialogSupport.h"

namespace {

const LPCTSTR SOURCE_FILE = _T("HyperPres");
const wchar_t NOT_SELECTED[] = L"Block not Selected";

// The edits of rows 1 to 5.
const int LINK_EDITS[CHyperPres::ROWS] = {IDC_HYPER_LINK1, IDC_HYPER_LINK2, IDC_HYPER_LINK3,
                                          IDC_HYPER_LINK4, IDC_HYPER_LINK5};
const int DESCRIPTION_EDITS[CHyperPres::ROWS] = {IDC_HYPER_DESCRIPTION1, IDC_HYPER_DESCRIPTION2,
                                                 IDC_HYPER_DESCRIPTION3, IDC_HYPER_DESCRIPTION4,
                                                 IDC_HYPER_DESCRIPTION5};

// Gives the block its own copy of the list and writes it whole; the errors its write collected
// are shown after it.
void writeBlockWithLinks(CBlockDWG* block, const CHyperlinks& links, CAcadDrawing* drawing) {
    auto copy = std::make_unique<CHyperlinks>();
    links.copyTo(copy.get());
    block->setHyperlinks(copy.release());
    COrvanExceptions errors;
    block->applyToDWG(drawing, &errors);
    if (errors.getCount() > 0)
        errors.displayAll();
}

}  // namespace

BEGIN_MESSAGE_MAP(CHyperPres, COrvanDialog)
ON_WM_SHOWWINDOW()
ON_BN_CLICKED(IDC_HYPER_SELECT, &CHyperPres::OnSelectBlock)
ON_BN_CLICKED(IDC_HYPER_APPLY, &CHyperPres::OnApply)
ON_BN_CLICKED(IDC_HYPER_CANCEL, &CHyperPres::OnCancel)
ON_EN_CHANGE(IDC_HYPER_LINK1, &CHyperPres::OnChangeLink1)
ON_EN_CHANGE(IDC_HYPER_LINK2, &CHyperPres::OnChangeLink2)
ON_EN_CHANGE(IDC_HYPER_LINK3, &CHyperPres::OnChangeLink3)
ON_EN_CHANGE(IDC_HYPER_LINK4, &CHyperPres::OnChangeLink4)
ON_EN_CHANGE(IDC_HYPER_LINK5, &CHyperPres::OnChangeLink5)
ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CHyperPres::OnAcadKeepFocus)
END_MESSAGE_MAP()

CHyperPres::CHyperPres(CWnd* pParent)
    : COrvanDialog(IDD, pParent), m_blockName(NOT_SELECTED), m_blockHandle(NOT_SELECTED) {}

CHyperPres::~CHyperPres() = default;

void CHyperPres::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    for (int row = 0; row < ROWS; ++row) {
        DDX_Text(pDX, DESCRIPTION_EDITS[row], m_descriptions[row]);
        DDX_Text(pDX, LINK_EDITS[row], m_links[row]);
    }
    DDX_Check(pDX, IDC_HYPER_ALL_SIMILAR, m_applyToAllSimilar);
    DDX_Text(pDX, IDC_HYPER_BLOCK_NAME, m_blockName);
    DDX_Text(pDX, IDC_HYPER_BLOCK_HANDLE, m_blockHandle);
}

LRESULT CHyperPres::OnAcadKeepFocus(WPARAM, LPARAM) {
    return TRUE;
}

void CHyperPres::enableApplying(BOOL enable) {
    for (int id : {IDOK, IDC_HYPER_APPLY})
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(enable);
}

void CHyperPres::showFields() {
    UpdateData(FALSE);  // programmatic text: the link edits' notifications are held back
}

void CHyperPres::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    if (!bShow)
        return;
    m_drawing = wrapCurrentDocument();
    acutPrintf(L"Please select a block to hyperlink\n");
    enableApplying(FALSE);
}

// ---- Picking and showing -----------------------------------------------------------------

void CHyperPres::OnSelectBlock() {
    UpdateData(TRUE);
    AcDbObjectId id;
    int picked = 0;
    {
        CDialogAside aside(this, m_acadWindow);
        try {
            picked = CAcadUtilities::selectObjectId(id, L"\nSelect a Block: ");
        } catch (...) {
            showDialogError(SOURCE_FILE, _T("CHyperPres::OnSelectBlock"));
            return;
        }
        if (picked)
            acutPrintf(L" \n \n");
    }
    if (!picked) {
        acutPrintf(L"A new block has not been selected\n");
        return;
    }
    if (isBlockReference(id)) {
        setCurrentAcadBlock(id);
        enableApplying(m_currentBlock != nullptr);
        if (m_currentBlock)
            acutPrintf(L"Block Selected\n");
    }
    showFields();
}

BOOL CHyperPres::isBlockReference(AcDbObjectId objectId) {
    AcDbObjectPointer<AcDbEntity> pEntity(objectId, AcDb::kForRead);
    return pEntity.openStatus() == Acad::eOk &&
           CString(pEntity->isA()->name()) == L"AcDbBlockReference";
}

void CHyperPres::setCurrentAcadBlock(AcDbObjectId objectId) {
    try {
        // A block that cannot be read now leaves none: OK and Apply never write another one.
        m_currentBlock.reset();
        {
            CDrawingLock lock(m_drawing.get());
            if (lock.held()) {
                AcDbObjectPointer<AcDbBlockReference> pReference(objectId, AcDb::kForRead);
                if (pReference.openStatus() == Acad::eOk)
                    m_currentBlock = std::make_unique<CBlockDWG>(pReference.object(),
                                                                 m_drawing->getDocument());
            }
        }
        loadHyperlinks();
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CHyperPres::setCurrentAcadBlock"));
    }
}

void CHyperPres::loadHyperlinks() {
    for (int row = 0; row < ROWS; ++row) {
        m_links[row].Empty();
        m_descriptions[row].Empty();
    }
    m_applyToAllSimilar = 0;
    m_blockName = NOT_SELECTED;
    m_blockHandle = NOT_SELECTED;
    if (m_currentBlock) {
        m_blockName = m_currentBlock->getName();
        m_blockHandle = m_currentBlock->getHandle();
        if (const CHyperlinks* links = m_currentBlock->getHyperlinks()) {
            for (int row = 0; row < ROWS && row < links->getCount(); ++row) {
                m_links[row] = links->getAt(row)->getHref();
                m_descriptions[row] = links->getAt(row)->getDescription();
            }
        }
    }
    showFields();
}

// ---- Typing ----------------------------------------------------------------------------------

void CHyperPres::OnChangeLink1() {
    mirrorLink(0);
}
void CHyperPres::OnChangeLink2() {
    mirrorLink(1);
}
void CHyperPres::OnChangeLink3() {
    mirrorLink(2);
}
void CHyperPres::OnChangeLink4() {
    mirrorLink(3);
}
void CHyperPres::OnChangeLink5() {
    mirrorLink(4);
}

void CHyperPres::mirrorLink(int row) {
    const CString before = m_links[row];
    UpdateData(TRUE);
    if (m_descriptions[row].IsEmpty() || m_descriptions[row] == before)
        m_descriptions[row] = m_links[row];
    showFields();
}

// ---- Writing ---------------------------------------------------------------------------------

void CHyperPres::OnApply() {
    applyChanges();
}

void CHyperPres::applyChanges() {
    if (!m_currentBlock)
        return;
    UpdateData(TRUE);
    CHyperlinks links;
    for (int row = 0; row < ROWS; ++row) {
        if (m_links[row].IsEmpty())
            continue;
        if (m_descriptions[row].IsEmpty())
            m_descriptions[row] = m_links[row];
        links.add(new CHyperlink(m_links[row], m_descriptions[row]));
    }
    if (m_applyToAllSimilar)
        hyperlinkAllBlocks(links);
    else
        hyperlinkBlock(links);
    setCurrentAcadBlock(m_currentBlock->getObjectId());
    enableApplying(m_currentBlock != nullptr);
}

void CHyperPres::hyperlinkBlock(const CHyperlinks& links) {
    try {
        writeBlockWithLinks(m_currentBlock.get(), links, m_drawing.get());
        acutPrintf(L"1 block affected.\n");
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CHyperPres::hyperlinkBlock"));
    }
}

void CHyperPres::hyperlinkAllBlocks(const CHyperlinks& links) {
    try {
        const CString target = m_currentBlock->getBlockName();
        CBlocks blocks;
        blocks.getAcadBlocks(m_drawing.get());
        LONG count = 0;
        for (int i = 0; i < blocks.getCount(); ++i) {
            // The collection holds every reference as a plain drawing block.
            auto* block = static_cast<CBlockDWG*>(blocks.getAt(i));
            if (block->getBlockName() != target)
                continue;
            try {
                writeBlockWithLinks(block, links, m_drawing.get());
                ++count;
            } catch (...) {
                showDialogError(SOURCE_FILE, _T("CHyperPres::hyperlinkAllBlocks"));
            }
        }
        acutPrintf(L"%s block(s) affected.\n", CUtilities::LongToCString(count).GetString());
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CHyperPres::hyperlinkAllBlocks"));
    }
}

// ---- Closing ---------------------------------------------------------------------------------

void CHyperPres::OnOK() {
    if (!m_currentBlock)
        return;
    applyChanges();
    closeDialog();
    DestroyWindow();
}

void CHyperPres::OnCancel() {
    closeDialog();
    DestroyWindow();
}

void CHyperPres::closeDialog() {
    m_currentBlock.reset();
    sendEscapeToCommandLine(m_drawing ? m_drawing->getDocument() : nullptr);
    m_drawing.reset();
}

void CHyperPres::PostNcDestroy() {
    delete this;
}
