#include "host/app/Automation.h"

#include <cmath>
#include <cwctype>
#include <string>

#include "host/app/Documents.h"
#include "host/db/SymbolTables.h"
#include "host/db/AcDbEntity.h"
#include "host/db/AcDbSortentsTable.h"
#include "host/db/ObjectAccess.h"

namespace {

enum : DISPID {
    kVisible = 1,
    kActiveDocument = 5,
    kZoomExtents = 36,
    kZoomWindow = 40,
    kZoomPrevious = 43,
    kRegen = 54,
    kClose = 58,
};

bool g_visible = false;

HRESULT fail(EXCEPINFO* exception, const wchar_t* text) {
    if (exception != nullptr) {
        *exception = EXCEPINFO{};
        exception->bstrSource = SysAllocString(L"AutoCAD");
        exception->bstrDescription = SysAllocString(text);
        exception->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
}

// Arguments are given last first.
const VARIANT* argument(const DISPPARAMS* params, UINT index) {
    return &params->rgvarg[params->cArgs - 1 - index];
}

UINT argumentCount(const DISPPARAMS* params) {
    return params != nullptr ? params->cArgs : 0;
}

bool isOmitted(const VARIANT* v) {
    return v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND;
}

bool readCorner(const VARIANT* v, AcGePoint3d& p) {
    const VARIANT* value = v->vt == (VT_VARIANT | VT_BYREF) ? v->pvarVal : v;
    if (value->vt != (VT_ARRAY | VT_R8) || value->parray == nullptr ||
        SafeArrayGetDim(value->parray) != 1) {
        return false;
    }
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(value->parray, 1, &lower);
    SafeArrayGetUBound(value->parray, 1, &upper);
    if (upper - lower + 1 < 2) {
        return false;
    }
    double xyz[3] = {0.0, 0.0, 0.0};
    for (LONG i = lower; i <= upper && i - lower < 3; ++i) {
        SafeArrayGetElement(value->parray, &i, &xyz[i - lower]);
    }
    p.set(xyz[0], xyz[1], xyz[2]);
    return true;
}

bool isLive(const AcApDocument* doc) {
    AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
    bool live = false;
    for (; !it->done() && !live; it->step()) {
        live = it->document() == doc;
    }
    delete it;
    return live;
}

// The box of the visible model-space entities, or the default view when there are none.
qv::host::View measureExtents(AcApDocument* doc) {
    AcDbExtents all;
    for (const AcDbObjectId& id : qv::host::drawOrder(doc->database()->modelSpaceId())) {
        const auto* entity = qv::host::ObjectAccess::peekAs<AcDbEntity>(id);
        AcDbExtents box;
        if (entity != nullptr && entity->visibility() == AcDb::kVisible &&
            entity->getGeomExtents(box) == Acad::eOk) {
            all.addExt(box);
        }
    }
    if (all.qvIsEmpty()) {
        return qv::host::View();
    }
    return {all.minPoint(), all.maxPoint()};
}

// measureExtents, measured again only when another database is asked for or an object may have
// changed since the last measure (AcDbObject::qvChangeCount), as a host keeps its drawing's
// extents up to date instead of measuring every entity at every zoom.
qv::host::View extentsOf(AcApDocument* doc) {
    static const AcDbDatabase* s_database = nullptr;
    static unsigned long long s_changes = 0;
    static qv::host::View s_extents;
    const AcDbDatabase* database = doc->database();
    if (database != s_database || AcDbObject::qvChangeCount() != s_changes) {
        s_extents = measureExtents(doc);
        s_database = database;
        s_changes = AcDbObject::qvChangeCount();
    }
    return s_extents;
}

DISPID idOfName(const wchar_t* name, bool application) {
    std::wstring folded = name != nullptr ? name : L"";
    for (wchar_t& c : folded) {
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    }
    static const struct {
        const wchar_t* name;
        DISPID id;
        bool application;
    } kNames[] = {
        {L"VISIBLE", kVisible, true},
        {L"ACTIVEDOCUMENT", kActiveDocument, true},
        {L"ZOOMEXTENTS", kZoomExtents, true},
        {L"ZOOMWINDOW", kZoomWindow, true},
        {L"ZOOMPREVIOUS", kZoomPrevious, true},
        {L"REGEN", kRegen, false},
        {L"CLOSE", kClose, false},
    };
    for (const auto& n : kNames) {
        if (folded == n.name && n.application == application) {
            return n.id;
        }
    }
    return DISPID_UNKNOWN;
}

class AutomationObject : public qv::com::Object<IDispatch> {
  public:
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (names == nullptr || ids == nullptr) {
            return E_POINTER;
        }
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = idOfName(names[i], isApplication());
            if (ids[i] == DISPID_UNKNOWN) {
                hr = DISP_E_UNKNOWNNAME;
            }
        }
        return hr;
    }

