#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <string>
#include <stdexcept>
#include <vector>

#include "core/ErrorCapture.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "support/TestEnvironment.h"

using qv::test::caught;
using qv::test::Chain;
using qv::test::Level;
using qv::test::levels;

namespace {

const CString MODULE = L"ORVAN Halcyra compatible with 64bit BricsCAD 15";

// An error kind that records when it is destroyed, to watch deleteChain.
std::vector<int> destroyed;
class TracedError : public CEXOrvan {
  public:
    TracedError(int id, CEXOrvan* inner, int severity = 2)
        : CEXOrvan(L"test", L"Traced.cpp", L"CTraced::run", id, inner), m_id(id) {
        setDescription(L"traced failure");
        setSeverity(severity);
    }
    ~TracedError() override { destroyed.push_back(m_id); }

  private:
    int m_id;
};

// Three levels as the convention builds them: a failure in CFileUtilities::directoryExists,
// wrapped by CAcadDrawing::save, wrapped by the command handler.
CEXOrvan* threeLevels() {
    CEXOrvan* inner = new CEXCustom(L"disk on fire", MODULE, L"FileUtilities.cpp",
                                    L"CFileUtilities::directoryExists", 0, nullptr);
    CEXOrvan* middle = new CEXUnhandled(MODULE, L"c:\\src\\drawing\\AcadDrawing.cpp",
                                        L"CAcadDrawing::save", 0, inner);
    return new CEXUnhandled(MODULE, L"quorvelle.cpp", L"saveDrawing", 0, middle);
}

class ErrorChainTest : public qv::test::PlatformTest {};

TEST_F(ErrorChainTest, TheDialogAndTheCommandLineShowOneIndentedLinePerLevel) {
    const struct {
        const char* what;
        CEXOrvan* error;
        const wchar_t* dialog;
        const wchar_t* printed;
    } cases[] = {
        {"one level, a text outside the ANSI code page",
         new CEXCustom(L"disk \u03a9 \u20ac", MODULE, L"FileUtilities.cpp",
                       L"CFileUtilities::directoryExists", 0, nullptr),
         L"FileUtilities::CFileUtilities::directoryExists\n\ndisk \u03a9 \u20ac",
         L"CFileUtilities::directoryExists\n\ndisk \u03a9 \u20ac\n"},
        {"three levels: only the innermost description", threeLevels(),
         L"quorvelle::saveDrawing\n\tAcadDrawing::CAcadDrawing::save\n"
         L"\t\tFileUtilities::CFileUtilities::directoryExists\n\ndisk on fire",
         L"saveDrawing\n\tCAcadDrawing::save\n\t\tCFileUtilities::directoryExists\n\ndisk on fire\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Chain error(c.error);
        ui.clear();
        qv::host::transcript().clear();
        error->showErrorDialog();
        error->printErrorChain();
        ASSERT_EQ(1u, ui.shown().size());
        EXPECT_EQ(CString(c.dialog), ui.shown()[0].text);
        EXPECT_EQ(CString(L"Error Detected."), ui.shown()[0].caption);
        EXPECT_EQ(MB_ICONERROR | MB_OK, ui.shown()[0].type);
        EXPECT_EQ(c.printed, qv::host::transcript().text());
    }
    qv::host::transcript().clear();
}

TEST_F(ErrorChainTest, XmlFormNestsTheInnerErrors) {
    const CString date =
        L"<date><year>2009</year><month>3</month><day>5</day><hour>7</hour><minute>4</minute>"
        L"<second>9</second></date>";
    const struct {
        const char* name;
        CEXOrvan* error;
        CString expected;
    } cases[] = {
        {"single", new CEXInvalidHandle(L"2F", L"CBlocks", L"Blocks.cpp", L"CBlocks::find"),
         L"<error xmlns=\"urn:orvan:errorLog\">" + date +
             L"<class>Blocks</class><procSig>CBlocks::find</procSig><source>CBlocks</source>"
             L"<description>Invalid Handle - 2F</description><severity>medium</severity>"
             L"</error>"},
        {"wrapped",
         new CEXUnhandled(MODULE, L"quorvelle.cpp", L"saveDrawing", 0,
                          new CEXCustom(L"a < b", L"src", L"Log.cpp", L"CLog::append", 0, nullptr)),
         L"<error xmlns=\"urn:orvan:errorLog\">" + date +
             L"<class>quorvelle</class><procSig>saveDrawing</procSig><source>" + MODULE +
             L"</source><description>unhandled error</description><severity>high</severity>"
             L"<innerException><error>" +
             date +
             L"<class>Log</class><procSig>CLog::append</procSig><source>src</source>"
             L"<description>a &lt; b</description><severity>high</severity></error>"
             L"</innerException></error>"},
    };
    for (const auto& c : cases) {
        Chain error(c.error);
        MSXML2::IXMLDOMNodePtr xml = error->toXML();
        EXPECT_EQ(c.expected, CString(static_cast<const wchar_t*>(xml->Getxml()))) << c.name;
    }
}

TEST(ErrorChain, DeleteChainFreesTheInnermostFirst) {
    destroyed.clear();
    CEXOrvan* chain = new TracedError(1, new TracedError(2, new TracedError(3, nullptr)));
    chain->deleteChain();
    EXPECT_EQ((std::vector<int>{3, 2, 1}), destroyed);

    // A long chain does not need a deep stack.
    destroyed.clear();
    CEXOrvan* longChain = nullptr;
    for (int i = 0; i < 100000; ++i)
        longChain = new TracedError(i, longChain);
    longChain->deleteChain();
    EXPECT_EQ(100000u, destroyed.size());
    EXPECT_EQ(0, destroyed.front());
}

TEST(ErrorObject, TrimSourceFileCutsTheFolderAndOnlyTheLowerCaseSourceExtension) {
    const struct {
        const wchar_t* file;
        const wchar_t* expected;
    } cases[] = {
        {L"c:\\work\\src\\core\\Log.cpp", L"Log"},
        {L"c:\\work\\src\\core\\Log.CPP", L"Log.CPP"},
        {L"src/core/Log.cpp", L"src/core/Log"},
        {L"Log.h", L"Log.h"},
        {L"Log.cpp.bak", L"Log.cpp.bak"},
        {L".cpp", L""},
        {L"dir\\", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CString(c.expected), CEXOrvan::trimSourceFile(c.file))
            << CStringA(c.file).GetString();
        CEXCustom error(L"d", L"s", c.file, L"p", 0, nullptr);
        EXPECT_EQ(CString(c.expected), error.getClass());
    }
}

TEST(ErrorObject, SeverityTexts) {
    const struct {
        int severity;
        const wchar_t* text;
    } cases[] = {{0, L"low"}, {1, L"medium"}, {2, L"high"}, {7, L"high"}, {-1, L"high"}};
    for (const auto& c : cases) {
        destroyed.clear();
        Chain error(new TracedError(0, nullptr, c.severity));
        EXPECT_EQ(CString(c.text), error->getSeverityText()) << c.severity;
    }
}

struct KindCase {
    const char* name;
    CEXOrvan* error;
    const wchar_t* description;
    int severity;
};

TEST(ErrorObject, EachKindSetsItsDescriptionAndSeverity) {
    const KindCase cases[] = {
        {"unhandled", new CEXUnhandled(L"src", L"F.cpp", L"C::f", 5, nullptr), L"unhandled error",
         2},
        {"unhandled from text", new CEXUnhandled(L"test error", L"src", L"F.cpp", L"C::f", 5),
         L"test error", 2},
        {"custom", new CEXCustom(L"my text", L"src", L"F.cpp", L"C::f", 5, nullptr), L"my text", 2},
        {"invalid handle", new CEXInvalidHandle(L"1A2B", L"src", L"F.cpp", L"C::f"),
         L"Invalid Handle - 1A2B", 1},
        {"invalid plot file name", new CEXInvalidPlotFilename(L"src", L"F.cpp", L"C::f", L"a.xyz"),
         L"Invalid Plot Filename - 'a.xyz'", 2},
        {"segment area over total",
         new CEXSegmentAreaOverTotal(L"src", L"F.cpp", L"C::f", 120.456, 100),
         L"Unable to calculate pie chart percentages the total segment area (120.46) is greater "
         L"than the specified total area (100.00).",
         1},
        {"additional areas", new CEXHatchAdditionalAreas(L"ROOM-7", L"src", L"F.cpp", L"C::f"),
         L"Unable to apply additional hatch areas to Orvan Block: ROOM-7.", 1},
        {"no areas", new CEXHatchNoAreas(L"ROOM-7", L"src", L"F.cpp", L"C::f"),
         L"Unable to apply no hatch areas to Orvan Block: ROOM-7.", 1},
        {"not closed", new CEXHatchNotClosed(L"ROOM-7", L"2F", L"src", L"F.cpp", L"C::f"),
         L"Unable to hatch Orvan Block: ROOM-7. Handle: 2F. Please check the polyline is closed.",
         2},
        {"not dense enough",
         new CEXHatchNotDenseEnough(L"asset - 3C", L"ANSI31", 2, L"src", L"F.cpp", L"C::f"),
         L"Unable to hatch asset - 3C. ANSI31 set at scale 2.00 is not dense enough to be "
         L"displayed.",
         1},
        {"too dense", new CEXHatchTooDense(L"ROOM-7", L"SOLID", 0.125, L"src", L"F.cpp", L"C::f"),
         L"Unable to hatch ROOM-7. SOLID set at scale 0.13is too dense to be displayed.", 1},
        {"around attributes",
         new CEXHatchAroundAttributes(L"ROOM-7", L"2F", L"src", L"F.cpp", L"C::f"),
         L"Unable to hatch around attributes: ROOM-7. Handle: 2F. Please check the Orvan block.",
         1},
        {"no MSXML", new CEXMSXMLNotAvailable(L"src", L"F.cpp", L"C::f"),
         L"Msxml2.DOMDocument is not available - please check msxml is installed.", 2},
        {"missing field", new CEXXMLMissingField(L"p.xml", L"server", L"src", L"F.cpp", L"C::f"),
         L"The XML file p.xml does not contain the required field server", 1},
    };
    for (const auto& c : cases) {
        Chain error(c.error);
        EXPECT_EQ(CString(c.description), error->getDescription()) << c.name;
        EXPECT_EQ(c.severity, error->getSeverity()) << c.name;
        EXPECT_EQ(CString(L"src"), error->getSource()) << c.name;
        EXPECT_EQ(CString(L"F"), error->getClass()) << c.name;
        EXPECT_EQ(CString(L"C::f"), error->getProcSig()) << c.name;
        EXPECT_EQ(nullptr, error->getInnerException()) << c.name;
    }
}

TEST(ErrorObject, HostStatusNamesTheLineTheStatusAndTheDrawing) {
    const struct {
        Acad::ErrorStatus status;
        long line;
        const wchar_t* drawing;
        const wchar_t* description;
    } cases[] = {
        {Acad::eWasOpenForWrite, 3430, L"c:\\plans\\a.dwg",
         L"The following AutoCAD error occurred on line#3430: eWasOpenForWrite, whilst processing "
         L"drawing c:\\plans\\a.dwg."},
        {Acad::eOnLockedLayer, 12, L"",
         L"The following AutoCAD error occurred on line#12: eOnLockedLayer."},
        {static_cast<Acad::ErrorStatus>(9999), 7, L"",
         L"The following AutoCAD error occurred on line#7: Unknown error status 9999."},
    };
    for (const auto& c : cases) {
        Chain error(new CEXUnhandled(c.status, MODULE, L"BlockDWG.cpp", L"CBlockDWG::hatchBlock",
                                     c.line, c.drawing, nullptr));
        EXPECT_EQ(CString(c.description), error->getDescription());
        EXPECT_EQ(static_cast<int>(c.status), error->getCode());
        EXPECT_EQ(2, error->getSeverity());
        EXPECT_EQ(MODULE, error->getSource());
    }
}

TEST(ErrorObject, ComErrorsGiveTheirSourceAndDescription) {
    const _com_error withInfo(E_FAIL, qv::com::makeErrorInfo(L"Invalid object name 'spaces'.",
                                                             L"Microsoft OLE DB Provider"));
    Chain unhandled(new CEXUnhandled(withInfo, MODULE, L"Layers.cpp", L"CLayers::load", 2));
    EXPECT_EQ(CString(L"Microsoft OLE DB Provider"), unhandled->getSource());
    EXPECT_EQ(CString(L"Invalid object name 'spaces'."), unhandled->getDescription());
    EXPECT_EQ(2, unhandled->getSeverity());
    EXPECT_EQ(CString(L"Layers"), unhandled->getClass());

    Chain statement(new CEXSQLStatement(withInfo, L"SELECT * FROM spaces", MODULE,
                                        L"SQLStatement.cpp", L"CSQLStatement::execute"));
    EXPECT_EQ(CString(L"Invalid object name 'spaces'."), statement->getDescription());
    EXPECT_EQ(MODULE, statement->getSource());

    const _com_error bare(E_POINTER);
    Chain noInfo(new CEXUnhandled(bare, MODULE, L"Layers.cpp", L"CLayers::load", 1));
    // Without error information the error still says what went wrong.
    EXPECT_EQ(MODULE, noInfo->getSource());
    EXPECT_EQ(CString(L"Invalid pointer"), noInfo->getDescription());
    EXPECT_EQ(1, noInfo->getSeverity());

    EXPECT_EQ(CString(L"COM Error HRESULT 0x80004005\n"
                      L"_com_error::ErrorMessage() = ") +
                  withInfo.ErrorMessage() +
                  L"\n_com_error::Description() = Invalid object name 'spaces'.\n"
                  L"\n_com_error::Source() = Microsoft OLE DB Provider",
              CEXOrvan::describeComError(withInfo));
    EXPECT_EQ(CString(L"COM Error HRESULT 0x80004003\n"
                      L"_com_error::ErrorMessage() = Invalid pointer\n"
                      L"No IErrorInfo Interface present\n"),
              CEXOrvan::describeComError(bare));
}

// Each line of the report is built in a buffer of 1024 characters: a line of up to 1023 stays
// whole, a longer one loses its end (its line feed first), whichever line it is.
TEST(ErrorObject, EachLineOfAComErrorReportIsCutAt1023Characters) {
    const std::wstring descriptionHead = L"_com_error::Description() = ";
    const std::wstring sourceHead = L"\n_com_error::Source() = ";
    const struct {
        const char* what;
        std::size_t descriptionLine, sourceLine;  // lengths before any cut
        const wchar_t* descriptionEnd;            // how the description's line ends after it
        const wchar_t* sourceEnd;
    } cases[] = {
        {"both lines full", 1023, 1023, L"x\n", L"y"},
        {"the line feed cut off", 1024, 1024, L"x", L"y"},
        {"a short description, a long source", 40, 3000, L"x\n", L"y"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring description(c.descriptionLine - descriptionHead.size() - 1, L'x');
        const std::wstring source(c.sourceLine - sourceHead.size(), L'y');
        const _com_error e(E_FAIL, qv::com::makeErrorInfo(description.c_str(), source.c_str()));
        const CString report = CEXOrvan::describeComError(e);
        const CString first =
            CString(L"COM Error HRESULT 0x80004005\n_com_error::ErrorMessage() = ") +
            e.ErrorMessage() + L"\n";
        ASSERT_EQ(first, report.Left(first.GetLength()));
        const CString rest = report.Mid(first.GetLength());
        const int split = rest.Find(L"\n_com_error::Source() = ");
        ASSERT_GT(split, 0);
        const CString descriptionLine = rest.Left(split);
        const CString sourceLine = rest.Mid(split);
        EXPECT_EQ(std::min<std::size_t>(c.descriptionLine, 1023),
                  static_cast<std::size_t>(descriptionLine.GetLength()));
        EXPECT_EQ(std::min<std::size_t>(c.sourceLine, 1023),
                  static_cast<std::size_t>(sourceLine.GetLength()));
        EXPECT_EQ(CString(c.descriptionEnd),
                  descriptionLine.Right(static_cast<int>(std::wcslen(c.descriptionEnd))));
        EXPECT_EQ(CString(c.sourceEnd), sourceLine.Right(1));
        EXPECT_EQ(CString(descriptionHead.c_str()),
                  descriptionLine.Left(static_cast<int>(descriptionHead.size())));
    }
}

TEST(ErrorObject, SystemErrorTexts) {
    EXPECT_EQ(CString(L"The system cannot find the file specified.\r\n"),
              CEXOrvan::getSystemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CString(), CEXOrvan::getSystemErrorText(0x7FFF1234));
}

TEST(ErrorObject, FrameworkMessagesAreReadThroughA255CharacterBuffer) {
    const CString longText = CString(L'x', 300);
    COleDispatchException dispatchError(longText, 0, 0);
    Chain truncated(new CEXUnhandled(&dispatchError, L"src", L"F.cpp", L"C::f", 3, nullptr));
    EXPECT_EQ(longText.Left(254), truncated->getDescription());
    EXPECT_EQ(3, truncated->getCode());
}

// Runs a body under the convention and returns what reaches the caller.
template <class Body>
Chain wrappedBy(Body body) {
    return caught([&] {
        try {
            body();
        } catch (...) {
            throwWrapped(_T("Sample.cpp"), _T("CSample::run"));
        }
    });
}

TEST(CatchAndWrap, EveryKindOfFailureBecomesAnUnhandledErrorNamingTheOperation) {
    const struct {
        const char* name;
        std::function<void()> body;
        std::vector<Level> chain;
    } cases[] = {
        {"error object",
         [] { throw new CEXCustom(L"inner text", L"s", L"Inner.cpp", L"CInner::go", 4, nullptr); },
         {{L"CSample::run", L"unhandled error"}, {L"CInner::go", L"inner text"}}},
        {"framework exception",
         [] { AfxThrowFileException(CFileException::accessDenied, 5, L"c:\\locked.txt"); },
         {{L"CSample::run",
           CFileException(CFileException::accessDenied, 5, L"c:\\locked.txt").GetMessageText()}}},
        {"invalid argument",
         [] { CString().GetAt(3); },
         {{L"CSample::run", L"Encountered an improper argument."}}},
        {"standard exception",
         [] { throw std::out_of_range("index 9"); },
         {{L"CSample::run", L"index 9"}}},
        {"COM error",
         [] { qv::com::raiseError(E_FAIL, L"Timeout expired", L"Microsoft OLE DB Provider"); },
         {{L"CSample::run", L"Timeout expired"}}},
        {"anything else", [] { throw 42; }, {{L"CSample::run", L"unhandled error"}}},
    };
    for (const auto& c : cases) {
        Chain error = wrappedBy(c.body);
        ASSERT_TRUE(error) << c.name;
        EXPECT_EQ(c.chain, levels(error.get())) << c.name;
        EXPECT_TRUE(dynamic_cast<CEXUnhandled*>(error.get())) << c.name;
        EXPECT_EQ(CString(c.name) == L"COM error" ? CString(L"Microsoft OLE DB Provider") : MODULE,
                  error->getSource())
            << c.name;
        EXPECT_EQ(CString(L"Sample"), error->getClass()) << c.name;
        EXPECT_EQ(0, error->getCode()) << c.name;
        EXPECT_EQ(2, error->getSeverity()) << c.name;
    }
}

TEST(CatchAndWrap, AHostStatusNamesTheHandlersLine) {
    long handlerLine = 0;
    Chain error = caught([&] {
        try {
            throw Acad::eWasErased;
        } catch (...) {
            handlerLine = __LINE__ + 1;
            throwWrapped(_T("Layer.cpp"), _T("CLayer::applyToDWG"));
        }
    });
    ASSERT_TRUE(error);
    EXPECT_EQ(CString(L"The following AutoCAD error occurred on line#") +
                  CUtilities::LongToCString(handlerLine) + L": eWasErased.",
              error->getDescription());
    EXPECT_EQ(static_cast<int>(Acad::eWasErased), error->getCode());
    EXPECT_EQ(CString(L"CLayer::applyToDWG"), error->getProcSig());
    EXPECT_EQ(nullptr, error->getInnerException());
}

TEST(CatchAndWrap, DiscardingFreesWhatWasCaught) {
    destroyed.clear();
    const std::function<void()> throwers[] = {
        [] { throw new TracedError(1, new TracedError(2, nullptr)); },
        [] { AfxThrowFileException(CFileException::fileNotFound, 2, L"c:\\x"); },
        [] { throw std::runtime_error("lost"); },
        [] { throw 5; },
    };
    for (const auto& raise : throwers) {
        try {
            raise();
        } catch (...) {
            discardCaughtError();
        }
    }
    EXPECT_EQ((std::vector<int>{2, 1}), destroyed);
    discardCaughtError();  // outside a handler: nothing to do
}

TEST(CatchAndWrap, WrappingOutsideAHandlerGivesAPlainUnhandledError) {
    Chain error(wrapCaughtError(_T("Sample.cpp"), _T("CSample::run")));
    EXPECT_EQ((std::vector<Level>{{L"CSample::run", L"unhandled error"}}), levels(error.get()));
}

class ErrorListTest : public qv::test::PlatformTest {};

TEST_F(ErrorListTest, HoldsShowsAndDeletesItsChains) {
    destroyed.clear();
    {
        COrvanExceptions list;
        EXPECT_EQ(0, list.getCount());
        list.deleteObjects();
        EXPECT_EQ(0, list.getCount());

        list.add(new TracedError(1, nullptr));
        list.add(new CEXHatchNoAreas(L"ROOM-1", MODULE, L"BlockDWG.cpp", L"CBlockDWG::hatch"));
        list.add(new TracedError(2, new TracedError(3, nullptr)));
        EXPECT_EQ(3, list.getCount());
        EXPECT_EQ(CString(L"CBlockDWG::hatch"), list.getAt(1)->getProcSig());
        EXPECT_TRUE(caught([&] {
                        try {
                            list.getAt(3);
                        } catch (...) {
                            throwWrapped(_T("T.cpp"), _T("T::t"));
                        }
                    }) != nullptr);

        list.displayAll();
        ASSERT_EQ(3u, ui.shown().size());
        EXPECT_EQ(CString(L"Traced::CTraced::run\n\tTraced::CTraced::run\n\ntraced failure"),
                  ui.shown()[2].text);

        qv::host::transcript().clear();
        list.printAll();
        EXPECT_EQ(
            L"CTraced::run\n\ntraced failure\n"
            L"CBlockDWG::hatch\n\nUnable to apply no hatch areas to Orvan Block: ROOM-1.\n"
            L"CTraced::run\n\tCTraced::run\n\ntraced failure\n",
            qv::host::transcript().text());
        qv::host::transcript().clear();

        list.deleteObjects();
        EXPECT_EQ(0, list.getCount());
        EXPECT_EQ((std::vector<int>{1, 3, 2}), destroyed);

        list.add(new TracedError(4, nullptr));
        EXPECT_EQ(1, list.getCount());
    }
    EXPECT_EQ((std::vector<int>{1, 3, 2, 4}), destroyed);
}

}  // namespace
