#include "core/Preferences.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "core/CommandFailure.h"
#include "core/FileUtilities.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"

static const LPCTSTR SOURCE_FILE = _T("Preferences.cpp");

namespace {

// What a key's value is and how it is kept in range when it is read.
enum class Kind {
    Units,      // integer
    Precision,  // integer, 0 to 9
    Size,       // double, 2 decimals; 0 or below becomes 0.1
    Rotation,   // double, 2 decimals; -180 to 180
    Text,       // text
    Border,     // double, 0 decimals, unchecked
    Increment,  // integer; taken only from 1 to 100
};

const int MIN_PRECISION = 0;
const int MAX_PRECISION = 9;
const double MIN_SIZE = 0.1;
const double MAX_ROTATION = 180.0;
const int MIN_INC = 1;
const int MAX_INC = 100;

// The three conversions of a value line, each on the line without surrounding white space.
CString toCString(CString value) {
    value.Trim();
    return value;
}
int toInt(const CString& value) {
    return CUtilities::CStringToInt(toCString(value));
}
// FALSE, leaving `number` alone, for "nan", "inf" and values beyond the range of a double.
bool toFiniteDouble(const CString& value, double& number) {
    const double read = CUtilities::CStringToDouble(toCString(value));
    if (!std::isfinite(read))
        return false;
    number = read;
    return true;
}

// The framework's text for a file error, at most 1023 characters.
CString fileErrorText(const CFileException& error) {
    TCHAR message[1024] = {0};
    error.GetErrorMessage(message, 1024);
    return message;
}

// Tells the user why the preferences were not saved; the command that saved them failed.
void showNotSaved(const CString& why) {
    MessageBoxW(NULL, L"Unable to Write Configuration File - " + why,
                L"Error - Configuration Not Saved", MB_ICONERROR);
    markCommandFailed();
}

// Shows a failure caught by the calling handler in the error message box and frees it.
void showCaughtError(LPCTSTR procSig) {
    CEXUnhandled* error = wrapCaughtError(SOURCE_FILE, procSig);
    error->showErrorDialog();
    error->deleteChain();
}

}  // namespace

struct CPreferences::Entry {
    const wchar_t* key;
    Kind kind;
    int CPreferences::*integer;
    double CPreferences::*real;
    CString CPreferences::*text;
};

// The keys in the order the file holds them; "precison" is so spelled in the file.
const CPreferences::Entry CPreferences::s_entries[] = {
    {L"units", Kind::Units, &CPreferences::m_units, nullptr, nullptr},
    {L"precison", Kind::Precision, &CPreferences::m_precison, nullptr, nullptr},
    {L"textSize", Kind::Size, nullptr, &CPreferences::m_textSize, nullptr},
    {L"textScale", Kind::Size, nullptr, &CPreferences::m_textScale, nullptr},
    {L"textRotation", Kind::Rotation, nullptr, &CPreferences::m_textRotation, nullptr},
    {L"csvOpener", Kind::Text, nullptr, nullptr, &CPreferences::m_csvOpener},
    {L"zoomBorder", Kind::Border, nullptr, &CPreferences::m_zoomBorder, nullptr},
    {L"inc", Kind::Increment, &CPreferences::m_inc, nullptr, nullptr},
};

void CPreferences::store(const Entry& entry, const CString& value) {
    double number = 0.0;
    switch (entry.kind) {
        case Kind::Units:
            this->*entry.integer = toInt(value);
            return;
        case Kind::Precision:
            this->*entry.integer = std::clamp(toInt(value), MIN_PRECISION, MAX_PRECISION);
            return;
        case Kind::Increment:
            if (const int inc = toInt(value); inc >= MIN_INC && inc <= MAX_INC)
                this->*entry.integer = inc;
            return;
        case Kind::Text:
            this->*entry.text = toCString(value);
            return;
        case Kind::Size:
            if (toFiniteDouble(value, number))
                this->*entry.real = number <= 0.0 ? MIN_SIZE : number;
            return;
        case Kind::Rotation:
            if (toFiniteDouble(value, number))
                this->*entry.real = std::clamp(number, -MAX_ROTATION, MAX_ROTATION);
            return;
        case Kind::Border:
            if (toFiniteDouble(value, number))
                this->*entry.real = number;
            return;
    }
}

