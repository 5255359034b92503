#include "host/ErrorStatus.h"

#include <string>

const ACHAR* acadErrorStatusText(Acad::ErrorStatus status) {
    switch (status) {
#define QV_ACAD_STATUS_TEXT(name, number) \
    case Acad::name:                      \
        return L## #name;
        QV_ACAD_ERROR_STATUSES(QV_ACAD_STATUS_TEXT)
#undef QV_ACAD_STATUS_TEXT
    }
    thread_local std::wstring unknown;
    unknown = L"Unknown error status " + std::to_wstring(static_cast<int>(status));
    return unknown.c_str();
}
