#include "drawing/AcadDrawingState.h"

#include <memory>

#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/DrawingLock.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"
#include "core/OwnedPointer.h"

static const LPCTSTR SOURCE_FILE = _T("AcadDrawingState.cpp");

static const LPCTSTR MODEL_LAYOUT = _T("Model");

static AcDbLayoutManager* layoutManager() {
    return acdbHostApplicationServices()->layoutManager();
}

static AcDbDatabase* databaseOf(CAcadDrawing* pDrawing) {
    return pDrawing->getDocument() != NULL ? pDrawing->getDocument()->database() : NULL;
}

CAcadDrawingState::CAcadDrawingState() {
    try {
        m_sLayoutName = layoutManager()->findActiveLayout(true);
        m_pLayers = new CLayers;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawingState::CAcadDrawingState"));
    }
}

CAcadDrawingState::CAcadDrawingState(AcDbDatabase* pDatabase) {
    try {
        getState(pDatabase);
    } catch (...) {
        delete m_pLayers;
        throwWrapped(SOURCE_FILE, _T("CAcadDrawingState::CAcadDrawingState"));
    }
}

CAcadDrawingState::~CAcadDrawingState() {
    delete m_pLayers;
}

void CAcadDrawingState::replaceLayers(CLayers* pLayers) {
    replaceOwned(m_pLayers, pLayers);
}

void CAcadDrawingState::setLayers(CLayers* pLayers) {
    replaceLayers(pLayers);
}

void CAcadDrawingState::getState(AcDbDatabase* pDatabase) {
    try {
        m_sLayoutName = layoutManager()->findActiveLayout(true, pDatabase);
        std::unique_ptr<CLayers> pLayers(new CLayers);
        {
            // The layers are read through a wrapper of the database's document, which the
            // wrapper neither locks beyond the read nor closes.
            CAcadDrawing drawing;
            drawing.setDocument(acDocManager->document(pDatabase));
            drawing.setIsOpen(1);
            drawing.setIsCurrentDocument(1);
            if (drawing.getDocument() != NULL)
                pLayers->getDWGLayers(&drawing);
        }
        replaceLayers(pLayers.release());
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawingState::getState"));
    }
}

void CAcadDrawingState::setLayerState(CString sName, int bFrozen, int bLocked, int bOff,
                                      int bPlottable) {
    try {
        // Looked up by the cleaned name, so that a name the list holds in its cleaned form
        // changes that record rather than a new one that the list would drop as a duplicate.
        if (m_pLayers == NULL)
            m_pLayers = new CLayers;
        CLayer* pLayer = m_pLayers->getAtLayer(CLayer::validateLayerName(sName));
        const bool bNew = pLayer == NULL;
        if (bNew) {
            pLayer = new CLayer;
            pLayer->setName(sName);
        }
        pLayer->setFrozen(bFrozen);
        pLayer->setLocked(bLocked);
        pLayer->setOff(bOff);
        pLayer->setPlottable(bPlottable);
        if (bNew)
            m_pLayers->add(pLayer);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawingState::setLayerState"));
    }
}

void CAcadDrawingState::setStateAllOff(CAcadDrawing* pDrawing) {
    try {
        {
            CDrawingLock lock(pDrawing);
            if (lock.held())
                layoutManager()->setCurrentLayout(MODEL_LAYOUT, databaseOf(pDrawing));
        }
        for (int i = 0; m_pLayers != NULL && i < m_pLayers->getCount(); i++) {
            CLayer* pLayer = m_pLayers->getAt(i);
            pLayer->setFrozen(0);
            pLayer->setLocked(0);
            pLayer->setOff(1);
            pLayer->setPlottable(1);
        }
        applyState(pDrawing, 0);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawingState::setStateAllOff"));
    }
}

void CAcadDrawingState::setStateForTakeOff(CAcadDrawing* pDrawing) {
    try {
        m_sLayoutName = MODEL_LAYOUT;
        for (int i = 0; m_pLayers != NULL && i < m_pLayers->getCount(); i++) {
            CLayer* pLayer = m_pLayers->getAt(i);
            pLayer->setLocked(0);
            pLayer->setFrozen(0);
            pLayer->setOff(0);
            pLayer->setPlottable(1);
        }
        applyState(pDrawing, 0);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawingState::setStateForTakeOff"));
    }
}

