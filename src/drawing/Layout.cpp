#include "drawing/Layout.h"

#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("Layout.cpp");

CLayout::CLayout() = default;

CLayout::~CLayout() = default;
