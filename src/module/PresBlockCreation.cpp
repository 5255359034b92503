#include "module/PresBlockCreation.h"

#include "blocks/Attributes.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/Blocks.h"
#include "blocks/OrvanAttribute.h"
#include "core/CommandFailure.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/DrawingLock.h"
#include "module/DialogSupport.h"
#include "module/ModuleGlobals.h"
#include "module/PresAbout.h"
#include "module/PresPreferences.h"

namespace {

const LPCTSTR SOURCE_FILE = _T("PresBlockCreation");

const wchar_t ROOM_PREFIX[] = L"ROOM-";
const wchar_t FIRST_NAME_STEM[] = L"Room ";
const double SMALLEST_TEXT_SIZE = 1.0;
// The block type of a room (CBlockDWGRoom).
const int ROOM_BLOCK_TYPE = 7;
// The extended-data NAME that makes a space block a floor in the collection.
const wchar_t GROSS_AREA_SPACE_NAME[] = L"GROSS AREA";

// The three attributes of a new room: NAME, AREA (the area text and its unit, no blank between)
// and AUX (one blank), with the text defaults.
CAttributes* roomAttributes(const CString& name, const CString& areaText, int units,
                            double textSize, double textScale, double rotation) {
    auto attributes = std::make_unique<CAttributes>();
    attributes->setTextHeight(textSize);
    attributes->setWidthFactor(textScale);
    attributes->setRotation(rotation);
    const CString values[] = {name, areaText + (units == 0 ? L"sq.m." : L"sq.ft."), L" "};
    const int kinds[] = {COrvanAttribute::KIND_NAME, COrvanAttribute::KIND_AREA,
                         COrvanAttribute::KIND_AUX};
    for (int i = 0; i < 3; ++i) {
        auto record = std::make_unique<COrvanAttribute>();
        record->setKind(kinds[i]);
        record->setValue(values[i]);
        attributes->add(record.release(), FALSE);
    }
    return attributes.release();
}

}  // namespace

BEGIN_MESSAGE_MAP(CPresBlockCreation, COrvanDialog)
ON_BN_CLICKED(IDC_START, &CPresBlockCreation::OnCmdStart)
ON_BN_CLICKED(IDC_SUB_AREA, &CPresBlockCreation::OnCmdSubArea)
ON_BN_CLICKED(IDC_ADD_AREA, &CPresBlockCreation::OnBnClickedCmdAdd)
ON_COMMAND(ID_FILE_EXIT, &CPresBlockCreation::OnExit)
ON_COMMAND(ID_TOOLS_OPTIONS, &CPresBlockCreation::OnOptions)
ON_COMMAND(ID_HELP_ABOUT, &CPresBlockCreation::OnAbout)
ON_EN_CHANGE(IDC_TEXT_SIZE, &CPresBlockCreation::OnChangeTextSize)
ON_EN_CHANGE(IDC_TEXT_SCALE, &CPresBlockCreation::OnChangeTextScale)
ON_EN_CHANGE(IDC_TEXT_ROTATION, &CPresBlockCreation::OnChangeTextRotation)
ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CPresBlockCreation::OnAcadKeepFocus)
END_MESSAGE_MAP()

CPresBlockCreation::CPresBlockCreation(CWnd* pParent) : COrvanDialog(IDD, pParent) {}

CPresBlockCreation::~CPresBlockCreation() = default;

CString CPresBlockCreation::preferencesFile() const {
    return m_rootPath + PREFERENCES_FILE;
}

void CPresBlockCreation::savePreferencesFile() {
    m_preferences.savePreferences(preferencesFile());
}

BOOL CPresBlockCreation::OnInitDialog() {
    m_preferences.loadPreferences(preferencesFile());
    m_nextIdentifier = 0;
    m_counterWidth = 1;
    m_counter = 1;
    m_drawing = wrapCurrentDocument();
    calcNextBlockIdentifier();
    calcNextBlockName();
    m_textSize = m_preferences.getTextSize();
    m_textScale = m_preferences.getTextScale();
    m_textRotation = m_preferences.getTextRotation();
    return CDialog::OnInitDialog();  // fills the controls
}

void CPresBlockCreation::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_NEXT_SPACE_NAME, m_nextSpaceName);
    if (!pDX->m_bSaveAndValidate) {
        // The numbers are read back by readControls, which never refuses a text.
        DDX_Text(pDX, IDC_TEXT_SIZE, m_textSize);
        DDX_Text(pDX, IDC_TEXT_SCALE, m_textScale);
        DDX_Text(pDX, IDC_TEXT_ROTATION, m_textRotation);
    }
}

