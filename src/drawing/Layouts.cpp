#include "drawing/Layouts.h"

#include <memory>

#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/DrawingLock.h"
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
    AcDbObjectPointer<AcDbObject> object(pBlock->getLayoutId(), AcDb::kForRead);
    if (object.openStatus() != Acad::eOk)
        return false;
    AcDbLayout* pLayout = AcDbLayout::cast(object.object());
    const ACHAR* pName = NULL;
    const bool bRead = pLayout != NULL && pLayout->getLayoutName(pName) == Acad::eOk;
    if (bRead)
        sName = pName;
    return bRead;
}

void CLayouts::getDWGLayouts(CAcadDrawing* pDrawing) {
    try {
        CDrawingLock lock(pDrawing);
        if (!lock.held())
            return;
        AcDbSymbolTablePointer<AcDbBlockTable> blocks(pDrawing->getDocument()->database(),
                                                      AcDb::kForRead);
        if (blocks.openStatus() != Acad::eOk)
            return;
        AcDbBlockTableIterator* pIterator = NULL;
        blocks->newIterator(pIterator, true, true);
        const std::unique_ptr<AcDbBlockTableIterator> iterator(pIterator);
        for (; !iterator->done(); iterator->step(true, true)) {
            AcDbBlockTableRecord* pBlock = NULL;
            if (iterator->getRecord(pBlock, AcDb::kForRead, false) != Acad::eOk)
                continue;
            CString sName;
            bool bLayout = false;
            {
                AcDbObjectPointer<AcDbBlockTableRecord> block;
                block.acquire(pBlock);
                bLayout = layoutNameOf(block.object(), sName);
            }
            if (bLayout) {
                std::unique_ptr<CLayout> pLayout(new CLayout);
                pLayout->setName(sName);
                add(pLayout.release());
            }
        }
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
