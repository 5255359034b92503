// ocsv: the comma-separated list of the drawing's spaces, and the program that opens it.
#include "StdAfx.h"

#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "blocks/UnitConversion.h"
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

CString csvLine(const CString& sName, double dblArea, double dblPerimeter, const UnitTexts& units,
                int iPrecision) {
    return csvField(sName) + L"," + CUtilities::DoubleToCString(dblArea, iPrecision) + L"," +
           units.sArea + L"," + CUtilities::DoubleToCString(dblPerimeter, iPrecision) + L"," +
           units.sLength + L"\n";
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
        const CString sLine = csvLine(pBlock->getName(), pBlock->getArea(),
                                      pBlock->getPerimeter(), totalUnits, iPrecision);
        if (sBlockName == GROSS_AREA_BLOCK) {
            sGrossArea += sLine;
        } else {
            sText += sLine;
            sums.add(iUnits, pBlock->getArea(), pBlock->getPerimeter());
        }
    }
    sText += csvLine(L"Total", sums.area(bImperialTotal), sums.perimeter(bImperialTotal),
                     totalUnits, iPrecision);
    return sText + sGrossArea;
}

// Writes the text (Windows-1252, CR LF) to the file, made or emptied. FALSE when the file
// cannot be opened; a failure while writing raises. The file's full path in sWritten.
BOOL writeTextFile(const CString& sPath, const CString& sText, CString& sWritten) {
    CStdioFile file;
    if (!file.Open(sPath, CFile::modeCreate | CFile::modeWrite | CFile::typeText))
        return FALSE;
    file.WriteString(sText);
    sWritten = file.GetFilePath();
    file.Close();
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

        const CString sDrawing = pDrawing->getFileName();
        if (sDrawing.GetLength() <= 4) {
            acutPrintf(L"The drawing has no file name - save it before exporting csv data\n");
            return;
        }
        const CString sPath = sDrawing.Left(sDrawing.GetLength() - 4) + L".csv";

        CBlocks blocks;
        blocks.getOrvanDWGBlocks_SS(pDrawing, false, L"f");
        blocks.sortBlocksByHandle(true);
        const CString sText = roomAreaText(blocks, pPreferences->getPrecision());

        CString sWritten;
        if (!writeTextFile(sPath, sText, sWritten)) {
            acutPrintf(L"Unable to write csv data to file (%s)\n", sPath.GetString());
            return;
        }
        acutPrintf(L"csv data successfully saved to file (%s)\n", sWritten.GetString());
        openWithPreferredProgram(pPreferences->getCsvOpener(), sWritten);
    });
}