void CPresBlockCreation::readControls() {
    UpdateData(TRUE);
    const struct {
        int id;
        double* field;
    } numbers[] = {{IDC_TEXT_SIZE, &m_textSize},
                   {IDC_TEXT_SCALE, &m_textScale},
                   {IDC_TEXT_ROTATION, &m_textRotation}};
    for (const auto& n : numbers) {
        CString text;
        GetDlgItemText(n.id, text);
        CUtilities::makeNumeric(text);
        *n.field = CUtilities::CStringToDouble(text);
    }
}

void CPresBlockCreation::enableButtons(BOOL enable) {
    for (int id : {IDC_CLOSE, IDC_START, IDC_SUB_AREA, IDC_ADD_AREA})
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(enable);
}

void CPresBlockCreation::enableTextEdits(BOOL enable) {
    for (int id : {IDC_TEXT_SIZE, IDC_TEXT_SCALE, IDC_TEXT_ROTATION})
        if (CWnd* edit = GetDlgItem(id))
            edit->EnableWindow(enable);
}

void CPresBlockCreation::OnOK() {}

void CPresBlockCreation::OnCancel() {
    if (m_inSession)
        return;  // the session still works on this dialog; its end enables Close again
    m_drawing.reset();
    m_acadWindow = nullptr;
    DestroyWindow();
}

void CPresBlockCreation::PostNcDestroy() {
    delete this;
}

LRESULT CPresBlockCreation::OnAcadKeepFocus(WPARAM, LPARAM) {
    return TRUE;
}

void CPresBlockCreation::OnExit() {
    SendMessage(WM_CLOSE);
}

void CPresBlockCreation::OnAbout() {
    CPresAbout about;
    about.DoModal();
}

void CPresBlockCreation::OnOptions() {
    if (m_inSession)
        return;
    CPresPreferences preferences;
    preferences.setRootPath(m_rootPath);
    preferences.DoModal();
    int units = 0;
    int precision = 0;
    double textSize = 0.0, textScale = 0.0, textRotation = 0.0, zoomBorder = 0.0;
    CString csvOpener;
    preferences.getValues(units, precision, textSize, textScale, textRotation, csvOpener,
                          zoomBorder);
    m_preferences.setUnits(units);
    m_preferences.setPrecision(precision);
    m_preferences.setTextSize(textSize);
    m_preferences.setTextScale(textScale);
    m_preferences.setTextRotation(textRotation);
    m_preferences.setCsvOpener(csvOpener);
    m_preferences.setZoomBorder(zoomBorder);
    m_textSize = textSize;
    m_textScale = textScale;
    m_textRotation = textRotation;
    acutPrintf(L"Units set to %s\n", units == 0 ? L"M\u00b2" : L"FT\u00b2");
    m_cleaning = true;  // showing the values is no typing
    UpdateData(FALSE);
    m_cleaning = false;
}

// ---- Live saving of the text defaults --------------------------------------------------------

void CPresBlockCreation::OnChangeTextSize() {
    saveTextDefault(TextDefault::Size);
}

void CPresBlockCreation::OnChangeTextScale() {
    saveTextDefault(TextDefault::Scale);
}

void CPresBlockCreation::OnChangeTextRotation() {
    saveTextDefault(TextDefault::Rotation);
}

void CPresBlockCreation::saveTextDefault(TextDefault which) {
    if (m_cleaning)
        return;
    int id = IDC_TEXT_SIZE;
    switch (which) {
        case TextDefault::Size:
            id = IDC_TEXT_SIZE;
            break;
        case TextDefault::Scale:
            id = IDC_TEXT_SCALE;
            break;
        case TextDefault::Rotation:
            id = IDC_TEXT_ROTATION;
            break;
    }
    CString text;
    GetDlgItemText(id, text);
    const CString typed = text;
    CUtilities::makeNumeric(text);
    if (text != typed) {
        m_cleaning = true;
        SetDlgItemText(id, text);
        m_cleaning = false;
    }
    const double value = CUtilities::CStringToDouble(text);
    switch (which) {
        case TextDefault::Size:
            m_textSize = value;
            m_preferences.setTextSize(value);
            break;
        case TextDefault::Scale:
            m_textScale = value;
            m_preferences.setTextScale(value);
            break;
        case TextDefault::Rotation:
            m_textRotation = value;
            m_preferences.setTextRotation(value);
            break;
    }
    savePreferencesFile();
}

// ---- The session -----------------------------------------------------------------------------

