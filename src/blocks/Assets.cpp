#include "blocks/Assets.h"

#include <functional>
#include <memory>
#include <vector>

#include "blocks/Asset.h"
#include "blocks/Attributes.h"
#include "blocks/Blocks.h"
#include "blocks/Hyperlinks.h"
#include "blocks/ProcedureCall.h"
#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"
#include "database/RecordsetReader.h"
#include "drawing/Hatch.h"

static const LPCTSTR SOURCE_FILE = _T("Assets.cpp");

CString assetExclusionList;

CAssets::~CAssets() {
    deleteObjects();
}

int CAssets::add(CAsset* pAsset) {
    if (pAsset == nullptr)
        return m_iCount;
    try {
        m_assets.Add(pAsset);
    } catch (...) {
        delete pAsset;
        throwWrapped(SOURCE_FILE, _T("CAssets::add"));
    }
    return ++m_iCount;
}

CAsset* CAssets::getAt(int iIndex) const {
    return m_assets.GetAt(iIndex);
}

CAsset* CAssets::getAtAsset(CString sHandle) const {
    for (int i = 0; i < m_iCount; i++) {
        if (m_assets.GetAt(i)->getHandle() == sHandle)
            return m_assets.GetAt(i);
    }
    return nullptr;
}

void CAssets::deleteObjects() {
    for (int i = 0; i < m_assets.GetSize(); i++)
        delete m_assets.GetAt(i);
    m_assets.RemoveAll();
    m_iCount = 0;
}

void CAssets::copyTo(CAssets* pTarget) const {
    if (pTarget == nullptr || pTarget == this)
        return;
    try {
        for (int i = 0; i < m_iCount; i++) {
            auto pCopy = std::make_unique<CAsset>();
            m_assets.GetAt(i)->copyTo(pCopy.get());
            pTarget->add(pCopy.release());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::copyTo"));
    }
}

void CAssets::applyToDWG(CAcadDrawing* pDrawing, COrvanExceptions* pErrors) {
    try {
        for (int i = 0; i < m_iCount; i++)
            m_assets.GetAt(i)->applyToDWG(pDrawing, pErrors);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::applyToDWG"));
    }
}

void CAssets::applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingID, int iLocationID,
                         int iTimeout) {
    try {
        for (int i = 0; i < m_iCount; i++) {
            CAsset* pAsset = m_assets.GetAt(i);
            if (assetExclusionList.Find(L"," + pAsset->getBlockIdentifier() + L",") >= 0)
                continue;
            pAsset->applyToIPR(pStoredProcedure, iDrawingID, iLocationID, iTimeout);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::applyToIPR"));
    }
}

void CAssets::exportTP(CStoredProcedure* pStoredProcedure, int iTimeout,
                       CString sExportParameters) {
    try {
        for (int i = 0; i < m_iCount; i++)
            m_assets.GetAt(i)->exportTP(pStoredProcedure, iTimeout, sExportParameters);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::exportTP"));
    }
}

MSXML2::IXMLDOMNodePtr CAssets::serialize(CString sNamespace) const {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr pAssets = xml.createNode(L"assets", sNamespace);
        for (int i = 0; i < m_iCount; i++)
            pAssets->appendChild(m_assets.GetAt(i)->serialize(sNamespace));
        return pAssets;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::serialize"));
    }
}

