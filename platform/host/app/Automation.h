// The host's automation object: the application as an IDispatch (AcadGetIDispatch), and the
// documents it hands out. They answer these dispatch ids:
//
//   application  Visible         1   property get / put (VT_BOOL)
//   application  ActiveDocument  5   property get: the current document's IDispatch
//   application  ZoomExtents    36   method: the current document's view shows all of model space
//   application  ZoomWindow     40   method (corner, corner): each a VT_ARRAY | VT_R8 of x, y, z
//   application  ZoomPrevious   43   method: back to the view before (nothing when there is none)
//   document     Regen          54   method (which viewports, VT_I4): counted on the document
//   document     Close          58   method (save changes VT_BOOL, file name VT_BSTR or omitted):
//                                    closes that document, saving it first when asked
//
// Refusals: DISP_E_MEMBERNOTFOUND (an unknown id, or a property called as a method and back),
// DISP_E_BADPARAMCOUNT, DISP_E_TYPEMISMATCH (a corner that is no array of three doubles),
// DISP_E_EXCEPTION with the exception filled when there is no current document, the document was
// closed, or saving failed. GetIDsOfNames knows the member names above (any case).
// The views are kept per document (qv::host::ViewState in Documents.h).
#pragma once

#include "../../com/Variant.h"
#include "../../win32/WinTypes.h"

// The application object; with addRef TRUE the caller gets a reference to release, with FALSE it
// borrows the host's own.
IDispatch* AcadGetIDispatch(BOOL addRef);

namespace qv::host {
// Whether Visible was last set true.
bool applicationVisible();
}  // namespace qv::host
