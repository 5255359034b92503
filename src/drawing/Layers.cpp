#include "drawing/Layers.h"

#include <memory>

#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"
#include "database/RecordsetReader.h"
#include "drawing/AcadDrawing.h"
#include "drawing/DrawingLock.h"
#include "drawing/LockedLayerTable.h"
#include "drawing/Layer.h"

static const LPCTSTR SOURCE_FILE = _T("Layers.cpp");

// The module's own layers, whose state a report leaves as it is.
static const LPCTSTR PROTECTED_LAYERS[] = {_T("##HYPERLINKS"), _T("##HATCH"), _T("ATT-NAME"),
                                           _T("ATT-AREA"), _T("ATT-AUX")};

static bool isProtectedLayer(const CString& sName) {
    for (LPCTSTR sProtected : PROTECTED_LAYERS) {
        if (sName == sProtected)
            return true;
    }
    return false;
}

CLayers::CLayers() : m_iCount(0) {}

CLayers::~CLayers() {
    try {
        deleteObjects();
    } catch (...) {
        discardCaughtError();
    }
}

void CLayers::add(CLayer* pLayer) {
    try {
        for (int i = 0; i < m_iCount; i++) {
            if (m_layers.GetAt(i)->getName() == pLayer->getName()) {
                delete pLayer;
                return;
            }
        }
        m_layers.Add(pLayer);
        m_iCount++;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::add"));
    }
}

CLayer* CLayers::getAt(int iIndex) const {
    return m_layers.GetAt(iIndex);
}

CLayer* CLayers::getAtLayer(CString sName) {
    try {
        sName.MakeUpper();
        for (int i = 0; i < m_iCount; i++) {
            CString sHeld = m_layers.GetAt(i)->getName();
            sHeld.MakeUpper();
            if (sHeld == sName)
                return m_layers.GetAt(i);
        }
        return NULL;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::getAtLayer"));
    }
}

void CLayers::deleteObjects() {
    try {
        for (int i = 0; i < m_iCount; i++)
            delete m_layers.GetAt(i);
        m_layers.RemoveAll();
        m_iCount = 0;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::deleteObjects"));
    }
}

int CLayers::ensureLayerExists(CAcadDrawing* pDrawing, CString sName, AcCmColor colour) {
    try {
        if (!pDrawing->isLocked())
            return 1;
        AcDbSymbolTablePointer<AcDbLayerTable> table(pDrawing->getDocument()->database(),
                                                     AcDb::kForWrite);
        if (table.openStatus() != Acad::eOk)
            return 1;
        sName = CLayer::validateLayerName(sName);
        if (!table->has(sName)) {
            AcDbObjectPointer<AcDbLayerTableRecord> layer;
            layer.create();
            if (CLayer::isLayerColour(colour))
                layer->setColor(colour);
            AcDbLayerTableRecord* pLayer = NULL;
            layer.release(pLayer);
            CLayer::addLayerRecord(table.object(), pLayer, sName);
        }
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::ensureLayerExists"));
    }
}

void CLayers::applyToDWG(CAcadDrawing* pDrawing) {
    try {
        for (int i = 0; i < m_iCount; i++)
            m_layers.GetAt(i)->applyToDWG(pDrawing);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::applyToDWG"));
    }
}

