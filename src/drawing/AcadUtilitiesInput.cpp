// CAcadUtilities: prompts for values and picks of entities on the host's command line.
#include "drawing/AcadUtilities.h"

#include <arxHeaders.h>

#include "core/OrvanExceptions.h"
#include "core/Utilities.h"

static const LPCTSTR SOURCE_FILE = _T("AcadUtilities.cpp");

namespace {

// The longest text answer taken, with its terminating zero; a longer one is an error.
const size_t ANSWER_SIZE = 1024;

const int SELECTION_CANCELLED = 16;
const int NO_SPACE_PICKED = 13;

// "\n" + text + " <" + default + ">:".
CString promptWithDefault(const CString& text, const CString& defaultText) {
    return L"\n" + text + L" <" + defaultText + L">:";
}

// A text answer with blanks allowed, read with the sized input call: TRUE and the answer for a
// normal result, FALSE (and an empty answer) for anything else.
BOOL readText(const CString& prompt, CString& answer) {
    ACHAR buffer[ANSWER_SIZE] = {0};
    const BOOL normal = acedGetString(1, prompt, buffer, ANSWER_SIZE) == RTNORM;
    answer = normal ? CString(buffer) : CString();
    return normal;
}

// The class name of an entity, or FALSE when it cannot be opened.
BOOL entityClassName(AcDbObjectId id, CString& className) {
    AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForRead);
    if (entity.openStatus() != Acad::eOk)
        return FALSE;
    className = entity->isA()->name();
    return TRUE;
}

}  // namespace

void CAcadUtilities::getInteger(CString text, int defaultValue, int* value) {
    try {
        *value = defaultValue;
        int answer = 0;
        if (acedGetInt(promptWithDefault(text, CUtilities::IntToCString(defaultValue)), &answer) ==
            RTNORM)
            *value = answer;
        acutPrintf(L" %i\n", *value);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::getInteger"));
    }
}

void CAcadUtilities::getDouble(CString text, double defaultValue, int precision, double* value) {
    try {
        *value = defaultValue;
        ads_real answer = 0.0;
        const CString shown = CUtilities::DoubleToCString(defaultValue, precision);
        if (acedGetReal(promptWithDefault(text, shown), &answer) == RTNORM)
            *value = answer;
        acutPrintf(L" %s\n", CUtilities::DoubleToCString(*value, precision));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::getDouble"));
    }
}

void CAcadUtilities::getString(CString text, CString defaultValue, CString* value) {
    try {
        *value = defaultValue;
        CString answer;
        if (readText(promptWithDefault(text, defaultValue), answer) && !answer.IsEmpty())
            *value = answer;
        acutPrintf(L" %s\n", *value);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::getString"));
    }
}

CString CAcadUtilities::getStringValue(CString text) {
    try {
        CString answer;
        readText(L"\n" + text + L":", answer);
        return answer;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::getStringValue"));
    }
}

void CAcadUtilities::getBoolean(CString text, BOOL defaultValue, BOOL* value) {
    try {
        *value = defaultValue;
        CString answer;
        if (readText(promptWithDefault(text, CUtilities::BoolToCString(defaultValue)), answer) &&
            !answer.IsEmpty())
            *value = CUtilities::CStringToBOOL(answer);
        acutPrintf(L" %s\n", CUtilities::BoolToCString(*value));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::getBoolean"));
    }
}

int CAcadUtilities::selectObjectId(AcDbObjectId& id, CString prompt) {
    try {
        ads_name name;
        ads_point point;
        if (acedEntSel(prompt, name, point) != RTNORM)
            return 0;
        acdbGetObjectId(id, name);
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::selectObjectId"));
    }
}

int CAcadUtilities::selectObjectIdOfClass(AcDbObjectId* id, CString prompt, CString className) {
    try {
        if (prompt.IsEmpty())
            prompt = L"Please select an object";
        const CString asked = L"\n" + prompt + L"\n";
        for (;;) {
            ads_name name;
            ads_point point;
            if (acedEntSel(asked, name, point) != RTNORM) {
                acutPrintf(L"Cancelled by User.\n");
                return SELECTION_CANCELLED;
            }
            acdbGetObjectId(*id, name);
            CString picked;
            if (!entityClassName(*id, picked))
                continue;
            if (picked == className)
                return 0;
            acutPrintf(L"Invalid selection - %s.\n", picked);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::selectObjectId"));
    }
}

int CAcadUtilities::selectObjectIds(AcDbObjectIdArray& ids, CString prompt) {
    try {
        acutPrintf(L"\n%s", prompt);
        ads_name set;
        if (acedSSGet(nullptr, nullptr, nullptr, nullptr, set) != RTNORM)
            return 1;
        Adesk::Int32 length = 0;
        acedSSLength(set, &length);
        for (Adesk::Int32 i = 0; i < length; ++i) {
            ads_name member;
            AcDbObjectId memberId;
            CString className;
            if (acedSSName(set, i, member) != RTNORM ||
                acdbGetObjectId(memberId, member) != Acad::eOk)
                continue;
            if (entityClassName(memberId, className) && className != L"AcDbBlockReference")
                ids.append(memberId);
        }
        acedSSFree(set);
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::selectObjectIds"));
    }
}

int CAcadUtilities::selectSpaceHandle(AcDbHandle* handle) {
    AcDbObjectId id;
    if (selectObjectIdOfClass(&id, L"\nPlease select a space\n", L"AcDbBlockReference") != 0)
        return NO_SPACE_PICKED;
    AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForRead);
    if (entity.openStatus() != Acad::eOk)
        return NO_SPACE_PICKED;
    entity->getAcDbHandle(*handle);
    return 0;
}
