// How the editor reads the text of an answer: numbers, points and handles.
//
//   integer   optional sign and digits ("-12", "+3")
//   real      optional sign, digits with an optional point and exponent ("2.5", ".5", "1e3");
//             no infinity and no "nan"
//   point     "x,y" or "x,y,z" (z is 0 when left out), "@dx,dy[,dz]" relative to a base point,
//             "@" alone for the base point, "d<a" or "@d<a" for a distance and an angle in
//             degrees (from the origin or the base); blanks around the parts are allowed
//   handle    "#" followed by hexadecimal digits ("#2A")
#pragma once

#include <optional>
#include <string>

#include "../db/AcDbHandle.h"
#include "../ge/AcGePoint.h"

namespace qv::host::ed {

std::optional<long long> parseInteger(const std::wstring& text);
std::optional<double> parseReal(const std::wstring& text);
// `base` is the point that "@" refers to.
std::optional<AcGePoint3d> parsePoint(const std::wstring& text, const AcGePoint3d& base);
std::optional<AcDbHandle> parseHandle(const std::wstring& text);

}  // namespace qv::host::ed
