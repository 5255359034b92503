// ocsv: the comma-separated list of the drawing's spaces, and the program that opens it.
#include "StdAfx.h"

#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "blocks/UnitConversion.h"
#include "core/FileUtilities.h"
#include "core/Utilities.h"
#include "drawing/AcadUtilities.h"
#include "module/CommandFrame.h"
#include "module/CsvField.h"
#include "module/ListingCommands.h"
#include "module/ModuleGlobals.h"

namespace {

const wchar_t GROSS_AREA_BLOCK[] = L"ROOM-GROSS_AREA";
const wchar_t NO_OPENER[] = L"NONE";

// The unit texts of one block: units 1 is imperial, every other value metric. The superscript
// two is one character (0xB2 in the file's code page).
struct UnitTexts {
    CString sArea;
    CString sLength;
};

UnitTexts unitTextsOf(int iUnits) {
    if (iUnits == 1)
        return {L"ft\u00B2", L"ft"};
    return {L"m\u00B2", L"m"};
}

// Appends one line to the text, built in place: a listing of many thousand rooms makes no
// temporary text per field.
void appendCsvLine(CString& sText, const CString& sName, double dblArea, double dblPerimeter,
                   const UnitTexts& units, int iPrecision) {
    sText += spreadsheetField(sName);
    sText += L",";
    sText += CUtilities::DoubleToCString(dblArea, iPrecision);
    sText += L",";
    sText += units.sArea;
    sText += L",";
    sText += CUtilities::DoubleToCString(dblPerimeter, iPrecision);
    sText += L",";
    sText += units.sLength;
    sText += L"\n";
}

// Sums of the rooms' areas and perimeters kept apart by unit, so that the total can be given in
// the units of whichever block comes last.
struct RoomSums {
    double dblMetricArea = 0.0;
    double dblMetricPerimeter = 0.0;
    double dblImperialArea = 0.0;
    double dblImperialPerimeter = 0.0;

