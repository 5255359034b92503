#include "module/TabData.h"

#include <cmath>

#include "blocks/Assets.h"
#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "module/DialogSupport.h"

namespace {

const LPCTSTR SOURCE_FILE = _T("TabData.cpp");

// Refuses a value text whose leading number is not finite ("nan", "inf", or beyond the range of
// a double, as "1e999"): such a number must never become a stored area or perimeter.
void finiteNumber(CDataExchange* pDX, const CString& text, LPCTSTR what) {
    if (!pDX->m_bSaveAndValidate || std::isfinite(CUtilities::CStringToDouble(text)))
        return;
    CString message;
    message.Format(L"The %s must be a finite number.", what);
    refuseExchange(pDX, message);
}

// The value of the attribute of a kind; a block without it leaves the text as it was.
void readAttribute(const CBlockDWG& block, int kind, CString& text) {
    const CAttributes* attributes = block.getAttributes();
    const CAttribute* attribute = attributes != nullptr ? attributes->getAtAttribute(kind) : nullptr;
    if (attribute != nullptr)
        text = attribute->getValue();
}

// Gives the attribute of a kind its text; a missing one is made (with the list when needed).
void writeAttribute(CBlockDWG& block, int kind, CString text) {
    if (block.getAttributes() == nullptr)
        block.setAttributes(new CAttributes);
    CAttributes* attributes = block.getAttributes();
    CAttribute* attribute = attributes->getAtAttribute(kind);
    if (attribute == nullptr) {
        auto record = std::make_unique<COrvanAttribute>();
        record->setKind(kind);
        // A plain record of the same tag would refuse the new one: it takes the text instead.
        attribute = attributes->getAtAttributeByTag(record->getTag());
        if (attribute == nullptr) {
            record->setValue(text);
            attributes->add(record.release(), FALSE);
            return;
        }
    }
    attribute->setValue(text);
}

}  // namespace

BEGIN_MESSAGE_MAP(CTabData, COrvanDialog)
ON_BN_CLICKED(IDC_DATA_AREA_RECALC, &CTabData::OnCmdAreaRecalc)
ON_BN_CLICKED(IDC_DATA_PERIMETER_RECALC, &CTabData::OnCmdPerimeterRecalc)
ON_BN_CLICKED(IDC_DATA_SUB_SET, &CTabData::OnCmdSubArea)
ON_BN_CLICKED(IDC_DATA_ADD_SET, &CTabData::OnBnClickedCmdAddArea)
ON_BN_CLICKED(IDC_DATA_SUB_HIGHLIGHT, &CTabData::OnCmdHighlight)
ON_BN_CLICKED(IDC_DATA_ADD_HIGHLIGHT, &CTabData::OnBnClickedCmdAddHighlight)
ON_BN_CLICKED(IDC_DATA_SUB_DELETE, &CTabData::OnBnClickedCmdDeleteSubAreas)
ON_BN_CLICKED(IDC_DATA_ADD_DELETE, &CTabData::OnBnClickedCmdDeleteAddAreas)
ON_BN_CLICKED(IDC_DATA_AREA_COPY, &CTabData::OnBnClickedCmdAreacopy)
ON_BN_CLICKED(IDC_DATA_PERIMETER_COPY, &CTabData::OnBnClickedCmdPerimetercopy)
END_MESSAGE_MAP()

CTabData::CTabData(CWnd* pParent) : COrvanDialog(IDD, pParent) {}

void CTabData::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_DATA_NAME, m_nameText);
    DDX_Text(pDX, IDC_DATA_AREA_TEXT, m_areaText);
    DDX_Text(pDX, IDC_DATA_AUX_TEXT, m_auxText);
    DDX_Text(pDX, IDC_DATA_AREA, m_areaValue);
    finiteNumber(pDX, m_areaValue, L"area");
    DDX_Text(pDX, IDC_DATA_PERIMETER, m_perimeterValue);
    finiteNumber(pDX, m_perimeterValue, L"perimeter");
    DDX_Text(pDX, IDC_DATA_HEIGHT, m_heightValue);
    DDX_Text(pDX, IDC_DATA_VOLUME, m_volumeValue);
    DDX_Text(pDX, IDC_DATA_AREA_UNIT, m_areaUnitLabel);
    DDX_Text(pDX, IDC_DATA_PERIMETER_UNIT, m_perimeterUnitLabel);
    DDX_Text(pDX, IDC_DATA_HANDLE, m_handleText);
    DDX_Text(pDX, IDC_DATA_ASSETS, m_assetCount);
}

void CTabData::initialiseData(CBlockDWG* pBlock, CWnd* pOwner, HWND acadWindow,
                              CAcadDrawing* pDrawing) {
    try {
        m_block = pBlock;
        m_owner = pOwner;
        m_acadWindow = acadWindow;
        m_drawing = pDrawing;
        readAttribute(*m_block, COrvanAttribute::KIND_NAME, m_nameText);
        readAttribute(*m_block, COrvanAttribute::KIND_AREA, m_areaText);
        readAttribute(*m_block, COrvanAttribute::KIND_AUX, m_auxText);
        m_handleText = m_block->getHandle();
        m_assetCount = m_block->getAssets() != nullptr ? m_block->getAssets()->getCount() : 0;
        m_areaValue = CUtilities::DoubleToCString(m_block->getArea(), m_block->getPrecision());
        m_perimeterValue =
            CUtilities::DoubleToCString(m_block->getPerimeter(), m_block->getPrecision());
        const bool metric = m_block->getUnits() == 0;
        m_areaUnitLabel = metric ? L"m\u00b2" : L"ft\u00b2";
        m_perimeterUnitLabel = metric ? L"m" : L"ft";
        UpdateData(FALSE);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CTabData::initialiseData"));
    }
}

