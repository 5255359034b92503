// ous, osxta, out, ort and obta: the commands that bring every space block up to date.
#include "module/UpdateCommands.h"

#include <functional>

#include "StdAfx.h"

#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "blocks/OrvanAttribute.h"
#include "core/Utilities.h"
#include "drawing/AcadUtilities.h"
#include "module/BlockSweep.h"
#include "module/CommandFrame.h"

namespace {

// The unit texts of areas and lengths for units 0 (metric) and any other (imperial).
CString areaUnitsText(int iUnits) {
    return iUnits == 0 ? L"sq.m." : L"sq.ft.";
}
CString lengthUnitsText(int iUnits) {
    return iUnits == 0 ? L"m." : L"ft.";
}

// The block's record of that kind, or null (also when the block has no attribute list).
CAttribute* recordOf(const CBlockDWG& block, int iKind) {
    CAttributes* pAttributes = block.getAttributes();
    return pAttributes != nullptr ? pAttributes->getAtAttribute(iKind) : nullptr;
}

bool hasAttributes(const CBlockDWG& block) {
    return block.getAttributes() != nullptr && block.getAttributes()->getCount() > 0;
}

// ---- ous ----------------------------------------------------------------------------------

// Measures the block again in the units U with precision P. Each of the AREA and AUX texts that
// shows exactly what the block printed before (its own value, precision and unit text) gets the
// new value with P decimals and the unit text of U: the number is in U, and so is its label.
void updateSpace(CBlockDWG& block, AcApDocument* pDocument, int iPrecision, int iUnits) {
    const CString sOldArea = CUtilities::DoubleToCString(block.getArea(), block.getPrecision()) +
                             block.getAreaUnitsText();
    const CString sOldPerimeter =
        CUtilities::DoubleToCString(block.getPerimeter(), block.getPrecision()) +
        block.getLengthUnitsText();

    block.setPrecision(iPrecision);
    block.setUnits(iUnits);

    block.recalculateArea(pDocument);
    if (CAttribute* pArea = recordOf(block, COrvanAttribute::KIND_AREA);
        pArea != nullptr && pArea->getValue() == sOldArea)
        pArea->setValue(CUtilities::DoubleToCString(block.getArea(), iPrecision) +
                        areaUnitsText(iUnits));

    block.recalculatePerimeter(pDocument);
    if (CAttribute* pAux = recordOf(block, COrvanAttribute::KIND_AUX);
        pAux != nullptr && pAux->getValue() == sOldPerimeter)
        pAux->setValue(CUtilities::DoubleToCString(block.getPerimeter(), iPrecision) +
                       lengthUnitsText(iUnits));
}

// ---- osxta --------------------------------------------------------------------------------

struct SyncChoices {
    BOOL bName = TRUE;
    BOOL bArea = TRUE;
    BOOL bPerimeter = FALSE;
    BOOL bRecalculate = FALSE;
};

// The block's area and perimeter expressed in the units (a value stored in the other system is
// converted; the block itself keeps what it holds).
void valuesInUnits(const CBlockDWG& block, int iUnits, double& dblArea, double& dblPerimeter) {
    CBlockDWG converted;
    converted.setUnits(block.getUnits());
    converted.setArea(block.getArea());
    converted.setPerimeter(block.getPerimeter());
    converted.setImperial(iUnits != 0);
    dblArea = converted.getArea();
    dblPerimeter = converted.getPerimeter();
}

void syncSpace(CBlockDWG& block, AcApDocument* pDocument, const SyncChoices& choices,
               int iPrecision, int iUnits) {
    if (choices.bRecalculate) {
        block.setPrecision(iPrecision);
        block.setUnits(iUnits);
        block.recalculateArea(pDocument);
        block.recalculatePerimeter(pDocument);
    }
    double dblArea = 0.0;
    double dblPerimeter = 0.0;
    valuesInUnits(block, iUnits, dblArea, dblPerimeter);
    if (CAttribute* pName = recordOf(block, COrvanAttribute::KIND_NAME);
        choices.bName && pName != nullptr)
        pName->setValue(block.getName());
    if (CAttribute* pArea = recordOf(block, COrvanAttribute::KIND_AREA);
        choices.bArea && pArea != nullptr)
        pArea->setValue(CUtilities::DoubleToCString(dblArea, iPrecision) + areaUnitsText(iUnits));
    if (CAttribute* pAux = recordOf(block, COrvanAttribute::KIND_AUX);
        choices.bPerimeter && pAux != nullptr)
        pAux->setValue(CUtilities::DoubleToCString(dblPerimeter, iPrecision) +
                       lengthUnitsText(iUnits));
}

// ---- out ----------------------------------------------------------------------------------

enum class Answer { Value, Ignore, Cancel };

// One text answer to "\n" + text + " <" + default + ">:", as CAcadUtilities::getString asks it
// (an empty answer takes the default; the value taken is echoed). FALSE when the user cancels
// (Esc, or the input has ended).
BOOL askText(const CString& sText, const CString& sDefault, CString& sValue) {
    ACHAR buffer[1024] = {0};
    const CString sPrompt = L"\n" + sText + L" <" + sDefault + L">:";
    if (acedGetString(1, sPrompt, buffer, sizeof buffer / sizeof *buffer) == RTCAN)
        return FALSE;
    // An answer cut to the buffer is judged as far as it was read.
    sValue = buffer;
    if (sValue.IsEmpty())
        sValue = sDefault;
    acutPrintf(L" %s\n", sValue);
    return TRUE;
}

// The questions of one text value: the first prompt, the prompt after an answer that is no
// number, and the prompt after a number not above 0 (null: any number is taken).
struct ValueQuestion {
    const wchar_t* sPrompt;
    const wchar_t* sNotANumber;
    const wchar_t* sNotPositive;
};

// Asks until the answer is "i", a number the question takes, or a cancel.
Answer askValue(const ValueQuestion& question, double dblDefault, int iPrecision,
                double& dblValue) {
    const CString sDefault = CUtilities::DoubleToCString(dblDefault, iPrecision);
    CString sPrompt = question.sPrompt;
    for (;;) {
        CString sAnswer;
        if (!askText(sPrompt, sDefault, sAnswer))
            return Answer::Cancel;
        if (sAnswer == L"i")
            return Answer::Ignore;
        if (!CUtilities::isNumeric(sAnswer)) {
            sPrompt = question.sNotANumber;
            continue;
        }
        const double dbl = CUtilities::CStringToDouble(sAnswer);
        if (question.sNotPositive != nullptr && !(dbl > 0.0)) {
            sPrompt = question.sNotPositive;
            continue;
        }
        dblValue = dbl;
        return Answer::Value;
    }
}

const ValueQuestion TEXT_SIZE = {
    L"Enter new Text Size or (i)gnore", L"Invalid Input. Enter new Text Siz or (i)gnore",
    L"Text Size must be greater than 0\nEnter new Text Size or (i)gnore"};
const ValueQuestion TEXT_SCALE = {
    L"Enter new Text Scale or (i)gnore", L"Invalid Input. Enter new Text Scale or (i)gnore",
    L"Text Scale must be greater than 0\nEnter new Text Scale or (i)gnore"};
const ValueQuestion TEXT_ROTATION = {L"Enter new Text Rotation or (i)gnore",
                                     L"Invalid Input. Enter new Text Rotation or (i)gnore",
                                     nullptr};

// Collects the space blocks of the frame's drawing, loads the preferences, then changes and
// writes every block, the change given the document and the preferences' precision and units.
void sweepInPreferredUnits(
    CCommandFrame& frame,
    const std::function<void(CBlockDWG&, AcApDocument*, int iPrecision, int iUnits)>& change) {
    CAcadDrawing* pDrawing = frame.openCurrentDrawing();
    CBlocks blocks;
    collectSpaceBlocks(pDrawing, blocks);
    const CPreferences* pPreferences = frame.loadPreferences();
    const int iPrecision = pPreferences->getPrecision();
    const int iUnits = pPreferences->getUnits();
    sweepBlocks(pDrawing, blocks, [&](CBlockDWG& block) {
        change(block, pDrawing->getDocument(), iPrecision, iUnits);
        return true;
    });
}

}  // namespace