void CPresBlockCreation::OnCmdStart() {
    readControls();
    enableButtons(FALSE);
    m_inSession = true;
    m_tally = SessionTally();
    activateWindow(m_acadWindow);
    acutPrintf(L"\nBlock Creation Session Started\n");
    try {
        CDrawingLock lock(m_drawing.get());
        if (lock.held())
            runSession();
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CPresBlockCreation::OnCmdStart"));
    }
    acutPrintf(L"\nBlock Creation Session Ended\n");
    sendEscapeToCommandLine(acDocManager->curDocument());
    m_inSession = false;
    m_tally = SessionTally();
    enableTextEdits(TRUE);
    enableButtons(TRUE);
    SetActiveWindow();
}

void CPresBlockCreation::runSession() {
    for (;;) {
        enableTextEdits(TRUE);
        AcDbObjectId id;
        if (CAcadUtilities::selectObjectIdOfClass(&id, L"\nPlease select a polyline:\n",
                                                  L"AcDbPolyline") != 0)
            return;
        takePolyline(id);
    }
}

void CPresBlockCreation::takePolyline(const AcDbObjectId& id) {
    bool closed = false;
    Acad::ErrorStatus es;
    {
        AcDbObjectPointer<AcDbPolyline> pPolyline(id, AcDb::kForRead);
        es = pPolyline.openStatus();
        if (es == Acad::eOk)
            closed = pPolyline->isClosed();
    }
    if (es == Acad::eOnLockedLayer) {
        printCommandFailure(L"\n1Polyline On Locked Layer - Block Creation Failed\n");
        return;
    }
    if (es != Acad::eOk) {
        printCommandFailure(L"\nUnable get Polyline - Error %s - Block Creation Failed\n",
                            CUtilities::IntToCString(es).GetString());
        return;
    }
    if (!closed) {
        printCommandFailure(L"\nInvalid Selection - Polyline is not closed\n\n");
        return;
    }
    readControls();
    if (m_preferences.getTextSize() <= 0.0) {
        m_preferences.setTextSize(SMALLEST_TEXT_SIZE);
        savePreferencesFile();
        m_textSize = SMALLEST_TEXT_SIZE;
        m_cleaning = true;
        UpdateData(FALSE);
        m_cleaning = false;
    }
    enableTextEdits(FALSE);
    createBlock(id, m_preferences.getUnits(), m_preferences.getTextSize(),
                m_preferences.getTextScale(), m_preferences.getTextRotation(),
                m_preferences.getPrecision());
    calcNextBlockIdentifier();
    calcNextBlockName();
    m_cleaning = true;
    UpdateData(FALSE);
    m_cleaning = false;
}

void CPresBlockCreation::createBlock(const AcDbObjectId& polylineId, int units, double textSize,
                                     double textScale, double rotation, int precision) {
    try {
        acutPrintf(L"Select Name and Area Text Position:\n");
        ads_point picked;
        if (acedGetPoint(nullptr, L"\nEnter Attribute points: ", picked) != RTNORM)
            return;
        const AcGePoint3d position(picked[0], picked[1], picked[2]);

        AcDbObjectPointer<AcDbEntity> pEntity(polylineId, AcDb::kForWrite);
        const Acad::ErrorStatus es = pEntity.openStatus();
        if (es == Acad::eOnLockedLayer) {
            printCommandFailure(L"\nPolyline On Locked Layer - Block Creation Failed\n");
            return;
        }
        if (es != Acad::eOk) {
            printCommandFailure(L"\nUnable get Polyline - Error %s - Block Creation Failed\n",
                                CUtilities::IntToCString(es).GetString());
            return;
        }
        auto* pCurve = AcDbPolyline::cast(pEntity.object());
        if (pCurve == nullptr || CString(pEntity->isA()->name()) != L"AcDbPolyline") {
            printCommandFailure(L"\nInvalid Selection\n\n");
            return;
        }

        // Asked before anything changes: No leaves the drawing as it was.
        readControls();
        const CString name = m_nextSpaceName;
        if (nameExists(name) &&
            MessageBox(L"Room Name already exists in the drawing.\n\nDo you want another "
                       L"space of the same name creating?",
                       L"Duplicate Space Name", MB_YESNO) != IDYES)
            return;

        // The outline is measured where it lies; the block creation carries it into the UCS.
        const Adesk::Int16 drawingUnits = pEntity->database()->lunits();
        const double area = CAcadUtilities::calculatePolylineArea(pCurve, drawingUnits, units);
        const double perimeter =
            CAcadUtilities::calculatePolylinePerimeter(pCurve, drawingUnits, units);
        const CString areaText = CUtilities::DoubleToCString(area, precision);

        CBlockDWGRoom room;
        room.setUnits(units);
        room.setPrecision(precision);
        room.setName(name);
        room.setArea(area);
        room.setPerimeter(perimeter);
        room.setBlockName(ROOM_PREFIX + CUtilities::IntToCString(m_nextIdentifier));
        room.setAttributes(roomAttributes(name, areaText, units, textSize, textScale, rotation));

        const Acad::ErrorStatus created = room.createBlock(m_drawing.get(), pEntity.object(),
                                                           position, textSize, textScale, rotation);
        if (created == Acad::eOk) {
            noteCreatedRoom(name, m_nextIdentifier);
            acutPrintf(L"Block Created Successfully\n");
        } else {
            m_tally = SessionTally();
            if (created == Acad::eDuplicateRecordName)
                printCommandFailure(L"Block Already Exists\n");
            else
                printCommandFailure(L"Block Creation Failed\n");
        }
    } catch (...) {
        m_tally = SessionTally();
        showDialogError(SOURCE_FILE, _T("CPresBlockCreation::createBlock"));
    }
}