    void add(int iUnits, double dblArea, double dblPerimeter) {
        if (iUnits == 1) {
            dblImperialArea += dblArea;
            dblImperialPerimeter += dblPerimeter;
        } else {
            dblMetricArea += dblArea;
            dblMetricPerimeter += dblPerimeter;
        }
    }
    double area(bool bImperial) const {
        return bImperial ? dblImperialArea + dblMetricArea * SQUARE_FEET_PER_SQUARE_METRE
                         : dblMetricArea + dblImperialArea / SQUARE_FEET_PER_SQUARE_METRE;
    }
    double perimeter(bool bImperial) const {
        return bImperial ? dblImperialPerimeter + dblMetricPerimeter * FEET_PER_METRE
                         : dblMetricPerimeter + dblImperialPerimeter / FEET_PER_METRE;
    }
};

// The whole text of the file for blocks in the order given.
CString roomAreaText(const CBlocks& blocks, int iPrecision) {
    CString sText = L"Code,Area,Units,Perimeter,Units\n";
    CString sGrossArea = L"\n\n";
    RoomSums sums;
    UnitTexts totalUnits;  // empty until a block is listed
    bool bImperialTotal = false;
    for (int i = 0; i < blocks.getCount(); ++i) {
        const auto* pBlock = static_cast<const CBlockDWG*>(blocks.getAt(i));
        const CString sBlockName = pBlock->getBlockName();
        if (sBlockName.Left(5) != L"ROOM-")
            continue;
        const int iUnits = pBlock->getUnits();
        totalUnits = unitTextsOf(iUnits);
        bImperialTotal = iUnits == 1;
        const bool bGrossArea = sBlockName == GROSS_AREA_BLOCK;
        appendCsvLine(bGrossArea ? sGrossArea : sText, pBlock->getName(), pBlock->getArea(),
                      pBlock->getPerimeter(), totalUnits, iPrecision);
        if (!bGrossArea) {
            sums.add(iUnits, pBlock->getArea(), pBlock->getPerimeter());
        }
    }
    appendCsvLine(sText, L"Total", sums.area(bImperialTotal), sums.perimeter(bImperialTotal),
                  totalUnits, iPrecision);
    sText += sGrossArea;
    return sText;
}

// Writes the text (Windows-1252, CR LF) to the file, which is replaced only when the whole text
// is written. FALSE when the file cannot be made, or cannot be put in place of the old one
// (dwRefused: the system's error, which says why, when the system gave one); a failure while
// writing raises and leaves an old file as it was. The file's full path in sWritten.
BOOL writeTextFile(const CString& sPath, const CString& sText, CString& sWritten,
                   DWORD& dwRefused) {
    BOOL bOpened = FALSE;
    bool bWritten = false;
    dwRefused = ERROR_SUCCESS;
    try {
        CFileUtilities::replaceFile(sPath, [&](const CString& sTemp) {
            CStdioFile file;
            CFileException openError;
            bOpened = file.Open(sTemp, CFile::modeCreate | CFile::modeWrite | CFile::typeText,
                                &openError);
            if (!bOpened)
                AfxThrowFileException(openError.m_cause, openError.m_lOsError, sTemp);
            file.WriteString(sText);
            const CString sFull = file.GetFilePath();
            sWritten =
                CFileUtilities::getDirectoryString(sFull) + sPath.Mid(sPath.ReverseFind(L'\\') + 1);
            file.Close();
            bWritten = true;
        });
    } catch (CFileException* e) {
        if (bOpened && !bWritten)
            throw;
        // Not made, or not put in place: the system's error says why.
        if (e->m_lOsError > 0)
            dwRefused = static_cast<DWORD>(e->m_lOsError);
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

// Starts the opener on the file in the module folder and lets it run on its own.
void startOpener(const CString& sOpener, const CString& sFile) {
    CString sCommandLine = L"\"" + sOpener + L"\" \"" + sFile + L"\"";
    STARTUPINFO startup;
    GetStartupInfo(&startup);
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process = {};
    if (!CreateProcess(NULL, sCommandLine.GetBuffer(), NULL, NULL, TRUE, NORMAL_PRIORITY_CLASS,
                       NULL, moduleFolder.IsEmpty() ? NULL : moduleFolder.GetString(), &startup,
                       &process)) {
        acutPrintf(L"Unable to start %s to open the csv file\n", sOpener.GetString());
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void openWithPreferredProgram(CString sOpener, const CString& sFile) {
    if (sOpener == NO_OPENER)
        return;
    if (sOpener.IsEmpty())
        sOpener = CAcadUtilities::getStringValue(
            L"Please enter the path of the application you wish to open csv files with\n");
    if (sOpener.IsEmpty())
        return;  // cancelled: the file stays written
    startOpener(sOpener, sFile);
}

}  // namespace

void createRoomAreaCSV() {
    guardCommand(_T("createRoomAreaCSV"), [] {
        CCommandFrame frame;
        CCommandFrame::printBanner(L"Orvan Block Details ");
        const CPreferences* pPreferences = frame.loadPreferences();
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();

        // An untitled drawing has a bare name ("Drawing1.dwg") and no folder to write beside.
        const CString sDrawing = pDrawing->getFileName();
        if (sDrawing.GetLength() <= 4 || sDrawing.Find(L'\\') < 0) {
            printCommandFailure(
                L"The drawing has no file name - save it before exporting csv data\n");
            return;
        }
        const CString sPath = sDrawing.Left(sDrawing.GetLength() - 4) + L".csv";
        const CString sRefused = CFileUtilities::checkOutputFile(sPath, sDrawing);
        if (!sRefused.IsEmpty()) {
            printCommandFailure(L"Unable to write csv data to file (%s): %s\n", sPath.GetString(),
                                sRefused.GetString());
            return;
        }

        CBlocks blocks;
        blocks.getOrvanDWGBlocks_SS(pDrawing, false, L"f");
        blocks.sortBlocksByHandle(true);
        const CString sText = roomAreaText(blocks, pPreferences->getPrecision());

        CString sWritten;
        DWORD dwRefused = ERROR_SUCCESS;
        if (!writeTextFile(sPath, sText, sWritten, dwRefused)) {
            if (dwRefused != ERROR_SUCCESS)
                printCommandFailure(L"Unable to write csv data to file (%s): %s\n",
                                    sPath.GetString(),
                                    pDrawing->getSystemErrorMessage(dwRefused).GetString());
            else
                printCommandFailure(L"Unable to write csv data to file (%s)\n", sPath.GetString());
            return;
        }
        acutPrintf(L"csv data successfully saved to file (%s)\n", sWritten.GetString());
        openWithPreferredProgram(pPreferences->getCsvOpener(), sWritten);
    });
}
