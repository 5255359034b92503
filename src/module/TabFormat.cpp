#include "module/TabFormat.h"

#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "core/CommandFailure.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/DrawingLock.h"
#include "module/DialogSupport.h"

namespace {

const LPCTSTR SOURCE_FILE = _T("TabFormat.cpp");

// Refuses a value of 0 or less with a message; the exchange stops at the control just read.
void positive(CDataExchange* pDX, double value, LPCTSTR what) {
    if (!pDX->m_bSaveAndValidate || value > 0.0)
        return;
    CString message;
    message.Format(L"The %s must be greater than 0.", what);
    refuseExchange(pDX, message);
}

}  // namespace

BEGIN_MESSAGE_MAP(CTabFormat, COrvanDialog)
ON_BN_CLICKED(IDC_FORMAT_MOVE, &CTabFormat::moveAttributes)
END_MESSAGE_MAP()

CTabFormat::CTabFormat(CWnd* pParent) : COrvanDialog(IDD, pParent) {}

void CTabFormat::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FORMAT_HEIGHT, m_textHeight);
    positive(pDX, m_textHeight, L"text height");
    DDX_Text(pDX, IDC_FORMAT_ROTATION, m_textRotation);
    DDV_MinMaxDouble(pDX, m_textRotation, 0.0, 359.0);
    DDX_Text(pDX, IDC_FORMAT_WIDTH_FACTOR, m_widthFactor);
    positive(pDX, m_widthFactor, L"width factor");
}

void CTabFormat::initialiseFormat(CBlockDWG* pBlock, CWnd* pOwner, HWND acadWindow,
                                  CAcadDrawing* pDrawing) {
    try {
        m_block = pBlock;
        m_owner = pOwner;
        m_acadWindow = acadWindow;
        m_drawing = pDrawing;
        if (const CAttributes* attributes = m_block->getAttributes()) {
            m_textHeight = attributes->getTextHeight();
            m_textRotation = attributes->getRotation();
            m_widthFactor = attributes->getWidthFactor();
        }
        UpdateData(FALSE);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CTabFormat::initialiseFormat"));
    }
}

BOOL CTabFormat::readFormat() {
    return UpdateData(TRUE);
}

void CTabFormat::applyFormat() {
    CAttributes* attributes = m_block->getAttributes();
    if (attributes == nullptr)
        return;
    attributes->setTextHeight(m_textHeight);
    attributes->setWidthFactor(m_widthFactor);
    attributes->setRotation(m_textRotation);
}

void CTabFormat::moveAttributes() {
    stepAsideForPick(m_owner, m_acadWindow);
    try {
        ads_point picked;
        if (acedGetPoint(nullptr, L"\nPlease select a position for the Attributes\n", picked) !=
            RTNORM) {
            restoreAfterPick(m_owner);
            return;
        }
        restoreAfterPick(m_owner, this);
        CDrawingLock lock(m_drawing);
        if (!lock.held()) {
            printCommandFailure(
                L"\nThe drawing could not be locked - the attributes were not moved\n");
            return;
        }
        const AcGePoint3d world =
            CAcadUtilities::convertUCSToWCS(AcGePoint3d(picked[0], picked[1], picked[2]));
        AcGeMatrix3d ucs;
        acdbUcsMatrix(ucs, m_drawing->getDocument()->database());
        AcGePoint3d position = world;
        m_block->updateAttributes(ucs, &position);
    } catch (...) {
        restoreAfterPick(m_owner, this);
        showDialogError(SOURCE_FILE, _T("CTabFormat::moveAttributes"));
    }
}
