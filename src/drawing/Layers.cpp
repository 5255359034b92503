#include "drawing/Layers.h"

#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"
#include "database/RecordsetReader.h"
#include "drawing/AcadDrawing.h"
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
        AcDbLayerTable* pTable = NULL;
        if (pDrawing->getDocument()->database()->getLayerTable(pTable, AcDb::kForWrite) !=
            Acad::eOk)
            return 1;
        sName = CLayer::validateLayerName(sName);
        if (!pTable->has(sName)) {
            AcDbLayerTableRecord* pLayer = new AcDbLayerTableRecord;
            if (CLayer::isLayerColour(colour))
                pLayer->setColor(colour);
            CLayer::addLayerRecord(pTable, pLayer, sName);
        }
        pTable->close();
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
        if (pDrawing->lock() != 0)
            return;
        AcDbLayerTable* pTable = NULL;
        if (pDrawing->getDocument()->database()->getLayerTable(pTable, AcDb::kForWrite) !=
            Acad::eOk) {
            pDrawing->unlock(0);
            return;
        }
        AcDbLayerTableIterator* pIterator = NULL;
        pTable->newIterator(pIterator, true, true);
        for (; !pIterator->done(); pIterator->step(true, true)) {
            AcDbLayerTableRecord* pRecord = NULL;
            if (pIterator->getRecord(pRecord, AcDb::kForWrite, false) != Acad::eOk)
                continue;
            CLayer* pLayer = NULL;
            try {
                pLayer = new CLayer(pRecord);
            } catch (...) {
                pRecord->close();
                delete pIterator;
                pTable->close();
                pDrawing->unlock(0);
                throw;
            }
            pRecord->close();
            add(pLayer);
        }
        delete pIterator;
        pTable->close();
        pDrawing->unlock(0);
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
    AcDbLayerTable* pTable = NULL;
    if (pDatabase->getLayerTable(pTable, AcDb::kForWrite) != Acad::eOk)
        return id;
    AcDbLayerTableIterator* pIterator = NULL;
    pTable->newIterator(pIterator, true, true);
    for (; !pIterator->done(); pIterator->step(true, true)) {
        AcDbLayerTableRecord* pRecord = NULL;
        if (pIterator->getRecord(pRecord, AcDb::kForWrite, false) != Acad::eOk)
            continue;
        const ACHAR* pName = NULL;
        pRecord->getName(pName);
        CString sDrawingName = pName;
        sDrawingName.MakeUpper();
        if (sDrawingName == sName && sName != L"0")
            id = pRecord->objectId();
        pRecord->close();
    }
    delete pIterator;
    pTable->close();
    return id;
}

void CLayers::setOnLayerToCurrent(CAcadDrawing* pDrawing) {
    try {
        AcApDocument* pDocument = pDrawing->getDocument();
        for (int i = 0; i < m_iCount; i++) {
            CLayer* pLayer = m_layers.GetAt(i);
            if (pLayer->isOff())
                continue;
            if (acDocManager->lockDocument(pDocument, AcAp::kWrite, NULL, NULL, true) != Acad::eOk)
                continue;
            try {
                const AcDbObjectId id =
                    findUpperCaseLayer(pDocument->database(), pLayer->getName());
                // A record without a layer of its own leaves the current layer as it is.
                if (!id.isNull())
                    pDocument->database()->setClayer(id);
            } catch (...) {
                acDocManager->unlockDocument(pDocument);
                throw;
            }
            acDocManager->unlockDocument(pDocument);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayers::setOnLayerToCurrent"));
    }
}