BOOL CPreferences::loadPreferences(CString fileName) {
    try {
        CStdioFile file;
        if (!file.Open(fileName, CFile::modeRead | CFile::typeText))
            return FALSE;
        CString line;
        while (file.ReadString(line) && !line.IsEmpty()) {
            if (line.Left(2) == L"//")
                continue;
            for (const Entry& entry : s_entries) {
                if (line.Left(static_cast<int>(std::wcslen(entry.key))) != entry.key)
                    continue;
                CString value;
                if (file.ReadString(value))
                    store(entry, value);
                break;
            }
        }
        file.Close();
        return TRUE;
    } catch (...) {
        showCaughtError(_T("CPreferences::loadPreferences"));
        return FALSE;
    }
}

void CPreferences::writeFile(const CString& fileName) const {
    CStdioFile file;
    CFileException error;
    if (!file.Open(fileName, CFile::modeCreate | CFile::modeWrite | CFile::typeText, &error))
        throw new CFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
    file.WriteString(L"//\tOrvan space management preferences - Orvan 2001\n");
    file.WriteString(L"//\n");
    file.WriteString(L"//\tConfiguration file for Document Monitor\n");
    file.WriteString(L"//\n");
    for (const Entry& entry : s_entries) {
        CString value;
        switch (entry.kind) {
            case Kind::Units:
            case Kind::Precision:
            case Kind::Increment:
                value = CUtilities::IntToCString(this->*entry.integer);
                break;
            case Kind::Size:
            case Kind::Rotation:
                value = CUtilities::DoubleToCString(this->*entry.real, 2);
                break;
            case Kind::Border:
                value = CUtilities::DoubleToCString(this->*entry.real, 0);
                break;
            case Kind::Text:
                value = this->*entry.text;
                break;
        }
        file.WriteString(CString(entry.key) + L"\n");
        file.WriteString(value + L"\n");
    }
    file.Close();
}

BOOL CPreferences::savePreferences(CString fileName) {
    // The new file is written beside the old one, which it replaces once it is complete. What is
    // no file (a folder, a device, a pipe) is not replaced; a link keeps being a link, and the
    // file it leads to gets the new content.
    const CString newFile = fileName + L".new";
    try {
        if (!CFileUtilities::ensureDirectoryExists(CFileUtilities::getDirectoryString(fileName)))
            return FALSE;
        const DWORD attributes = GetFileAttributesW(fileName);
        const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
        if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
            showNotSaved(fileName + L" is not a file that can be written.");
            return FALSE;
        }
        const bool link = exists && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        try {
            writeFile(newFile);
        } catch (CFileException* e) {
            // The user is told about the file he asked for, not about the one beside it.
            e->m_strFileName = fileName;
            showNotSaved(fileErrorText(*e));
            e->Delete();
            DeleteFileW(newFile);
            return FALSE;
        } catch (...) {
            DeleteFileW(newFile);
            throw;
        }
        const BOOL placed = link ? CopyFileW(newFile, fileName, FALSE)
                                 : MoveFileExW(newFile, fileName, MOVEFILE_REPLACE_EXISTING);
        if (link && placed) {
            DeleteFileW(newFile);
        }
        if (!placed) {
            const DWORD code = GetLastError();
            DeleteFileW(newFile);
            showNotSaved(fileErrorText(
                CFileException(CFileException::OsErrorToException(static_cast<LONG>(code)),
                               static_cast<LONG>(code), fileName)));
            return FALSE;
        }
        return TRUE;
    } catch (...) {
        showCaughtError(_T("CPreferences::savePreferences"));
        return FALSE;
    }
}