void CAcadDrawingState::setAllLayerLineWeights(int iLineWeight) {
    try {
        for (int i = 0; m_pLayers != NULL && i < m_pLayers->getCount(); i++)
            m_pLayers->getAt(i)->setLineWeight(iLineWeight);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawingState::setAllLayerLineWeights"));
    }
}

void CAcadDrawingState::setOrvanLayersForOutput() {
    // The module's own layers need nothing for output: they show as the report left them.
}

void CAcadDrawingState::applyState(CAcadDrawing* pDrawing, int bPerViewport) {
    try {
        // Switching layouts and writing viewports change the drawing: both happen under the
        // drawing's counted lock (which the caller may hold already). The layers take it
        // themselves.
        {
            const CDrawingLock lock(pDrawing);
            layoutManager()->setCurrentLayout(m_sLayoutName, databaseOf(pDrawing));
            if (m_pLayers != NULL) {
                m_pLayers->applyToDWG(pDrawing);
                if (bPerViewport && m_sLayoutName != MODEL_LAYOUT) {
                    AcDbObjectIdArray thawIds(0, 8), freezeIds(0, 8);
                    m_pLayers->getFrozenThawedIds(thawIds, freezeIds);
                    applyLayersInAllLayoutViewports(thawIds, freezeIds);
                }
            }
        }
        pDrawing->regenDrawing();
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawingState::applyState"));
    }
}

// The ids that are not null.
static AcDbObjectIdArray withoutNullIds(const AcDbObjectIdArray& ids) {
    AcDbObjectIdArray kept;
    for (int i = 0; i < ids.length(); i++) {
        if (!ids[i].isNull())
            kept.append(ids[i]);
    }
    return kept;
}

void CAcadDrawingState::applyLayersInAllLayoutViewports(AcDbObjectIdArray& thawIds,
                                                        AcDbObjectIdArray& freezeIds) {
    try {
        const AcDbObjectIdArray thaw = withoutNullIds(thawIds);
        const AcDbObjectIdArray freeze = withoutNullIds(freezeIds);
        const AcDbObjectId anyId = !thaw.isEmpty()     ? thaw[0]
                                   : !freeze.isEmpty() ? freeze[0]
                                                       : AcDbObjectId();
        if (anyId.isNull())
            return;
        AcDbDatabase* pDatabase = anyId.database();
        const CString sActive = layoutManager()->findActiveLayout(true, pDatabase);
        AcDbLayout* pOpened = NULL;
        if (layoutManager()->getLayoutNamed(sActive, pOpened, AcDb::kForRead, pDatabase) !=
            Acad::eOk)
            return;
        AcDbObjectIdArray viewports;
        {
            AcDbObjectPointer<AcDbLayout> layout;
            layout.acquire(pOpened);
            viewports = layout->getViewportArray();
        }
        for (int i = 0; i < viewports.length(); i++) {
            AcDbObjectPointer<AcDbViewport> viewport(viewports[i], AcDb::kForWrite);
            if (viewport.openStatus() != Acad::eOk)
                continue;
            viewport->freezeLayersInViewport(freeze);
            viewport->thawLayersInViewport(thaw);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawingState::applyLayersInAllLayoutViewports"));
    }
}

MSXML2::IXMLDOMNodePtr CAcadDrawingState::serialize(CString sNamespace) {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr pState = xml.createNode(L"AcadDrawingState", sNamespace);
        pState->appendChild(xml.createNode(L"layout", m_sLayoutName, sNamespace));
        if (m_pLayers != NULL)
            pState->appendChild(m_pLayers->serialize(sNamespace));
        return pState;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawingState::serialize"));
    }
}

void CAcadDrawingState::deSerialize(MSXML2::IXMLDOMNodePtr pNode) {
    try {
        CXMLUtilities::readElement(pNode, L"AcadDrawingState",
                                   [&](const CString& sName, MSXML2::IXMLDOMNodePtr pChild) {
                                       if (sName == L"layout") {
                                           m_sLayoutName = CXMLUtilities::textOf(pChild);
                                       } else if (sName == L"layersOn") {
                                           CLayers* pLayers = new CLayers;
                                           try {
                                               pLayers->deSerialize(pChild->GetchildNodes());
                                           } catch (...) {
                                               delete pLayers;
                                               throw;
                                           }
                                           replaceLayers(pLayers);
                                       }
                                   });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawingState::deSerialize"));
    }
}
