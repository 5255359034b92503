#include "BlockFixture.h"

namespace qv::test {

std::wstring xdataOf(AcDbObjectId id, const wchar_t* application) {
    AcDbObjectPointer<AcDbObject> object(id, AcDb::kForRead);
    if (object.openStatus() != Acad::eOk)
        return L"(does not open)";
    resbuf* list = object->xData(application);
    std::wstring out;
    for (const resbuf* rb = list; rb != nullptr; rb = rb->rbnext) {
        if (!out.empty())
            out += L"|";
        out += std::to_wstring(rb->restype) + L":" +
               (rb->resval.rstring != nullptr ? rb->resval.rstring : L"");
    }
    acutRelRb(list);
    return out;
}

std::wstring errorTexts(const COrvanExceptions& errors) {
    std::wstring out;
    for (int i = 0; i < errors.getCount(); i++) {
        const CEXOrvan* e = errors.getAt(i);
        while (e->getInnerException() != nullptr)
            e = e->getInnerException();
        out += (out.empty() ? L"" : L"\n") + std::wstring(e->getDescription());
    }
    return out;
}

}  // namespace qv::test