void CLayers::getFrozenThawedIds(AcDbObjectIdArray& thawed, AcDbObjectIdArray& frozen) {
    try {
        for (int i = 0; i < m_iCount; i++) {
            CLayer* pLayer = m_layers.GetAt(i);
            if (pLayer->isFrozen())
                frozen.append(pLayer->getId());
            else
                thawed.append(pLayer->getId());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::getFrozenThawedIds"));
    }
}

void CLayers::getDWGLayers(CAcadDrawing* pDrawing) {
    try {
        const CLockedLayerTable locked(pDrawing);
        if (locked.table() == NULL)
            return;
        AcDbLayerTableIterator* pIterator = NULL;
        locked.table()->newIterator(pIterator, true, true);
        const std::unique_ptr<AcDbLayerTableIterator> iterator(pIterator);
        for (; !iterator->done(); iterator->step(true, true)) {
            AcDbLayerTableRecord* pRecord = NULL;
            if (iterator->getRecord(pRecord, AcDb::kForWrite, false) != Acad::eOk)
                continue;
            AcDbObjectPointer<AcDbLayerTableRecord> record;
            record.acquire(pRecord);
            std::unique_ptr<CLayer> pLayer(new CLayer(record.object()));
            record.close();
            add(pLayer.release());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::getDWGLayers"));
    }
}

MSXML2::IXMLDOMNodePtr CLayers::serialize(CString sNamespace) {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr pLayersOn = xml.createNode(L"layersOn", sNamespace);
        for (int i = 0; i < m_iCount; i++)
            pLayersOn->appendChild(m_layers.GetAt(i)->serialize(sNamespace));
        return pLayersOn;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::serialize"));
    }
}

void CLayers::deSerialize(MSXML2::IXMLDOMNodeListPtr pNodes) {
    try {
        if (pNodes == nullptr)
            return;
        for (long i = 0; i < pNodes->Getlength(); i++) {
            MSXML2::IXMLDOMNodePtr pNode = pNodes->Getitem(i);
            if (CXMLUtilities::nameOf(pNode) != L"layerOn")
                continue;
            CLayer* pLayer = new CLayer;
            try {
                pLayer->deSerialize(pNode);
            } catch (...) {
                delete pLayer;
                throw;
            }
            add(pLayer);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::deSerialize"));
    }
}

void CLayers::getGraphicReportLayersOn(CStoredProcedure* pStoredProcedure, int iGraphicReportID,
                                       int iTimeout) {
    CLayer::callProcedure(
        pStoredProcedure, iTimeout, _T("__gr_getReportLayersOn"), SOURCE_FILE,
        _T("CLayers::getGraphicReportLayersOn"),
        [&](CParameters& parameters) {
            CLayer::addInt(parameters, _T("@graphicReportID"), iGraphicReportID);
        },
        [&](_RecordsetPtr pRecords) {
            CRecordsetReader rows(pRecords);
            while (rows.next()) {
                CLayer* pLayer = new CLayer;
                try {
                    CString sText;
                    if (rows.read(L"loName", sText))
                        pLayer->setName(sText);
                    sText.Empty();
                    if (rows.read(L"loDescription", sText))
                        pLayer->setDescription(sText);
                } catch (...) {
                    delete pLayer;
                    throw;
                }
                add(pLayer);
            }
            rows.close();
        });
}

int CLayers::addLayersToIPR(CStoredProcedure* pStoredProcedure, int iTimeout, int iAttachID) {
    try {
        for (int i = 0; i < m_iCount; i++)
            m_layers.GetAt(i)->addLayerToIPR(pStoredProcedure, iTimeout, iAttachID);
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::addLayersToIPR"));
    }
}

void CLayers::setAllLayersOff(int bOff) {
    try {
        for (int i = 0; i < m_iCount; i++) {
            if (!isProtectedLayer(m_layers.GetAt(i)->getName()))
                m_layers.GetAt(i)->setOff(bOff);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::setAllLayersOff"));
    }
}

void CLayers::setAllLayersFrozen(int bFrozen) {
    try {
        for (int i = 0; i < m_iCount; i++) {
            if (!isProtectedLayer(m_layers.GetAt(i)->getName()))
                m_layers.GetAt(i)->setFrozen(bFrozen);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::setAllLayersFrozen"));
    }
}

// The id of the drawing's layer whose name in upper case is `sName` (never layer "0"), or the
// null id.
static AcDbObjectId findUpperCaseLayer(AcDbDatabase* pDatabase, const CString& sName) {
    AcDbObjectId id;
    AcDbSymbolTablePointer<AcDbLayerTable> table(pDatabase, AcDb::kForWrite);
    if (table.openStatus() != Acad::eOk)
        return id;
    AcDbLayerTableIterator* pIterator = NULL;
    table->newIterator(pIterator, true, true);
    const std::unique_ptr<AcDbLayerTableIterator> iterator(pIterator);
    for (; !iterator->done(); iterator->step(true, true)) {
        AcDbLayerTableRecord* pRecord = NULL;
        if (iterator->getRecord(pRecord, AcDb::kForWrite, false) != Acad::eOk)
            continue;
        AcDbObjectPointer<AcDbLayerTableRecord> record;
        record.acquire(pRecord);
        const ACHAR* pName = NULL;
        record->getName(pName);
        CString sDrawingName = pName;
        sDrawingName.MakeUpper();
        if (sDrawingName == sName && sName != L"0")
            id = record->objectId();
    }
    return id;
}

void CLayers::setOnLayerToCurrent(CAcadDrawing* pDrawing) {
    try {
        for (int i = 0; i < m_iCount; i++) {
            CLayer* pLayer = m_layers.GetAt(i);
            if (pLayer->isOff())
                continue;
            CDrawingLock lock(pDrawing);
            if (!lock.held())
                continue;
            AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
            const AcDbObjectId id = findUpperCaseLayer(pDatabase, pLayer->getName());
            // A record without a layer of its own leaves the current layer as it is.
            if (!id.isNull())
                pDatabase->setClayer(id);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::setOnLayerToCurrent"));
    }
}
