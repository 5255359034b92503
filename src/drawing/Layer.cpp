#include "drawing/Layer.h"

#include <memory>

#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"
#include "database/DatabaseExceptions.h"
#include "database/ParameterInt.h"
#include "database/ParameterText.h"
#include "database/ParameterTinyInt.h"
#include "database/Parameters.h"
#include "database/StoredProcedure.h"
#include "drawing/AcadDrawing.h"
#include "drawing/LockedLayerTable.h"

static const LPCTSTR SOURCE_FILE = _T("Layer.cpp");

// The characters that a layer name of the module never holds.
static const wchar_t REMOVED_CHARACTERS[] = L"<>/\\\";?*,=`";

CLayer::CLayer() {
    try {
        setName(L"");
        setDescription(L"");
        setColourIndex(0);
        setFrozen(0);
        setLocked(0);
        setOff(0);
        setPlottable(1);
        setLineWeight(0);
        m_bModified = 0;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayer::CLayer"));
    }
}

CLayer::CLayer(AcDbLayerTableRecord* pLayer) {
    try {
        getDWGLayer(pLayer);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayer::CLayer"));
    }
}

CLayer::~CLayer() = default;

CString CLayer::validateLayerName(CString sName) {
    try {
        CString sClean;
        for (int i = 0; i < sName.GetLength(); i++) {
            const wchar_t ch = sName.GetAt(i);
            if (wcschr(REMOVED_CHARACTERS, ch) == NULL)
                sClean += ch;
        }
        return sClean;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayer::validateLayerName"));
    }
}

bool CLayer::isLayerColour(const AcCmColor& colour) {
    if (colour.isByColor())
        return true;
    return colour.isByACI() && colour.colorIndex() >= 1 && colour.colorIndex() <= 255;
}

AcDbObjectId CLayer::addLayerRecord(AcDbLayerTable* pTable, AcDbLayerTableRecord* pRecord,
                                    CString sName) {
    try {
        // Closes the record once the table has it; deletes it while the drawing does not.
        AcDbObjectPointer<AcDbLayerTableRecord> record;
        record.acquire(pRecord);
        AcDbObjectId id;
        if (record->setName(sName) != Acad::eOk || pTable->add(id, record.object()) != Acad::eOk)
            return AcDbObjectId::kNull;
        return id;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayer::addLayerRecord"));
    }
}

int CLayer::ensureLayerExists(CString sName, CAcadDrawing* pDrawing) {
    try {
        const CLockedLayerTable locked(pDrawing);
        AcDbLayerTable* pTable = locked.table();
        if (pTable == NULL)
            return 1;
        sName = validateLayerName(sName);
        if (!pTable->has(sName))
            addLayerRecord(pTable, new AcDbLayerTableRecord, sName);
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayer::ensureLayerExists"));
    }
}

int CLayer::getDWGLayer(CAcadDrawing* pDrawing, CString sName) {
    try {
        if (!m_bModified)
            return 0;
        const CLockedLayerTable locked(pDrawing);
        AcDbLayerTable* pTable = locked.table();
        if (pTable == NULL || !pTable->has(sName))
            return 0;
        AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> layer(sName, pTable, AcDb::kForWrite);
        if (layer.openStatus() == Acad::eOk)
            getDWGLayer(layer.object());
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayer::getDWGLayer"));
    }
}

void CLayer::getDWGLayer(AcDbLayerTableRecord* pLayer) {
    try {
        m_id = pLayer->objectId();
        const ACHAR* pName = NULL;
        pLayer->getName(pName);
        CString sName = pName;
        sName.MakeUpper();
        setName(sName);
        setColourIndex(pLayer->color().colorIndex());
        setFrozen(pLayer->isFrozen() ? 1 : 0);
        setLocked(pLayer->isLocked() ? 1 : 0);
        setOff(pLayer->isOff() ? 1 : 0);
        setPlottable(pLayer->isPlottable() ? 1 : 0);
        setLineWeight(pLayer->lineWeight());
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayer::getDWGLayer"));
    }
}

void CLayer::writeStates(AcDbLayerTableRecord* pLayer) const {
    pLayer->setIsFrozen(m_bFrozen != 0);
    pLayer->setIsLocked(m_bLocked != 0);
    pLayer->setIsOff(m_bOff != 0);
    pLayer->setIsPlottable(m_bPlottable != 0);
    pLayer->setLineWeight(static_cast<AcDb::LineWeight>(m_iLineWeight));
}

void CLayer::applyToDWG(CAcadDrawing* pDrawing) {
    try {
        if (!m_bModified)
            return;
        const CLockedLayerTable locked(pDrawing);
        AcDbLayerTable* pTable = locked.table();
        if (pTable == NULL)
            return;
        if (pTable->has(m_sName)) {
            AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> layer(m_sName, pTable,
                                                                     AcDb::kForWrite);
            if (layer.openStatus() != Acad::eOk)
                return;
            if (m_id.isNull())
                m_id = layer->objectId();
            writeStates(layer.object());
            return;
        }
        AcDbObjectPointer<AcDbLayerTableRecord> layer;
        layer.create();
        // A colour the host refuses for a layer leaves the new layer at colour 7.
        if (isLayerColour(m_colour))
            layer->setColor(m_colour);
        writeStates(layer.object());
        AcDbLayerTableRecord* pLayer = NULL;
        layer.release(pLayer);
        const AcDbObjectId id = addLayerRecord(pTable, pLayer, m_sName);
        if (!id.isNull())
            m_id = id;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayer::applyToDWG"));
    }
}