void updateSpaces() {
    guardCommand(_T("updateSpaces"), [] {
        CCommandFrame frame;
        CCommandFrame::printBanner(L"Orvan Update Spaces ");
        sweepInPreferredUnits(frame, updateSpace);
    });
}

void syncXDataToAttributes() {
    guardCommand(_T("syncXDataToAttributes"), [] {
        CCommandFrame frame;
        CCommandFrame::printBanner(L"Orvan Update Spaces ");
        SyncChoices choices;
        CAcadUtilities::getBoolean(L"Sync XData name to name attribute?", TRUE, &choices.bName);
        CAcadUtilities::getBoolean(L"Sync XData area to area attribute?", TRUE, &choices.bArea);
        CAcadUtilities::getBoolean(L"Sync XData perimeter to aux attribute?", FALSE,
                                   &choices.bPerimeter);
        CAcadUtilities::getBoolean(L"Recalculate values before sync?", FALSE,
                                   &choices.bRecalculate);
        sweepInPreferredUnits(
            frame, [&](CBlockDWG& block, AcApDocument* pDocument, int iPrecision, int iUnits) {
                syncSpace(block, pDocument, choices, iPrecision, iUnits);
            });
    });
}

void updateTextSize() {
    guardCommand(_T("updateTextSize"), [] {
        CCommandFrame frame;
        CCommandFrame::printBanner(L"Orvan Update Text Size ");
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        CBlocks blocks;
        collectSpaceBlocks(pDrawing, blocks);
        const CPreferences* pPreferences = frame.loadPreferences();
        const int iPrecision = pPreferences->getPrecision();

        double dblSize = 0.0;
        double dblScale = 0.0;
        double dblRotation = 0.0;
        Answer answers[3];
        answers[0] = askValue(TEXT_SIZE, pPreferences->getTextSize(), iPrecision, dblSize);
        if (answers[0] != Answer::Cancel)
            answers[1] = askValue(TEXT_SCALE, pPreferences->getTextScale(), iPrecision, dblScale);
        if (answers[0] != Answer::Cancel && answers[1] != Answer::Cancel)
            answers[2] =
                askValue(TEXT_ROTATION, pPreferences->getTextRotation(), iPrecision, dblRotation);
        for (const Answer answer : answers) {
            if (answer == Answer::Cancel) {
                acutPrintf(L"Cancelled by User.\n");
                return;
            }
        }
        sweepBlocks(pDrawing, blocks, [&](CBlockDWG& block) {
            if (!hasAttributes(block))
                return false;
            CAttributes* pAttributes = block.getAttributes();
            if (answers[0] == Answer::Value)
                pAttributes->setTextHeight(dblSize);
            if (answers[1] == Answer::Value)
                pAttributes->setWidthFactor(dblScale);
            if (answers[2] == Answer::Value)
                pAttributes->setRotation(dblRotation);
            return true;
        });
    });
}