void CAssets::deSerialize(MSXML2::IXMLDOMNodeListPtr pNodes, CHatch* pHatch) {
    try {
        if (pNodes == nullptr)
            return;
        const long lCount = pNodes->Getlength();
        for (long i = 0; i < lCount; i++) {
            MSXML2::IXMLDOMNodePtr pNode = pNodes->Getitem(i);
            if (CXMLUtilities::nameOf(pNode) != L"asset")
                continue;
            auto pAsset = std::make_unique<CAsset>();
            pAsset->deSerialize(pNode, pHatch);
            add(pAsset.release());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::deSerialize"));
    }
}

namespace {

// The database finders: one call with one int parameter, its rows read first (`readRow` for
// each), then an asset made of each row (`make`) and added. The rows come first because `make`
// runs further calls on the same procedure object, which must not change under an open record
// set. A failure while the rows are read keeps the rows read before it: their assets are added,
// then the failure goes on.
template <class Row>
void readThenAdd(CAssets& list, CStoredProcedure* pStoredProcedure, int iTimeout,
                 LPCTSTR sProcedure, LPCTSTR sProcSig, LPCTSTR sParameter, int iValue,
                 const std::function<void(CRecordsetReader&, Row&)>& readRow,
                 const std::function<std::unique_ptr<CAsset>(const Row&)>& make) {
    std::vector<Row> rows;
    CEXOrvan* pReadFailure = nullptr;
    try {
        blockdb::callProcedure(
            pStoredProcedure, iTimeout, sProcedure, SOURCE_FILE, sProcSig,
            blockdb::Mode::ReadRows,
            [&](CParameters& parameters) { blockdb::addInt(parameters, sParameter, iValue); },
            nullptr,
            [&](_RecordsetPtr pRecords) {
                CRecordsetReader reader(pRecords);
                while (reader.next()) {
                    Row row;
                    readRow(reader, row);
                    rows.push_back(row);
                }
                reader.close();
            });
    } catch (CEXOrvan* e) {
        pReadFailure = e;
    }
    try {
        for (const Row& row : rows)
            list.add(make(row).release());
    } catch (...) {
        // A call made for one asset (its hyperlinks, its attributes) that failed goes on as the
        // stored procedure's own error.
        if (pReadFailure != nullptr)
            pReadFailure->deleteChain();
        rethrowProcedureError(SOURCE_FILE, sProcSig);
    }
    if (pReadFailure != nullptr)
        throw pReadFailure;
}

struct CategoryRow {
    CString sHandle, sDescription, sUniqueDescription;
};

struct LocationRow {
    int iDrawingID = 0;
    CString sHandle, sBlockIdentifier, sBlockDescription, sUniqueDescription, sStatus;
    double dblX = 0.0, dblY = 0.0;
};

}  // namespace

void CAssets::getCategoryAssets(CStoredProcedure* pStoredProcedure, int iTimeout,
                                int iCategoryID, CHatch* pHatch) {
    readThenAdd<CategoryRow>(
        *this, pStoredProcedure, iTimeout, _T("__gr_getCategoryAssets"),
        _T("CAssets::getCategoryAssets"), _T("@categoryID"), iCategoryID,
        [](CRecordsetReader& reader, CategoryRow& row) {
            reader.read(L"maHandle", row.sHandle);
            reader.read(L"maDescription", row.sDescription);
            reader.read(L"maUniqueDescription", row.sUniqueDescription);
        },
        [&](const CategoryRow& row) {
            auto pAsset = std::make_unique<CAsset>();
            pAsset->setHandleFromString(row.sHandle);
            pAsset->setBlockDescription(row.sDescription);
            pAsset->setUniqueDescription(row.sUniqueDescription);
            auto pLinks = std::make_unique<CHyperlinks>();
            pLinks->getAssetHyperlinks(pStoredProcedure, iTimeout, iCategoryID,
                                       pAsset->getHandle());
            if (pLinks->getCount() > 0)  // an empty list is not kept
                pAsset->setHyperlinks(pLinks.release());
            if (pHatch != nullptr) {
                auto* pCopy = new CHatch;
                pAsset->setHatch(pCopy);
                pHatch->copyTo(pCopy);
            }
            return pAsset;
        });
}

void CAssets::getLocationAssets(CStoredProcedure* pStoredProcedure, int iLocationID,
                                int iTimeout) {
    readThenAdd<LocationRow>(
        *this, pStoredProcedure, iTimeout, _T("[idr]..[getLocationAssets]"),
        _T("CAssets::getLocationAssets"), _T("@locationID"), iLocationID,
        [](CRecordsetReader& reader, LocationRow& row) {
            // These three have no default: a NULL is a failure of the call.
            if (!reader.read(L"drawingID", row.iDrawingID) || !reader.read(L"aX", row.dblX) ||
                !reader.read(L"aY", row.dblY))
                _com_issue_error(DISP_E_TYPEMISMATCH);
            reader.read(L"handle", row.sHandle);
            reader.read(L"acadBlockIdentifier", row.sBlockIdentifier);
            reader.read(L"atDescription", row.sBlockDescription);
            reader.read(L"aDescription", row.sUniqueDescription);
            reader.read(L"status", row.sStatus);
        },
        [&](const LocationRow& row) {
            auto pAsset = std::make_unique<CAsset>(
                iLocationID, row.iDrawingID, row.sHandle, row.sBlockIdentifier,
                row.sBlockDescription, row.sUniqueDescription, row.dblX, row.dblY, row.sStatus);
            auto* pAttributes = new CAttributes;
            pAsset->setAttributes(pAttributes);
            // The caller's time-out, like the call that found the asset.
            pAttributes->getAssetAttributes(pStoredProcedure, row.iDrawingID, row.sHandle,
                                            iTimeout);
            return pAsset;
        });
}