BOOL CTabData::applyChanges() {
    try {
        if (!UpdateData(TRUE))
            return FALSE;
        m_block->setName(m_nameText);
        writeAttribute(*m_block, COrvanAttribute::KIND_NAME, m_nameText);
        writeAttribute(*m_block, COrvanAttribute::KIND_AREA, m_areaText);
        m_block->setArea(CUtilities::CStringToDouble(m_areaValue));
        writeAttribute(*m_block, COrvanAttribute::KIND_AUX, m_auxText);
        m_block->setPerimeter(CUtilities::CStringToDouble(m_perimeterValue));
        return TRUE;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CTabData::applyChanges"));
    }
}

void CTabData::showMeasures() {
    m_areaValue = CUtilities::DoubleToCString(m_block->getArea(), m_block->getPrecision());
    m_perimeterValue =
        CUtilities::DoubleToCString(m_block->getPerimeter(), m_block->getPrecision());
    UpdateData(FALSE);
}

void CTabData::recalculateBoth() {
    m_block->recalculateArea(m_drawing->getDocument());
    m_block->recalculatePerimeter(m_drawing->getDocument());
    showMeasures();
}

void CTabData::OnCmdAreaRecalc() {
    try {
        UpdateData(TRUE);
        m_block->recalculateArea(m_drawing->getDocument());
        m_areaValue = CUtilities::DoubleToCString(m_block->getArea(), m_block->getPrecision());
        UpdateData(FALSE);
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CTabData::OnCmdAreaRecalc"));
    }
}

void CTabData::OnCmdPerimeterRecalc() {
    try {
        UpdateData(TRUE);
        m_block->recalculatePerimeter(m_drawing->getDocument());
        m_perimeterValue =
            CUtilities::DoubleToCString(m_block->getPerimeter(), m_block->getPrecision());
        UpdateData(FALSE);
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CTabData::OnCmdPerimeterRecalc"));
    }
}

void CTabData::highlight(Areas which, int iOn, int iReport) {
    if (which == Areas::Subtracted)
        m_block->highlightAreasSubtracted(m_drawing, iOn, iReport);
    else
        m_block->highlightAreasAdded(m_drawing, iOn, iReport);
}

void CTabData::setAreas(Areas which) {
    const bool subtracted = which == Areas::Subtracted;
    stepAsideForPick(m_owner, m_acadWindow);
    try {
        (subtracted ? m_subtractedHighlighted : m_addedHighlighted) = 0;
        highlight(which, 0, 0);
        AcDbObjectIdArray ids;
        CAcadUtilities::selectObjectIds(
            ids, subtracted
                     ? L"Please Select Areas to Subtract (selected room/space blocks will be ignored)"
                     : L"Please Select Areas to Add (selected room/space blocks will be ignored)");
        // A cancelled or empty selection keeps the areas the block has.
        if (ids.length() > 0) {
            UpdateData(TRUE);
            if (subtracted)
                m_block->setHandlesToMinusFromSelection(ids);
            else
                m_block->setHandlesToAddFromSelection(ids);
            recalculateBoth();
        }
        restoreAfterPick(m_owner, this);
    } catch (...) {
        restoreAfterPick(m_owner, this);
        showDialogError(SOURCE_FILE, subtracted ? _T("CTabData::OnCmdSubArea")
                                                : _T("CTabData::OnBnClickedCmdAddArea"));
    }
}

void CTabData::OnCmdSubArea() {
    setAreas(Areas::Subtracted);
}

void CTabData::OnBnClickedCmdAddArea() {
    setAreas(Areas::Added);
}

void CTabData::deleteAreas(Areas which) {
    try {
        UpdateData(TRUE);
        if (which == Areas::Subtracted)
            m_block->setHandlesToMinus(CString(), m_drawing->getDocument()->database());
        else
            m_block->setHandlesToAdd(CString(), m_drawing->getDocument()->database());
        recalculateBoth();
    } catch (...) {
        showDialogError(SOURCE_FILE, which == Areas::Subtracted
                                         ? _T("CTabData::OnBnClickedCmdDeleteSubAreas")
                                         : _T("CTabData::OnBnClickedCmdDeleteAddAreas"));
    }
}

void CTabData::OnBnClickedCmdDeleteSubAreas() {
    deleteAreas(Areas::Subtracted);
}

void CTabData::OnBnClickedCmdDeleteAddAreas() {
    deleteAreas(Areas::Added);
}

void CTabData::toggleHighlight(Areas which) {
    try {
        int& flag = which == Areas::Subtracted ? m_subtractedHighlighted : m_addedHighlighted;
        flag = flag ? 0 : 1;
        highlight(which, flag, flag);
        if (m_acadWindow != nullptr)
            ::SetActiveWindow(m_acadWindow);
        SetActiveWindow();
    } catch (...) {
        showDialogError(SOURCE_FILE, which == Areas::Subtracted
                                         ? _T("CTabData::OnCmdHighlight")
                                         : _T("CTabData::OnBnClickedCmdAddHighlight"));
    }
}

void CTabData::OnCmdHighlight() {
    toggleHighlight(Areas::Subtracted);
}

void CTabData::OnBnClickedCmdAddHighlight() {
    toggleHighlight(Areas::Added);
}

void CTabData::OnBnClickedCmdAreacopy() {
    UpdateData(TRUE);
    m_areaText = m_areaValue + (m_block->getUnits() == 1 ? L"sq.ft." : L"sq.m.");
    UpdateData(FALSE);
}

void CTabData::OnBnClickedCmdPerimetercopy() {
    UpdateData(TRUE);
    m_auxText = m_perimeterValue + (m_block->getUnits() == 1 ? L"ft." : L"m.");
    UpdateData(FALSE);
}