void orvanRefreshTags() {
    guardCommand(_T("orvanRefreshTags"), [] {
        CCommandFrame frame;
        if (!frame.lockDrawing())
            return;
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        CBlocks blocks;
        collectSpaceBlocks(pDrawing, blocks);
        AcGeMatrix3d ucs;
        acdbUcsMatrix(ucs, pDrawing->getDocument()->database());
        for (int i = 0; i < blocks.getCount(); i++) {
            auto* pBlock = dynamic_cast<CBlockDWG*>(blocks.getAt(i));
            if (pBlock != nullptr && hasAttributes(*pBlock))
                pBlock->updateAttributes(ucs, nullptr);
        }
        frame.unlockDrawing();
    });
}

void blankThirdAttribute() {
    guardCommand(_T("blankThirdAttribute"), [] {
        CCommandFrame frame;
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        CBlocks blocks;
        collectSpaceBlocks(pDrawing, blocks);
        const int iAltered = sweepBlocks(pDrawing, blocks, [](CBlockDWG& block) {
            CAttribute* pAux = recordOf(block, COrvanAttribute::KIND_AUX);
            if (pAux == nullptr)
                return false;
            pAux->setValue(L" ");
            return true;
        });
        acutPrintf(L"%i block(s) altered\n", iAltered);
    });
}
