// Extended data as the host keeps it: per object, one record per registered application, each a
// list of items with group codes 1000 to 1071. This is the form the drawing-file code reads and
// writes; the module sees it as result-buffer lists (AcDbObject::xData / setXData).
//
// Group codes: 1000 string, 1001 application (only at the head of a record), 1002 "{" or "}",
// 1003 layer name, 1004 binary chunk (at most 127 bytes), 1005 handle (hexadecimal text),
// 1010-1013 points, 1040-1042 reals, 1070 16-bit integer, 1071 32-bit integer.
#pragma once

#include <string>
#include <vector>

#include "../AdeskTypes.h"
#include "../ErrorStatus.h"

struct resbuf;

namespace qv::host {

struct XDataItem {
    short code = 0;
    std::wstring text;                   // 1000, 1002, 1003, 1005
    double values[3] = {0.0, 0.0, 0.0};  // 1010-1013 (x, y, z), 1040-1042 (values[0])
    Adesk::Int32 integer = 0;            // 1070, 1071
    std::vector<unsigned char> binary;   // 1004

    bool operator==(const XDataItem&) const = default;
};

struct XDataRecord {
    std::wstring application;
    std::vector<XDataItem> items;

    bool operator==(const XDataRecord&) const = default;
};

// The most bytes (in UTF-8) one string item (1000, 1003, 1005) may hold.
constexpr int kXDataStringLimit = 255;
// The most an object may carry: 16383 bytes over all its records.
constexpr int kXDataLimit = 16383;
// The size that counts against that limit: per record 3 bytes and its name; per item 2 bytes
// and its value (strings and binary chunks their length and 1, points 24, reals 8, 16-bit
// integers 2, 32-bit integers 4).
int xdataSize(const std::vector<XDataRecord>& records);
int xdataSize(const XDataRecord& record);

// Reads a result-buffer list: a 1001 item opens a record, every other item (codes 1000 to 1071)
// belongs to the record opened before it. eInvalidResBuf for an item before the first 1001, an
// unknown code, a 1002 that is neither "{" nor "}", unbalanced braces, a 1005 that is not 1 to 16
// hexadecimal digits (blanks around them are dropped), a string longer than kXDataStringLimit
// bytes or a binary chunk longer than 127 bytes.
Acad::ErrorStatus parseXData(const resbuf* list, std::vector<XDataRecord>& out);
// Writes records as a result-buffer list (the caller frees it with acutRelRb).
resbuf* buildXData(const std::vector<XDataRecord>& records);
resbuf* buildXData(const XDataRecord* records, size_t count);

}  // namespace qv::host