  protected:
    virtual bool isApplication() const = 0;
};

class DocumentObject : public AutomationObject {
  public:
    explicit DocumentObject(AcApDocument* document) : m_document(document) {}

    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT*) override {
        if (result != nullptr) {
            VariantInit(result);
        }
        if ((id != kRegen && id != kClose) || (flags & DISPATCH_METHOD) == 0) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (!isLive(m_document)) {
            return fail(exception, L"The document is closed.");
        }
        const UINT n = argumentCount(params);
        if (id == kRegen) {
            if (n != 1) {
                return DISP_E_BADPARAMCOUNT;
            }
            m_document->qvViews().regen();
            return S_OK;
        }
        if (n < 1 || n > 2) {
            return DISP_E_BADPARAMCOUNT;
        }
        VARIANT save;
        VariantInit(&save);
        if (FAILED(VariantChangeType(&save, argument(params, 0), 0, VT_BOOL))) {
            return DISP_E_TYPEMISMATCH;
        }
        if (save.boolVal != 0) {
            std::wstring path = m_document->fileName();
            if (n == 2 && !isOmitted(argument(params, 1))) {
                const VARIANT* name = argument(params, 1);
                if (name->vt != VT_BSTR || name->bstrVal == nullptr) {
                    return DISP_E_TYPEMISMATCH;
                }
                path = name->bstrVal;
            }
            if (m_document->database()->saveAs(path.c_str()) != Acad::eOk) {
                return fail(exception, L"The drawing could not be saved.");
            }
        }
        acDocManager->closeDocument(m_document);
        return S_OK;
    }

  protected:
    bool isApplication() const override { return false; }

  private:
    AcApDocument* m_document;
};

class ApplicationObject : public AutomationObject {
  public:
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT*) override {
        if (result != nullptr) {
            VariantInit(result);
        }
        const UINT n = argumentCount(params);
        switch (id) {
            case kVisible:
                if ((flags & DISPATCH_PROPERTYPUT) != 0) {
                    VARIANT value;
                    VariantInit(&value);
                    if (n != 1 ||
                        FAILED(VariantChangeType(&value, argument(params, 0), 0, VT_BOOL))) {
                        return n != 1 ? DISP_E_BADPARAMCOUNT : DISP_E_TYPEMISMATCH;
                    }
                    g_visible = value.boolVal != 0;
                    return S_OK;
                }
                if ((flags & DISPATCH_PROPERTYGET) != 0 && result != nullptr) {
                    result->vt = VT_BOOL;
                    result->boolVal = g_visible ? -1 : 0;
                    return S_OK;
                }
                return DISP_E_MEMBERNOTFOUND;
            case kActiveDocument: {
                if ((flags & DISPATCH_PROPERTYGET) == 0) {
                    return DISP_E_MEMBERNOTFOUND;
                }
                AcApDocument* doc = acDocManager->curDocument();
                if (doc == nullptr) {
                    return fail(exception, L"There is no active document.");
                }
                if (result != nullptr) {
                    result->vt = VT_DISPATCH;
                    result->pdispVal = new DocumentObject(doc);
                    result->pdispVal->AddRef();
                }
                return S_OK;
            }
            case kZoomExtents:
            case kZoomWindow:
            case kZoomPrevious:
                break;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
        if ((flags & DISPATCH_METHOD) == 0) {
            return DISP_E_MEMBERNOTFOUND;
        }
        AcApDocument* doc = acDocManager->curDocument();
        if (doc == nullptr) {
            return fail(exception, L"There is no active document.");
        }
        qv::host::ViewState& views = doc->qvViews();
        if (id == kZoomWindow) {
            if (n != 2) {
                return DISP_E_BADPARAMCOUNT;
            }
            AcGePoint3d a, b;
            if (!readCorner(argument(params, 0), a) || !readCorner(argument(params, 1), b)) {
                return DISP_E_TYPEMISMATCH;
            }
            views.zoomTo({{std::fmin(a.x, b.x), std::fmin(a.y, b.y), 0.0},
                          {std::fmax(a.x, b.x), std::fmax(a.y, b.y), 0.0}});
            return S_OK;
        }
        if (n != 0) {
            return DISP_E_BADPARAMCOUNT;
        }
        if (id == kZoomExtents) {
            views.zoomToMeasured([doc] { return extentsOf(doc); });
        } else {
            views.zoomPrevious();
        }
        return S_OK;
    }

  protected:
    bool isApplication() const override { return true; }
};

}  // namespace

IDispatch* AcadGetIDispatch(BOOL addRef) {
    static IDispatch* application = [] {
        IDispatch* made = new ApplicationObject;
        made->AddRef();  // the host's own reference, kept for the life of the process
        return made;
    }();
    if (addRef) {
        application->AddRef();
    }
    return application;
}

namespace qv::host {
bool applicationVisible() {
    return g_visible;
}
}  // namespace qv::host