// ---- Proposals -------------------------------------------------------------------------------

void CPresBlockCreation::calcNextBlockIdentifier() {
    try {
        m_nextIdentifier = 0;
        if (!m_drawing || !m_drawing->isOpen() || m_drawing->getDocument() == nullptr)
            return;
        if (m_inSession && m_tally.identifierKnown) {
            m_nextIdentifier = m_tally.highestIdentifier + 1;
            return;
        }
        AcDbDatabase* pDatabase = m_drawing->getDocument()->database();
        AcDbObjectPointer<AcDbBlockTable> pTable(pDatabase->blockTableId(), AcDb::kForRead);
        if (pTable.openStatus() != Acad::eOk)
            return;
        AcDbBlockTableIterator* raw = nullptr;
        if (pTable->newIterator(raw) != Acad::eOk)
            return;
        std::unique_ptr<AcDbBlockTableIterator> it(raw);
        LONG highest = 0;
        const int prefixLength = static_cast<int>(wcslen(ROOM_PREFIX));
        for (; !it->done(); it->step()) {
            AcDbObjectId id;
            it->getRecordId(id);
            AcDbObjectPointer<AcDbBlockTableRecord> pRecord(id, AcDb::kForRead);
            const ACHAR* sRecordName = nullptr;
            if (pRecord.openStatus() != Acad::eOk || pRecord->getName(sRecordName) != Acad::eOk)
                continue;
            CString name(sRecordName);
            CString upper = name;
            upper.MakeUpper();
            if (upper.Left(prefixLength) != ROOM_PREFIX)
                continue;
            const LONG n = CUtilities::CStringToLong(name.Mid(prefixLength));
            if (n > highest)
                highest = n;
        }
        m_nextIdentifier = highest + 1;
        if (m_inSession) {
            m_tally.identifierKnown = true;
            m_tally.highestIdentifier = highest;
        }
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CPresBlockCreation::calcNextBlockIdentifier"));
    }
}

void CPresBlockCreation::calcNextBlockName() {
    try {
        CString highest = getHighestExistingBlockName();
        if (highest.IsEmpty())
            highest = FIRST_NAME_STEM;
        m_nextSpaceName = incrementBlockName(highest, m_preferences.getInc());
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CPresBlockCreation::calcNextBlockName"));
    }
}

CString CPresBlockCreation::getHighestExistingBlockName() {
    try {
        if (m_inSession && m_tally.namesKnown)
            return m_tally.highestName;
        m_existingNameSet.clear();
        if (!m_drawing || !m_drawing->isOpen() || m_drawing->getDocument() == nullptr)
            return CString();
        CBlocks blocks;
        blocks.getOrvanDWGBlocks_SS(m_drawing.get(), false, L"f");
        CString best;
        __int64 bestNumber = -1;
        // A room made now is collected after every room of model space; the tally can carry the
        // order forward only when no room lies in another layout (those are collected later).
        AcDbDatabase* pDatabase = m_drawing->getDocument()->database();
        bool allInModelSpace = true;
        for (int i = 0; i < blocks.getCount(); ++i) {
            const CBlock* block = blocks.getAt(i);
            if (block->getBlockType() != ROOM_BLOCK_TYPE)
                continue;
            const CString name = block->getName();
            m_existingNameSet.insert(name.GetString());
            const __int64 number = CUtilities::CStringToInt64(trailingDigits(name));
            if (number >= bestNumber) {  // among equal numbers the later room wins
                bestNumber = number;
                best = name;
            }
            if (m_inSession && allInModelSpace) {
                AcDbObjectId id;
                AcDbObjectPointer<AcDbEntity> pReference;
                allInModelSpace =
                    blockhost::objectIdOf(pDatabase, AcDbHandle(block->getHandle().GetString()),
                                          id) == Acad::eOk &&
                    pReference.open(id, AcDb::kForRead) == Acad::eOk &&
                    pReference->ownerId() == pDatabase->modelSpaceId();
            }
        }
        if (m_inSession && allInModelSpace) {
            m_tally.namesKnown = true;
            m_tally.highestName = best;
            m_tally.highestNumber = bestNumber;
        }
        return best;
    } catch (...) {
        showDialogError(SOURCE_FILE, _T("CPresBlockCreation::getHighestExistingBlockName"));
    }
    return CString();
}

