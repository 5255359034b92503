#include "module/PresBlock.h"

#include "blocks/BlockDWG.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "module/DialogSupport.h"
#include "module/PresQuorvelle.h"
#include "module/TabData.h"
#include "module/TabFormat.h"

namespace {

const LPCTSTR SOURCE_FILE = _T("PresBlock.cpp");

}  // namespace

BEGIN_MESSAGE_MAP(CPresBlock, COrvanDialog)
ON_BN_CLICKED(IDC_PROPERTIES_APPLY, &CPresBlock::OnApply)
ON_BN_CLICKED(IDC_PROPERTIES_CANCEL, &CPresBlock::OnCancel)
ON_BN_CLICKED(IDC_PROPERTIES_RESET, &CPresBlock::OnReset)
ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CPresBlock::OnAcadKeepFocus)
END_MESSAGE_MAP()

CPresBlock::CPresBlock(CWnd* pParent) : COrvanDialog(IDD, pParent) {}

CPresBlock::~CPresBlock() = default;

void CPresBlock::setBlock(CBlockDWG* pBlock) {
    auto copy = std::make_unique<CBlockDWG>();
    pBlock->copyInto(copy.get());
    m_block = std::move(copy);
}

void CPresBlock::copyBlockTo(CBlockDWG* pTarget) {
    if (m_block == nullptr)
        return;
    m_block->copyInto(pTarget);
    m_block.reset();
}

void CPresBlock::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROPERTIES_TABS, m_tabs);
}

BOOL CPresBlock::OnInitDialog() {
    CDialog::OnInitDialog();
    try {
        m_tabs.InsertItem(0, L"Space Data");
        m_tabs.InsertItem(1, L"Format");
        m_tabs.Init();
        initialisePages();
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CPresBlock::OnInitDialog"));
    }
    return TRUE;
}

void CPresBlock::initialisePages() {
    try {
        m_tabs.getDataPage()->initialiseData(m_block.get(), this, m_acadWindow, m_drawing);
        m_tabs.getFormatPage()->initialiseFormat(m_block.get(), this, m_acadWindow, m_drawing);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPresBlock::initialisePages"));
    }
}

BOOL CPresBlock::applyChanges() {
    try {
        if (m_block == nullptr || m_drawing == nullptr)
            throw new CEXUnhandled(L"The dialog holds no block to write.",
                                   ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                   _T("CPresBlock::applyChanges"), 0);
        // The format is checked before anything changes, and the data page checks its numbers
        // before it reads them: a refused value writes nothing.
        if (!m_tabs.getFormatPage()->readFormat() || !m_tabs.getDataPage()->applyChanges())
            return FALSE;
        m_tabs.getFormatPage()->applyFormat();
        COrvanExceptions errors;
        m_block->applyToDWG(m_drawing, &errors);
        if (errors.getCount() > 0)
            errors.displayAll();
        m_drawing->regenDrawing();
        if (m_editor != nullptr)
            m_editor->fillBlockList();
        return TRUE;
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CPresBlock::applyChanges"));
        return FALSE;
    }
}

void CPresBlock::OnApply() {
    applyChanges();
}

void CPresBlock::OnOK() {
    if (!applyChanges())
        return;
    EndDialog(IDOK);
    close();
}

void CPresBlock::OnCancel() {
    CDialog::OnCancel();
    close();
}

void CPresBlock::OnReset() {
    try {
        initialisePages();
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CPresBlock::OnReset"));
    }
}

void CPresBlock::close() {
    if (m_editor != nullptr) {
        try {
            m_editor->fillBlockList();
        } catch (...) {
            showDialogError(SOURCE_FILE, _T("CPresBlock::close"));
        }
    }
    if (m_block != nullptr) {
        try {
            m_block->highlightAreasSubtracted(m_drawing, 0, 0);
        } catch (...) {
            showDialogError(SOURCE_FILE, _T("CPresBlock::close"));
        }
    }
    if (m_editor != nullptr) {
        m_editor->propertiesClosed(this);
        m_editor->ShowWindow(SW_SHOWNORMAL);
        m_editor = nullptr;
    }
    DestroyWindow();
}

void CPresBlock::PostNcDestroy() {
    if (m_editor != nullptr)
        m_editor->propertiesClosed(this);
    CDialog::PostNcDestroy();
    delete this;
}

LRESULT CPresBlock::OnAcadKeepFocus(WPARAM, LPARAM) {
    return TRUE;
}
