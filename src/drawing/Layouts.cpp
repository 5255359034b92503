#include "drawing/Layouts.h"

#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/Layer.h"
#include "drawing/Layout.h"

static const LPCTSTR SOURCE_FILE = _T("Layouts.cpp");

CLayouts::CLayouts() : m_iCount(0) {}

CLayouts::~CLayouts() {
    try {
        deleteObjects();
    } catch (...) {
        discardCaughtError();
    }
}

void CLayouts::add(CLayout* pLayout) {
    try {
        for (int i = 0; i < m_iCount; i++) {
            if (m_layouts.GetAt(i)->getName() == pLayout->getName()) {
                delete pLayout;
                return;
            }
        }
        m_layouts.Add(pLayout);
        m_iCount++;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayouts::add"));
    }
}

CLayout* CLayouts::getAt(int iIndex) const {
    return m_layouts.GetAt(iIndex);
}

void CLayouts::deleteObjects() {
    try {
        for (int i = 0; i < m_iCount; i++)
            delete m_layouts.GetAt(i);
        m_layouts.RemoveAll();
        m_iCount = 0;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayouts::deleteObjects"));
    }
}

// The name of the layout of an open block, or false when the block is none or its layout does
// not open.
static bool layoutNameOf(AcDbBlockTableRecord* pBlock, CString& sName) {
    if (!pBlock->isLayout())
        return false;
    AcDbObject* pObject = NULL;
    if (acdbOpenAcDbObject(pObject, pBlock->getLayoutId(), AcDb::kForRead) != Acad::eOk)
        return false;
    AcDbLayout* pLayout = AcDbLayout::cast(pObject);
    const ACHAR* pName = NULL;
    const bool bRead = pLayout != NULL && pLayout->getLayoutName(pName) == Acad::eOk;
    if (bRead)
        sName = pName;
    pObject->close();
    return bRead;
}

void CLayouts::getDWGLayouts(CAcadDrawing* pDrawing) {
    try {
        if (pDrawing->lock() != 0)
            return;
        AcDbBlockTable* pBlocks = NULL;
        if (pDrawing->getDocument()->database()->getSymbolTable(pBlocks, AcDb::kForRead) !=
            Acad::eOk) {
            pDrawing->unlock(0);
            return;
        }
        AcDbBlockTableIterator* pIterator = NULL;
        pBlocks->newIterator(pIterator, true, true);
        try {
            for (; !pIterator->done(); pIterator->step(true, true)) {
                AcDbBlockTableRecord* pBlock = NULL;
                if (pIterator->getRecord(pBlock, AcDb::kForRead, false) != Acad::eOk)
                    continue;
                CString sName;
                const bool bLayout = layoutNameOf(pBlock, sName);
                pBlock->close();
                if (bLayout) {
                    CLayout* pLayout = new CLayout;
                    pLayout->setName(sName);
                    add(pLayout);
                }
            }
        } catch (...) {
            delete pIterator;
            pBlocks->close();
            pDrawing->unlock(0);
            throw;
        }
        delete pIterator;
        pBlocks->close();
        pDrawing->unlock(0);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayouts::getDWGLayouts"));
    }
}

void CLayouts::deleteDrawingLayouts(CStoredProcedure* pStoredProcedure, int iTimeout,
                                    int iAttachID) {
    CLayer::callProcedure(pStoredProcedure, iTimeout, _T("__to_deleteDrawingLayouts"), SOURCE_FILE,
                          _T("CLayouts::deleteDrawingLayouts"), [&](CParameters& parameters) {
                              CLayer::addInt(parameters, _T("@attachID"), iAttachID);
                          });
}

int CLayouts::addLayoutsToIPR(CStoredProcedure* pStoredProcedure, int iTimeout, int iAttachID) {
    try {
        deleteDrawingLayouts(pStoredProcedure, iTimeout, iAttachID);
        for (int i = 0; i < m_iCount; i++)
            m_layouts.GetAt(i)->addLayoutToIPR(pStoredProcedure, iTimeout, iAttachID);
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayouts::addLayoutsToIPR"));
    }
}
