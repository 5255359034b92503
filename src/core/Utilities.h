// CUtilities: the one place where the module turns text into numbers and numbers into text,
// checks and cleans numeric input, reads hexadecimal text and converts colours between the host's
// colour object and the "#RRGGBB" text of graphic reports.
//
// Every conversion has a defined result for every input: no buffer to overrun, no integer
// overflow, no dependence on the process locale. Only the colour operations raise errors
// (CEXInvalidHexColour); every other operation wraps anything unexpected (such as running out of
// memory) in a CEXUnhandled naming "CUtilities::" and itself.
#pragma once

#include <string>

#include "StdAfx.h"

class CUtilities {
  public:
    CUtilities() = default;
    virtual ~CUtilities() = default;

    // Number checks and text to number.

    // TRUE when the text holds only digits, "-", "." and ",", with "-" only first and at most
    // one "."; the empty text and "-", "." and "-." are not numeric.
    static BOOL isNumeric(CString text);
    // Keeps digits and ","; "-" only in first position; the first "." only. The empty text
    // becomes "0"; a text without any kept character becomes empty.
    static void makeNumeric(CString& text);
    // When isNumeric accepts the text: its leading integer (optional "-" and the digits before the
    // first other character; 0 without digits), clamped to the type's range. Otherwise 0.
    static int CStringToInt(CString text);
    static LONG CStringToLong(CString text);
    static __int64 CStringToInt64(CString text);
    // The leading floating-point number of the text (white space skipped first; decimal point
    // "." whatever the locale); 0.0 when none. Out-of-range values give infinity or zero,
    // "inf" and "nan" give infinity and NaN.
    static double CStringToDouble(CString text);
    // CStringToDouble for numbers read from files, the database or extended data, which must
    // never put a non-number into stored data: TRUE with `value` set for a finite number; FALSE,
    // `value` untouched, and a line on the command line naming `what` and the text, for infinity
    // or NaN (whether spelt so or out of range).
    static BOOL CStringToFiniteDouble(CString text, LPCTSTR what, double& value);
    // TRUE exactly for "1", "t", "tr", "tru", "true", "y", "ye", "yes" (case-sensitive).
    static BOOL CStringToBOOL(CString text);

    // Number to text.

    static CString IntToCString(int value);
    static CString LongToCString(LONG value);
    // "1" for a nonzero flag, else "0".
    static CString BoolToCString(BOOL flag);
    // Precision 0 or more: fixed-point text with that many decimals, the value rounded half away
    // from zero on its decimal expansion taken to 21 significant digits; a negative value keeps
    // its "-" even when it rounds to zero. Precision below 0: the general format "%-g". Precision
    // above 340 counts as 340. Infinity gives "inf" or "-inf", NaN gives "nan"; negative zero is
    // written as zero.
    static CString DoubleToCString(double value, int precision);
    // The shortest text that CStringToDouble reads back to exactly the same value ("0.1",
    // "1234567.8", "1e-300"); infinity, NaN and negative zero as DoubleToCString writes them.
    static CString DoubleToRoundTripCString(double value);
    // The value as DoubleToCString rounds it.
    static double roundDouble(double value, int precision);
    // The value rounded half away from zero to a whole number, clamped to the range of int;
    // 0 for NaN and infinity.
    static int DoubleToInt(double value);
    // The text repeated count times; empty when count is 0 or below.
    static CString padding(int count, CString text);
    // The text in the ANSI code page; characters it lacks become "?".
    static std::string CStringToSTDString(CString text);

    // Counting and cleaning text.

    // How often the substring occurs in the text, overlapping matches included; 0 for an empty
    // substring.
    static int occurrenceCount(CString substring, CString text);
    // Replaces each of \ / : * ? " < > | = ' ; ( ) , by the replacement text.
    void replaceIllegalCharacters(CString& text, CString replacement);

    // Colours and hexadecimal.

    // The hexadecimal number at the start of the text (an optional "0x" or "0X" skipped),
    // case-insensitive, ending at the first other character. Kept to 32 bits: digits beyond the
    // eighth shift the high ones out. 0 when no digit leads.
    static int _httoi(CString text);
    // Splits "#RRGGBB" (the "#" optional, any case) into its upper-case pairs. Raises
    // CEXInvalidHexColour (unwrapped) for an empty text or a length other than six digits, and
    // validteHexString's wrapped error for a character that is no hexadecimal digit.
    static void parseHashString(CString colour, CString& red, CString& green, CString& blue);
    // Raises CEXInvalidHexColour, wrapped once, when a character is not "0"-"9" or "A"-"F".
    static void validteHexString(CString text);
    // Makes `colour` the true colour of the "#RRGGBB" text. An empty text or a wrong length
    // raises CEXInvalidHexColour unwrapped; a character that is no hexadecimal digit raises it
    // wrapped twice (by the check and by this operation).
    static void hashColourToAcad(CString text, AcCmColor& colour);
    // "#RRGGBB" of the colour's red, green and blue, upper-case.
    static CString acadColourToHash(const AcCmColor& colour);
};