MSXML2::IXMLDOMNodePtr CLayer::serialize(CString sNamespace) {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr pLayerOn = xml.createNode(L"layerOn", sNamespace);
        pLayerOn->appendChild(xml.createNode(L"loName", m_sName, sNamespace));
        if (!m_sDescription.IsEmpty())
            pLayerOn->appendChild(xml.createNode(L"loDescription", m_sDescription, sNamespace));
        return pLayerOn;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayer::serialize"));
    }
}

void CLayer::deSerialize(MSXML2::IXMLDOMNodePtr pNode) {
    try {
        CXMLUtilities::readElement(pNode, L"layerOn",
                                   [&](const CString& sName, MSXML2::IXMLDOMNodePtr pChild) {
                                       if (sName == L"loName")
                                           m_sName = CXMLUtilities::textOf(pChild);
                                       else if (sName == L"loDescription")
                                           m_sDescription = CXMLUtilities::textOf(pChild);
                                   });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayer::deSerialize"));
    }
}

void CLayer::addVarChar(CParameters& parameters, LPCTSTR sName, CString sValue) {
    CParameterVarChar* pParameter = new CParameterVarChar;
    pParameter->setName(sName);
    pParameter->setDirection(adParamInput);
    pParameter->setSize(255);
    pParameter->setValue(_bstr_t(sValue.GetString()));
    parameters.add(pParameter);
}

void CLayer::addInt(CParameters& parameters, LPCTSTR sName, int iValue) {
    CParameterInt* pParameter = new CParameterInt;
    pParameter->setName(sName);
    pParameter->setDirection(adParamInput);
    pParameter->setValue(iValue);
    parameters.add(pParameter);
}

void CLayer::callProcedure(CStoredProcedure* pStoredProcedure, int iTimeout, LPCTSTR sProcedure,
                           LPCTSTR sSourceFile, LPCTSTR sProcSig,
                           const std::function<void(CParameters&)>& fill,
                           const std::function<void(_RecordsetPtr)>& read) {
    std::unique_ptr<CAttachedParameters> attached;
    try {
        attached = std::make_unique<CAttachedParameters>(pStoredProcedure, new CParameters);
        fill(*attached->get());
        pStoredProcedure->setTimeout(iTimeout);
        pStoredProcedure->setName(sProcedure);
        if (read)
            read(pStoredProcedure->execSPReturnParas());
        else
            pStoredProcedure->execSPNoReturnParas();
    } catch (const _com_error& e) {
        throw new CEXStoredProcedure(e, pStoredProcedure, ORVAN_MODULE_DESCRIPTION, sSourceFile,
                                     sProcSig, 2);
    } catch (...) {
        throwWrapped(sSourceFile, sProcSig);
    }
}

void CLayer::addLayerToIPR(CStoredProcedure* pStoredProcedure, int iTimeout, int iAttachID) {
    callProcedure(pStoredProcedure, iTimeout, _T("__to_addDrawingLayer"), SOURCE_FILE,
                  _T("CLayer::addLayerToIPR"), [&](CParameters& parameters) {
                      addVarChar(parameters, _T("@layerName"), m_sName);
                      // The description stays out of the database: an empty text goes.
                      addVarChar(parameters, _T("@layerDescription"), L"");
                      CParameterTinyInt* pColour = new CParameterTinyInt;
                      pColour->setName(L"@layerColour");
                      pColour->setDirection(adParamInput);
                      pColour->setValue(static_cast<BYTE>(m_iColourIndex));
                      parameters.add(pColour);
                      addInt(parameters, _T("@attachID"), iAttachID);
                  });
}

void CLayer::setName(CString sName) {
    m_sName = validateLayerName(sName);
    m_bModified = 1;
}

void CLayer::setDescription(CString sDescription) {
    m_sDescription = sDescription;
    m_bModified = 1;
}

void CLayer::setColourIndex(int iColourIndex) {
    m_iColourIndex = iColourIndex;
    m_colour.setColorIndex(static_cast<Adesk::UInt16>(iColourIndex));
    m_bModified = 1;
}

void CLayer::setFrozen(int bFrozen) {
    m_bFrozen = bFrozen;
    m_bModified = 1;
}

void CLayer::setLocked(int bLocked) {
    m_bLocked = bLocked;
    m_bModified = 1;
}

void CLayer::setOff(int bOff) {
    m_bOff = bOff;
    m_bModified = 1;
}

void CLayer::setPlottable(int bPlottable) {
    m_bPlottable = bPlottable;
    m_bModified = 1;
}

void CLayer::setLineWeight(int iLineWeight) {
    m_iLineWeight = iLineWeight;
    m_bModified = 1;
}
