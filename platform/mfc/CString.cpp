#include "mfc/CString.h"

#include <ostream>

std::ostream& operator<<(std::ostream& os, const CStringT<wchar_t>& s) {
    return os << qv::wideToUtf8(s.str());
}

std::ostream& operator<<(std::ostream& os, const CStringT<char>& s) {
    return os << qv::wideToUtf8(qv::ansiToWide(s.str()));
}
