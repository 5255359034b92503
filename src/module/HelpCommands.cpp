// o? and od?: fixed overviews of the module's commands on the command line.
#include "StdAfx.h"

#include "module/CommandFrame.h"
#include "module/quorvelle.h"

namespace {

// One printed piece of an overview: a line as it stands, or a title printed through "%s\n".
struct HelpLine {
    const wchar_t* text;
    bool title = false;
};

HelpLine title(const wchar_t* text) {
    return HelpLine{text, true};
}

const HelpLine RULE{L"-\n"};

void printLines(std::initializer_list<HelpLine> lines) {
    for (const HelpLine& line : lines) {
        if (line.title)
            acutPrintf(L"%s\n", line.text);
        else
            acutPrintf(L"%s", line.text);
    }
}

}  // namespace

void displayHelp() {
    CCommandFrame frame;
    printLines({
        {L"  command   fullname                      Description\n\n"},
        RULE,
        title(L"VRK Suite Commands"),
        {L"    obe     orvanQuorvelle                Edit orvan blocks.\n"},
        {L"    obh     orvanBlockHyperlink           Multiple hyperlink blocks.\n"},
        {L"    obc     orvanBlockCreate              Create a orvan block.\n"},
        {L"    ogabc   orvanGrossAreaBlockCreate     Create a orvan gross area block.\n"},
        {L"    odb     orvanDeleteBlock              Delete orvan block.\n"},
        {L"    ocsv    orvanCommaSeperatedValues     Export drawing details to csv.\n"},
        RULE,
        RULE,
        title(L"Utilities"),
        {L"    ous     orvanUpdateSpaces             Recalculate all areas and perimeters\n"},
        {L"                                          in the drawing. Updates attributes if "
         L"xdata\n"},
        {L"                                          and attribute value are linked\n"},
        {L"    osxta   orvanSyncXDataToAttributes\t  Copies xdata values to appropriate "
         L"attributes.\n"},
        {L"                                          Recalculates xdata if specified.\n"},
        {L"    obta     orvanBlankThirdAttribute     Set all third attribute (aux) values to \"\" "
         L"i.e. blank\n"},
        {L"    out     orvanUpdateText               Resize all attribute text to\n"},
        {L"                                          preferences default value.\n"},
        {L"    oaux    orvanAuxilarator              Add auxillary tags to orvan blocks\n"},
        {L"                                          which do not have an auxillary tag.\n"},
        {L"    olb     orvanListBlocks               List the block name and identifiers\n"},
        {L"                                          in the drawing.\n"},
        RULE,
        RULE,
        RULE,
        title(L"Administration"),
        {L"    oprefs  orvanPreferences              Edit preferences.\n"},
        RULE,
        RULE,
        RULE,
        title(L"Help"),
        {L"    o?      ohelp                         Displays details of the orvan.\n"},
        {L"                                          commands avaialble in this version of\n"},
        {L"                                          the Halcyra.\n"},
        RULE,
        RULE,
    });
}

void displayDiagnosticsHelp() {
    CCommandFrame frame;
    printLines({
        {L"  command      fullname                      Description\n\n"},
        RULE,
        title(L"Orvan Diagnostics"),
        {L"    oda     orvanDiagnosticAll            Runs all diagnostic routines.\n"},
        {L"    od1     orvanDiagnosticBasic          Tests output to commandline.\n"},
        {L"    od3     orvanDiagnosticDialog         Test Dialogs.\n"},
        {L"    od4     orvanDiagnosticErrorsA        Throws and handles test error.\n"},
        {L"    od5     orvanDiagnosticErrorsB        Throws and handles test error.\n"},
        {L"    od6     orvanDiagnosticErrorsC        Retrieves Function name.\n"},
        {L"    od7     orvanDiagnosticErrorsD        Retrieves File name.\n"},
        {L"    od8     orvanDiagnosticUserInput      Tests User Input.\n"},
        {L"    od9     orvanDiagnosticXML            Test XML output.\n"},
        RULE,
        RULE,
    });
}
