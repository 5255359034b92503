// System error texts (FormatMessageW) and the local heap that hands them out (LocalAlloc,
// LocalFree).
//
// FORMAT_MESSAGE_FROM_SYSTEM knows the English texts of the Windows error codes that the
// platform reports (see win32/WinError.h) and of the HRESULTs it raises; an HRESULT of the
// Win32 facility (0x8007xxxx) gives the text of its Win32 code. Texts end with "\r\n" as
// Windows stores them. Language 0 (neutral) and the English languages are known; any other
// language fails with ERROR_RESOURCE_LANG_NOT_FOUND, an unknown code with
// ERROR_MR_MID_NOT_FOUND.
//
// Inserts (%1 to %99, optionally %n!fmt!) are replaced from an argument array
// (FORMAT_MESSAGE_ARGUMENT_ARRAY: DWORD_PTR values) or a va_list; with
// FORMAT_MESSAGE_IGNORE_INSERTS, or when no arguments are given at all, they are copied as they
// stand (Windows would read arguments that are not there).
#pragma once

#include <cstdarg>

#include "WinTypes.h"

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_STRING 0x00000400u
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define FORMAT_MESSAGE_ARGUMENT_ARRAY 0x00002000u
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0x000000FFu

#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_SYS_DEFAULT 0x02
#define MAKELANGID(p, s) ((static_cast<WORD>(s) << 10) | static_cast<WORD>(p))
#define PRIMARYLANGID(lgid) (static_cast<WORD>(lgid) & 0x3ff)

#define LMEM_FIXED 0x0000u
#define LMEM_ZEROINIT 0x0040u
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

// Formats a message into `buffer`. With FORMAT_MESSAGE_ALLOCATE_BUFFER, `buffer` is really an
// LPWSTR* that receives a LocalAlloc'ed text (free it with LocalFree) and `size` is the least
// number of characters to allocate. Returns the number of characters stored without the
// terminating zero, or 0 on failure (GetLastError tells why; a buffer too small gives
// ERROR_INSUFFICIENT_BUFFER).
DWORD FormatMessageW(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPWSTR buffer,
                     DWORD size, va_list* arguments);
#define FormatMessage FormatMessageW

// Allocates `bytes` bytes (zeroed with LMEM_ZEROINIT); null with ERROR_NOT_ENOUGH_MEMORY.
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
// Frees memory from LocalAlloc (or handed out by FormatMessageW). Returns null on success and
// for null; a pointer that this heap did not hand out is returned unchanged with
// ERROR_INVALID_HANDLE and is not touched.
HLOCAL LocalFree(HLOCAL memory);

namespace qv::win32 {

// The English system text for a Windows error code or HRESULT, "\r\n" included; empty when the
// code is unknown.
const wchar_t* systemMessageText(DWORD code);

}  // namespace qv::win32
