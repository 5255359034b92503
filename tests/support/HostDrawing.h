// What the host's tests draw and change again and again: rectangles as polylines, point lists
// for loops, erasing an object.
#pragma once

#include <initializer_list>

#include "arxHeaders.h"

namespace qv::test {

// A polyline round (x0, y0)-(x1, y1), counter-clockwise from (x0, y0); the caller owns it.
inline AcDbPolyline* rectangle(double x0, double y0, double x1, double y1, bool closed = true) {
    auto* p = new AcDbPolyline;
    for (const AcGePoint2d& v :
         {AcGePoint2d(x0, y0), AcGePoint2d(x1, y0), AcGePoint2d(x1, y1), AcGePoint2d(x0, y1)}) {
        p->addVertexAt(p->numVerts(), v);
    }
    p->setClosed(closed);
    return p;
}

inline AcGePoint2dArray points(std::initializer_list<AcGePoint2d> list) {
    AcGePoint2dArray a;
    for (const AcGePoint2d& p : list) {
        a.append(p);
    }
    return a;
}

// Erases the object of the current document's drawing under a lock of its own; the status of
// the erase (or of the open that failed).
inline Acad::ErrorStatus eraseObject(AcDbObjectId id) {
    AcApDocument* document = acDocManager->curDocument();
    acDocManager->lockDocument(document);
    AcDbObject* object = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(object, id, AcDb::kForWrite);
    if (es == Acad::eOk) {
        es = object->erase();
        object->close();
    }
    acDocManager->unlockDocument(document);
    return es;
}

}  // namespace qv::test
