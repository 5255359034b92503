#include "host/db/AcDbDynBlockReference.h"

#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbDatabase.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/db/XData.h"

using qv::host::ObjectAccess;

namespace {

const wchar_t kRepresentationApp[] = L"AcDbBlockRepBTag";

// The dynamic definition an anonymous block record names, or null.
AcDbObjectId definitionOf(AcDbObjectId blockTableRecord) {
    const auto* record = ObjectAccess::peekAs<AcDbBlockTableRecord>(blockTableRecord);
    if (record == nullptr || record->isErased() || !record->isAnonymous() ||
        record->database() == nullptr) {
        return AcDbObjectId::kNull;
    }
    for (const qv::host::XDataRecord& xdata : record->qvXData()) {
        if (qv::host::foldName(xdata.application) != qv::host::foldName(kRepresentationApp)) {
            continue;
        }
        for (const qv::host::XDataItem& item : xdata.items) {
            if (item.code != 1005) {
                continue;
            }
            AcDbObjectId id;
            if (record->database()->getAcDbObjectId(id, false, AcDbHandle(item.text.c_str())) !=
                Acad::eOk) {
                return AcDbObjectId::kNull;
            }
            const auto* definition = ObjectAccess::peekAs<AcDbBlockTableRecord>(id);
            return definition != nullptr && !definition->isErased() && id != blockTableRecord
                       ? id
                       : AcDbObjectId::kNull;
        }
    }
    return AcDbObjectId::kNull;
}

AcDbObjectId blockOf(AcDbObjectId reference) {
    const auto* ref = ObjectAccess::peekAs<AcDbBlockReference>(reference);
    return ref != nullptr ? ref->blockTableRecord() : AcDbObjectId::kNull;
}

}  // namespace

AcDbDynBlockReference::AcDbDynBlockReference(AcDbObjectId blockReference)
    : m_reference(blockReference), m_block(blockOf(blockReference)) {}

AcDbDynBlockReference::AcDbDynBlockReference(const AcDbBlockReference* blockReference)
    : m_reference(blockReference != nullptr ? blockReference->objectId() : AcDbObjectId::kNull),
      m_block(blockReference != nullptr ? blockReference->blockTableRecord()
                                        : AcDbObjectId::kNull) {}

bool AcDbDynBlockReference::isDynamicBlock(AcDbObjectId blockTableRecord) {
    return !definitionOf(blockTableRecord).isNull();
}

bool AcDbDynBlockReference::isDynamicBlock() const {
    return isDynamicBlock(m_block);
}

AcDbObjectId AcDbDynBlockReference::dynamicBlockTableRecord() const {
    const AcDbObjectId definition = definitionOf(m_block);
    return definition.isNull() ? m_block : definition;
}

AcDbObjectId AcDbDynBlockReference::anonymousBlockTableRecord() const {
    return definitionOf(m_block).isNull() ? AcDbObjectId::kNull : m_block;
}
