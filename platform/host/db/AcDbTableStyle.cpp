#include "host/db/AcDbTableStyle.h"

#include <algorithm>
#include <cmath>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbDictionary.h"
#include "host/db/ObjectAccess.h"

QV_RX_DEFINE_MEMBERS(AcDbTableStyle, AcDbObject, L"TABLESTYLE")

using qv::host::ObjectAccess;

namespace qv::host {

bool isCellAlignment(int value) {
    return value >= AcDb::kTopLeft && value <= AcDb::kBottomRight;
}

int rowTypeIndex(int rowType) {
    switch (rowType) {
        case AcDb::kDataRow:
            return 0;
        case AcDb::kHeaderRow:
            return 1;
        case AcDb::kTitleRow:
            return 2;
        default:
            return -1;
    }
}

std::vector<int> rowTypeIndexes(int rowTypes) {
    std::vector<int> out;
    for (const int type : {AcDb::kDataRow, AcDb::kHeaderRow, AcDb::kTitleRow}) {
        if ((rowTypes & type) != 0) {
            out.push_back(rowTypeIndex(type));
        }
    }
    return out;
}

namespace {

constexpr const wchar_t* kStandard = L"Standard";

AcDbDictionary* tableStyleDictionary(const AcDbDatabase& database) {
    const auto* named = ObjectAccess::peekAs<AcDbDictionary>(database.namedObjectsDictionaryId());
    AcDbObjectId id;
    if (named == nullptr || named->getAt(kTableStyleDictionary, id) != Acad::eOk) {
        return nullptr;
    }
    auto* dictionary = ObjectAccess::peekAs<AcDbDictionary>(id);
    return dictionary != nullptr && !dictionary->isErased() ? dictionary : nullptr;
}

}  // namespace

void addMissingTableStyles(AcDbDatabase& database) {
    auto* named = ObjectAccess::peekAs<AcDbDictionary>(database.namedObjectsDictionaryId());
    if (named == nullptr) {
        return;
    }
    AcDbDictionary* styles = tableStyleDictionary(database);
    if (styles == nullptr) {
        if (named->has(kTableStyleDictionary)) {
            return;  // the name holds something else; it is left as it is
        }
        auto* made = new AcDbDictionary;
        AcDbObjectId id;
        if (ObjectAccess::add(database, made, named->objectId(), id) != Acad::eOk) {
            delete made;
            return;
        }
        made->close();
        named->qvAppendEntry(kTableStyleDictionary, id);
        styles = made;
    }
    AcDbObjectId existing;
    if (styles->getAt(kStandard, existing) == Acad::eOk) {
        return;
    }
    auto* standard = new AcDbTableStyle;
    standard->setDescription(kStandard);
    AcDbObjectId id;
    if (ObjectAccess::add(database, standard, styles->objectId(), id) != Acad::eOk) {
        delete standard;
        return;
    }
    standard->close();
    styles->qvAppendEntry(kStandard, id);
}

}  // namespace qv::host

// ---- the database's table styles ----

AcDbObjectId AcDbDatabase::getTableStyleDictionaryId() const {
    qv::host::addMissingTableStyles(const_cast<AcDbDatabase&>(*this));
    const AcDbDictionary* dictionary = qv::host::tableStyleDictionary(*this);
    return dictionary != nullptr ? dictionary->objectId() : AcDbObjectId::kNull;
}

Acad::ErrorStatus AcDbDatabase::getTableStyleDictionary(AcDbDictionary*& dictionary,
                                                        AcDb::OpenMode mode) {
    dictionary = nullptr;
    const AcDbObjectId id = getTableStyleDictionaryId();
    if (id.isNull()) {
        return Acad::eKeyNotFound;
    }
    return acdbOpenObject(dictionary, id, mode);
}

AcDbObjectId AcDbDatabase::tablestyle() const {
    qv::host::addMissingTableStyles(const_cast<AcDbDatabase&>(*this));
    const AcDbDictionary* dictionary = qv::host::tableStyleDictionary(*this);
    AcDbObjectId id;
    if (dictionary == nullptr || dictionary->getAt(qv::host::kStandard, id) != Acad::eOk) {
        return AcDbObjectId::kNull;
    }
    return id;
}

// ---- styles ----

Acad::ErrorStatus AcDbTableStyle::setDescription(const ACHAR* text) {
    assertWriteEnabled();
    m_description = text != nullptr ? text : L"";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setFlowDirection(AcDb::FlowDirection direction) {
    assertWriteEnabled();
    switch (direction) {
        case AcDb::kTtoB:
        case AcDb::kBtoT:
            m_flow = direction;
            return Acad::eOk;
    }
    return Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbTableStyle::setHorzCellMargin(double margin) {
    assertWriteEnabled();
    if (!(margin >= 0.0) || !std::isfinite(margin)) {
        return Acad::eInvalidInput;
    }
    m_horzMargin = margin;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setVertCellMargin(double margin) {
    assertWriteEnabled();
    if (!(margin >= 0.0) || !std::isfinite(margin)) {
        return Acad::eInvalidInput;
    }
    m_vertMargin = margin;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::suppressTitleRow(bool suppress) {
    assertWriteEnabled();
    m_titleSuppressed = suppress;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::suppressHeaderRow(bool suppress) {
    assertWriteEnabled();
    m_headerSuppressed = suppress;
    return Acad::eOk;
}

AcDbObjectId AcDbTableStyle::textStyle(AcDb::RowType rowType) const {
    return m_rows[std::max(0, qv::host::rowTypeIndex(rowType))].textStyle;
}

double AcDbTableStyle::textHeight(AcDb::RowType rowType) const {
    return m_rows[std::max(0, qv::host::rowTypeIndex(rowType))].textHeight;
}

AcDb::CellAlignment AcDbTableStyle::alignment(AcDb::RowType rowType) const {
    return m_rows[std::max(0, qv::host::rowTypeIndex(rowType))].alignment;
}

Acad::ErrorStatus AcDbTableStyle::setTextStyle(AcDbObjectId style, int rowTypes) {
    assertWriteEnabled();
    if ((rowTypes & AcDb::kAllRowTypes) == 0) {
        return Acad::eInvalidInput;
    }
    for (const int i : qv::host::rowTypeIndexes(rowTypes)) {
        m_rows[i].textStyle = style;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setTextHeight(double height, int rowTypes) {
    assertWriteEnabled();
    if (!(height > 0.0) || !std::isfinite(height) || (rowTypes & AcDb::kAllRowTypes) == 0) {
        return Acad::eInvalidInput;
    }
    for (const int i : qv::host::rowTypeIndexes(rowTypes)) {
        m_rows[i].textHeight = height;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setAlignment(AcDb::CellAlignment alignment, int rowTypes) {
    assertWriteEnabled();
    if (!qv::host::isCellAlignment(alignment) || (rowTypes & AcDb::kAllRowTypes) == 0) {
        return Acad::eInvalidInput;
    }
    for (const int i : qv::host::rowTypeIndexes(rowTypes)) {
        m_rows[i].alignment = alignment;
    }
    return Acad::eOk;
}
