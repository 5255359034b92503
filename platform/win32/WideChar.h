// WideCharToMultiByte and MultiByteToWideChar for the code pages this platform knows: the ANSI
// code page (CP_ACP, CP_THREAD_ACP and 1252 are all Windows-1252) and UTF-8 (CP_UTF8).
//
// Counts are in characters of the source: -1 means "up to and including the terminating
// zero", which the result then counts too. An output size of 0 asks only for the size needed.
// Too small an output gives 0 and ERROR_INSUFFICIENT_BUFFER; a zero input count, missing
// pointers or an unknown code page give 0 and ERROR_INVALID_PARAMETER. Characters that
// Windows-1252 lacks become the default character ('?' unless `defaultChar` gives another) and
// set `*usedDefaultChar`; with UTF-8 both of those must be null. Ill-formed UTF-8 becomes
// U+FFFD, or fails with ERROR_NO_UNICODE_TRANSLATION under MB_ERR_INVALID_CHARS; a wide value
// that is no Unicode character becomes U+FFFD in UTF-8, or fails under WC_ERR_INVALID_CHARS.
#pragma once

#include "WinTypes.h"

#define CP_ACP 0u
#define CP_OEMCP 1u
#define CP_MACCP 2u
#define CP_THREAD_ACP 3u
#define CP_UTF8 65001u

#define MB_PRECOMPOSED 0x00000001u
#define MB_ERR_INVALID_CHARS 0x00000008u
#define WC_ERR_INVALID_CHARS 0x00000080u
#define WC_COMPOSITECHECK 0x00000200u
#define WC_NO_BEST_FIT_CHARS 0x00000400u

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount, LPSTR bytes,
                        int byteCount, LPCSTR defaultChar, LPBOOL usedDefaultChar);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR bytes, int byteCount, LPWSTR wide,
                        int wideCount);

// The ANSI code page: 1252.
UINT GetACP();