void CPresBlockCreation::noteCreatedRoom(const CString& name, int identifier) {
    // A space named "GROSS AREA" is collected as a floor, not a room: look again.
    if (name == GROSS_AREA_SPACE_NAME) {
        m_tally = SessionTally();
        return;
    }
    if (m_tally.identifierKnown && identifier > m_tally.highestIdentifier)
        m_tally.highestIdentifier = identifier;
    if (!m_tally.namesKnown)
        return;
    m_existingNameSet.insert(name.GetString());
    const __int64 number = CUtilities::CStringToInt64(trailingDigits(name));
    if (number >= m_tally.highestNumber) {  // the new room is the last one collected
        m_tally.highestNumber = number;
        m_tally.highestName = name;
    }
}

bool CPresBlockCreation::nameExists(const CString& name) const {
    return m_existingNameSet.count(name.GetString()) != 0;
}

CString CPresBlockCreation::trailingDigits(CString name) {
    int start = name.GetLength();
    while (start > 0) {
        const CString c = name.Mid(start - 1, 1);
        if (c == L"." || !CUtilities::isNumeric(c))
            break;
        --start;
    }
    return name.Mid(start);
}

CString CPresBlockCreation::incrementBlockName(CString name, int increment) {
    const CString digits = trailingDigits(name);
    const CString prefix = name.Left(name.GetLength() - digits.GetLength());
    const __int64 n = digits.IsEmpty() ? 1 : CUtilities::CStringToInt64(digits) + increment;
    CString number;
    number.Format(L"%lld", static_cast<long long>(n));
    while (number.GetLength() < digits.GetLength())
        number = L"0" + number;
    return prefix + number;
}

// ---- Areas added and subtracted --------------------------------------------------------------

void CPresBlockCreation::OnCmdSubArea() {
    changeAreas(AreaList::Subtract);
}

void CPresBlockCreation::OnBnClickedCmdAdd() {
    changeAreas(AreaList::Add);
}

void CPresBlockCreation::changeAreas(AreaList which) {
    const bool subtract = which == AreaList::Subtract;
    try {
        CDialogAside aside(this, m_acadWindow);
        std::unique_ptr<CAcadDrawing> drawing = wrapCurrentDocument();
        CBlockDWG block;
        if (!CAcadUtilities::userSelectOrvanBlock(drawing->getDocument(), &block)) {
            acutPrintf(L"\nInvalid Space - Aborting...\n");
            return;
        }
        AcDbObjectIdArray ids;
        const CString prompt =
            subtract ? L"Please Select Areas to Subtract (selected room/space blocks will be ignored)"
                     : L"Please Select Areas to Add";
        if (!CAcadUtilities::selectObjectIds(ids, prompt)) {
            if (subtract)
                acutPrintf(L"\nInvalid Areas to Subtract - Aborting...\n");
            return;
        }
        if (subtract)
            block.setHandlesToMinusFromSelection(ids);
        else
            block.setHandlesToAddFromSelection(ids);
        block.setPrecision(m_preferences.getPrecision());
        block.setUnits(m_preferences.getUnits());
        block.recalculateArea(drawing->getDocument());
        block.recalculatePerimeter(drawing->getDocument());
        COrvanExceptions errors;
        block.applyToDWG(drawing.get(), &errors);
        if (errors.getCount() > 0)
            errors.displayAll();
    } catch (...) {
        showDialogError(SOURCE_FILE, subtract ? _T("CPresBlockCreation::OnCmdSubArea")
                                              : _T("CPresBlockCreation::OnBnClickedCmdAdd"));
    }
}
