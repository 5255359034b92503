// Result buffers: the host's linked lists of typed values (extended data, system variables,
// selection filters), and the value codes of its C-level interface.
//
// Strings in a result buffer are allocated with acutNewString (new[]) and freed by acutRelRb;
// a string put into a buffer by hand must be allocated the same way.
#pragma once

#include "../AdeskTypes.h"

typedef double ads_real;
typedef ads_real ads_point[3];
typedef Adesk::Int64 ads_name[2];
typedef ads_real ads_matrix[4][4];

struct ads_binary {
    short clen;
    char* buf;
};

union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    ACHAR* rstring;
    Adesk::Int32 rlong;
    Adesk::Int64 mnInt64;
    ads_binary rbinary;
    ads_name rlname;
    unsigned char ihandle[8];
};

struct resbuf {
    resbuf* rbnext;
    short restype;
    ads_u_val resval;
};

// Value codes.
constexpr int RTNONE = 5000;
constexpr int RTREAL = 5001;
constexpr int RTPOINT = 5002;
constexpr int RTSHORT = 5003;
constexpr int RTANG = 5004;
constexpr int RTSTR = 5005;
constexpr int RTENAME = 5006;
constexpr int RTPICKS = 5007;
constexpr int RTORINT = 5008;
constexpr int RT3DPOINT = 5009;
constexpr int RTLONG = 5010;
constexpr int RTVOID = 5014;
constexpr int RTLB = 5016;
constexpr int RTLE = 5017;
constexpr int RTDOTE = 5018;
constexpr int RTNIL = 5019;
constexpr int RTDXF0 = 5020;
constexpr int RTT = 5021;
constexpr int RTRESBUF = 5023;
constexpr int RTMODELESS = 5027;
constexpr int RTLONG_PTR = 5030;
constexpr int RTINT64 = 5031;

// Result codes of the C-level functions.
constexpr int RTNORM = 5100;
constexpr int RTERROR = -5001;
constexpr int RTCAN = -5002;
constexpr int RTREJ = -5003;
constexpr int RTFAIL = -5004;
constexpr int RTKWORD = -5005;
constexpr int RTINPUTTRUNCATED = -5008;

namespace qv::host {

// Which member of a result buffer's value a code uses. Group codes follow their type in the
// host's table (host/GroupCodes.h): texts and handles kept as they are (5, 105, 320-329, 1005)
// are strings of hexadecimal text, pointers (330-369, 390-399, 480-481) are object names,
// points whole points, a coordinate alone and reals reals, 16-bit integers and flags shorts,
// 32-bit integers longs; unused codes have none. The value codes (RTxxx) and the codes below 0
// (-1, -2 and -5 names, -4 a string) have theirs.
enum class ValueKind { None, String, Real, Point, Short, Long, Int64, Name, Binary };
ValueKind valueKind(int code);

}  // namespace qv::host

// A new buffer of that code with an empty value (a null string), or null for RTNONE.
resbuf* acutNewRb(int code);
// Frees a whole list with its strings and binary chunks. Always RTNORM.
int acutRelRb(resbuf* list);
// Builds a list from pairs of code and value, ended by 0 or RTNONE: strings as const ACHAR*,
// reals as double, points as const ads_real*, shorts and longs as int, names as const
// ads_name, 64-bit integers as Adesk::Int64; RTLB, RTLE, RTDOTE, RTNIL, RTT and -3 take no
// value. RTDXF0 gives an item of group code 0 (a string), which 0 itself cannot as it ends the
// list. An unknown code ends the list there.
resbuf* acutBuildList(int code, ...);
// A copy of `text` (new[]); null for null.
ACHAR* acutNewString(const ACHAR* text);
// Frees a string of acutNewString (or of the host's functions that return one) and sets the
// pointer null.
void acutDelString(ACHAR*& text);
// A deep copy of a list.
resbuf* qvCopyResBufList(const resbuf* list);
