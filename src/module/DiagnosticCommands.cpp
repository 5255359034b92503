// test and the diagnostics: checks that a support person can run to see that the module's basic
// services work in an installation. None of them touches the drawing.
#include "StdAfx.h"

#include "core/ComScope.h"
#include "core/FileUtilities.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "core/XMLUtilities.h"
#include "drawing/AcadUtilities.h"
#include "module/CommandFrame.h"
#include "module/quorvelle.h"

namespace {

// The namespace of the diagnostic XML file.
const wchar_t DIAGNOSIS_NAMESPACE[] = L"urn:orvan:diagnosis";

// Throws a test error and handles it: the error tests A and B differ only in their names.
void throwAndHandleTestError(LPCTSTR letter, LPCTSTR source, LPCTSTR file, LPCTSTR procSig) {
    acutPrintf(L"Error Test %s - throws test error\n", letter);
    try {
        throw new CEXUnhandled(L"test error", source, file, procSig, 0);
    } catch (CEXOrvan* error) {
        acutPrintf(L"the error has been handled - %s\n", error->getDescription());
        error->deleteChain();
        acutPrintf(L"orvan error handled successfully\n");
    } catch (...) {
        discardCaughtError();
        printCommandFailure(L"orvan error handling failed\n");
    }
    acutPrintf(L"error handling test completed\n");
}

}  // namespace

void test() {
    try {
    } catch (...) {
        throwWrapped(COMMAND_SOURCE_FILE, _T("test"));
    }
}

void diagnosticAll() {
    diagnosticBasic();
    diagnosticErrorsA();
    diagnosticErrorsB();
    diagnosticErrorsC();
    diagnosticErrorsD();
    diagnosticUserInput();
    diagnosticXML();
}

void diagnosticBasic() {
    acutPrintf(L"basic test - output to commandline\n");
    acutPrintf(L"basic test successful\n");
    acutPrintf(L"basic test completed\n");
}

void diagnosticDialog() {
    try {
        acutPrintf(L"dialog test - opens browse for file dialog\n");
        CFileUtilities::browseForFile(L"All Files (*.*)|*.*");
        acutPrintf(L"dialog test completed\n");
    } catch (...) {
        reportCommandError(_T("diagnosticDialog"));
    }
}

void diagnosticErrorsA() {
    throwAndHandleTestError(L"A", L"quorvelle", L"diagnosticErrorsA", L"diagnosticErrorsB");
}

void diagnosticErrorsB() {
    throwAndHandleTestError(L"B", L"diagnostics", L"quorvelle", L"diagnosticErrorsB");
}

void diagnosticErrorsC() {
    try {
        acutPrintf(L"Error Test C - retrieve function name\n");
        acutPrintf(L"function %s\n", L"diagnosticErrorsC");
    } catch (...) {
        reportCommandError(_T("diagnosticErrorsC"));
    }
}

void diagnosticErrorsD() {
    try {
        acutPrintf(L"Error Test C - retrieve file name\n");
        acutPrintf(L"file %s\n", COMMAND_SOURCE_FILE);
    } catch (...) {
        reportCommandError(_T("diagnosticErrorsD"));
    }
}

void diagnosticUserInput() {
    try {
        acutPrintf(L"user input test - tests boolean, double, integer, string input\n");

        BOOL bAnswer = TRUE;
        CAcadUtilities::getBoolean(L"testing boolean input. Type 0 or 1 and then enter", TRUE,
                                   &bAnswer);
        acutPrintf(L"boolean user input test successful - %i\n", bAnswer);

        double dblAnswer = 1.001;
        CAcadUtilities::getDouble(L"testing decimal input. Type a decimal number and then enter",
                                  1.001, 3, &dblAnswer);
        acutPrintf(L"decimal user input test successful - %s\n",
                   CUtilities::DoubleToCString(dblAnswer, 3));

        int iAnswer = 27;
        CAcadUtilities::getInteger(
            L"testing integer input. Type an integer(whole) number and then enter", 27, &iAnswer);
        acutPrintf(L"integer user input test successful - %i\n", iAnswer);

        CString sAnswer = L"diagnosis";
        CAcadUtilities::getString(L"testing text input. Type some text and then enter",
                                  L"diagnosis", &sAnswer);
        acutPrintf(L"text user input test successful - %s\n", sAnswer);

        acutPrintf(L"user input test finished\n");
    } catch (...) {
        reportCommandError(_T("diagnosticUserInput"));
    }
}

void diagnosticXML() {
    try {
        acutPrintf(L"xml test - outputs xml file to specified location\n");
        CString sPath = L"c:\\orvanDiagnosis.xml";
        CAcadUtilities::getString(L"please enter output file path", L"c:\\orvanDiagnosis.xml",
                                  &sPath);
        if (CFileUtilities::fileExists(sPath))
            CFileUtilities::deleteFile(sPath);

        CXMLUtilities xml;
        xml.createXMLDoc(sPath, CString(), L"root", DIAGNOSIS_NAMESPACE);
        {
            CComScope com;
            MSXML2::IXMLDOMDocumentPtr pDocument;
            pDocument.CreateInstance(L"Msxml2.DOMDocument");
            pDocument->Putasync(VARIANT_FALSE);
            pDocument->load(_variant_t(static_cast<LPCTSTR>(sPath)));
            MSXML2::IXMLDOMNodePtr pRoot = pDocument->selectSingleNode(L"/*");
            pRoot->appendChild(xml.createNode(L"name", L"value", DIAGNOSIS_NAMESPACE));
            pDocument->save(_variant_t(static_cast<LPCTSTR>(sPath)));
        }
        acutPrintf(L"xml test completed successfully\n");
    } catch (...) {
        reportCommandError(_T("diagnosticXML"));
    }
}
