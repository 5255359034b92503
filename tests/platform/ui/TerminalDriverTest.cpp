#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "afxwin.h"
#include "mfc/dialogs/DialogDriving.h"
#include "ui/TerminalDriver.h"

namespace {

using namespace qv::res;

enum : UINT { IDD_PREFS = 216, IDD_ABOUT = 221, IDD_TOOL = 217, IDR_MENU = 215, ID_ABOUT = 32770 };

static const ResourceScript kResources(
    {
        DialogTemplate(IDD_PREFS, L"Preferences",
                       WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                       {Text(L"Measurements are in:"), AutoRadioButton(L"m", 288, WS_GROUP),
                        AutoRadioButton(L"ft", 289), Text(L"Area precision is to"),
                        EditText(290, ES_NUMBER | WS_GROUP), Text(L"Size"), EditText(291),
                        Text(L"Open CSV file with"), EditText(330), DefPushButton(L"OK", IDOK),
                        PushButton(L"Cancel", IDCANCEL)})
            .withMenu(IDR_MENU),
        DialogTemplate(IDD_ABOUT, L"About", WS_POPUP | WS_CAPTION | DS_MODALFRAME,
                       {Text(L"Version 1"), DefPushButton(L"OK", IDOK)}),
        DialogTemplate(IDD_TOOL, L"Creator", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                       {Text(L"Next Space Name"), EditText(311), PushButton(L"Start", 3),
                        PushButton(L"Close", IDCANCEL)}),
    },
    {MenuTemplate(IDR_MENU, {Popup(L"&Help", {MenuItem(L"&About", ID_ABOUT)})})});

class CPrefsDlg : public CDialog {
  public:
    CPrefsDlg() : CDialog(IDD_PREFS) {}
    int units = 0;
    int precision = 2;
    double size = 250.0;
    CString opener = L"NONE";

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Radio(pDX, 288, units);
        DDX_Text(pDX, 290, precision);
        DDV_MinMaxInt(pDX, precision, 0, 9);
        DDX_Text(pDX, 291, size);
        DDX_Text(pDX, 330, opener);
    }
    afx_msg void OnAbout() {
        CDialog about(IDD_ABOUT, this);
        about.DoModal();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPrefsDlg, CDialog)
ON_COMMAND(ID_ABOUT, &CPrefsDlg::OnAbout)
END_MESSAGE_MAP()

class CCreatorDlg : public CDialog {
  public:
    CCreatorDlg() { Create(IDD_TOOL); }
    std::vector<CString> names;

  protected:
    void OnCancel() override { DestroyWindow(); }
    afx_msg void OnStart() {
        CString s;
        GetDlgItemText(311, s);
        names.push_back(s);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCreatorDlg, CDialog)
ON_BN_CLICKED(3, &CCreatorDlg::OnStart)
END_MESSAGE_MAP()

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) {
        out.push_back(l);
    }
    return out;
}

// The terminal driver reading `input`, with the output kept.
struct Terminal {
    explicit Terminal(const std::string& input) : in(input), source(in), driver(source, out) {}
    std::istringstream in;
    std::ostringstream out;
    qv::ui::StreamLineSource source;
    qv::ui::TerminalDriver driver;
};

struct Outcome {
    INT_PTR result;
    int units;
    int precision;
    double size;
    CString opener;
    bool operator==(const Outcome&) const = default;
};

Outcome runPrefs() {
    CPrefsDlg dlg;
    const INT_PTR result = dlg.DoModal();
    return {result, dlg.units, dlg.precision, dlg.size, dlg.opener};
}

TEST(TerminalDriver, ShowsADialogAndTakesItsActionsFromTheInput) {
    Terminal t(
        "set 290 4\n"
        "check 289\n"
        "menu 32770\n"
        "enter\n"
        "set 290 x\n"
        "set 291 12.5\n"
        "click 4711\n"
        "show\n"
        "enter\n"
        "ok\n"
        "set 290 5\n"
        "enter\n");
    qv::ui::DriverScope scope(t.driver);
    EXPECT_EQ((Outcome{IDOK, 1, 5, 12.5, L"NONE"}), runPrefs());
    // The lines that carry each step, in order: the dialog as shown, the nested dialog, the
    // refusals, the dialog shown again with its changes, the validation's message box.
    const std::vector<std::string> expected = {
        "Dialog \"Preferences\" (216)",
        "  Menu: Help [About 32770]",
        "  - static \"Measurements are in:\"",
        "  288 radio \"m\": checked",
        "  290 edit \"Area precision is to\": \"2\" (digits only)",
        "  1 button \"OK\" (default)",
        "Dialog action: menu 32770",
        "Dialog \"About\" (221)",
        "Dialog \"About\" closed.",
        "You can only type a number here.",
        "Control 4711 does not exist.",
        "  289 radio \"ft\": checked",
        "  290 edit \"Area precision is to\": \"\" (digits only)",
        "  291 edit \"Size\": \"12.5\"",
        "Message box \"cadhost\" (OK):",
        "Please enter an integer.",
        "Dialog \"Preferences\" closed.",
    };
    const std::vector<std::string> shown = linesOf(t.out.str());
    auto at = shown.begin();
    for (const std::string& line : expected) {
        at = std::find(at, shown.end(), line);
        ASSERT_NE(at, shown.end()) << "missing or out of order: " << line << "\n" << t.out.str();
    }
    EXPECT_EQ(shown.size(), 41u) << t.out.str();
    EXPECT_EQ(1, t.driver.errorCount());  // the unknown control
    EXPECT_FALSE(t.driver.inputExhausted());
}

TEST(TerminalDriver, ScriptedAndTerminalRunsOfOneScriptAgree) {
    // A line "!ok" answers a message box: the terminal reads it from the same input, the
    // scripted driver takes it from its queue of buttons.
    const std::vector<const char*> scripts[] = {
        {"set 290 7", "set 330 notepad.exe", "enter"},
        {"check 289", "set 291 3", "cancel"},
        {"set 290 12", "enter", "!ok", "set 290 9", "click 1"},
        {"menu 32770", "enter", "close"},
        {"set 291 1e3"},
    };
    for (const auto& script : scripts) {
        std::string text;
        qv::ui::ScriptedDriver scripted;
        for (const char* line : script) {
            if (line[0] == '!') {
                scripted.queueButton(IDOK);
                text += std::string(line + 1) + "\n";
            } else {
                scripted.queueAction(CString(line));
                text += std::string(line) + "\n";
            }
        }
        Terminal t(text);
        Outcome viaTerminal{}, viaScript{};
        {
            qv::ui::DriverScope scope(t.driver);
            viaTerminal = runPrefs();
        }
        {
            qv::ui::DriverScope scope(scripted);
            viaScript = runPrefs();
        }
        EXPECT_EQ(viaScript, viaTerminal) << text;
        // Both drivers were shown the same dialogs.
        std::size_t headers = 0;
        for (const std::string& l : linesOf(t.out.str())) {
            headers += l.rfind("Dialog \"", 0) == 0 && l.back() == ')' ? 1 : 0;
        }
        EXPECT_EQ(scripted.dialogsShown().size(), headers) << text;
    }
}

TEST(TerminalDriver, ModelessDialogsTakeOnlyTheLinesMeantForThem) {
    Terminal t(
        "set 311 Office 1\n"
        "click 3\n"
        "list\r\n"  // a script with CRLF line ends
        "close\n");
    qv::ui::DriverScope scope(t.driver);
    auto* creator = new CCreatorDlg;  // shows itself
    while (qv::win::serviceModeless()) {
    }
    EXPECT_EQ(std::vector<CString>{L"Office 1"}, creator->names);
    EXPECT_EQ(std::optional<std::string>("list"), t.source.readLine());  // the host's command
    EXPECT_TRUE(qv::win::serviceModeless());                             // close
    EXPECT_FALSE(::IsWindow(creator->m_hWnd));
    delete creator;
    EXPECT_EQ(std::vector<std::string>(
                  {"Dialog \"Creator\" (217)", "  311 edit \"Next Space Name\": \"\"",
                   "  3 button \"Start\"", "  2 button \"Close\"", "set 311 Office 1", "click 3",
                   "close", "Dialog \"Creator\" closed."}),
              linesOf(t.out.str()));
    EXPECT_EQ(0, t.driver.errorCount());
}

TEST(TerminalDriver, MessageBoxesTakeAButtonName) {
    const struct {
        UINT type;
        const char* input;
        int button;
        int errors;
    } cases[] = {
        {MB_YESNO, "no\n", IDNO, 0},
        {MB_YESNO, "YES\n", IDYES, 0},
        {MB_YESNO, "\n", IDYES, 0},
        {MB_YESNO | MB_DEFBUTTON2, "\n", IDNO, 0},
        {MB_YESNOCANCEL, "^C\n", IDCANCEL, 0},
        {MB_OK | MB_ICONERROR, "esc\n", IDOK, 0},
        {MB_YESNO, "cancel\nmaybe\nno\n", IDNO, 2},  // no Esc in a Yes/No box
        {MB_RETRYCANCEL, " retry \n", IDRETRY, 0},
        {MB_OKCANCEL, "", IDOK, 1},  // the input ended
    };
    for (const auto& c : cases) {
        Terminal t(c.input);
        EXPECT_EQ(c.button, t.driver.messageBox(nullptr, L"Text", L"Title", c.type)) << c.input;
        EXPECT_EQ(c.errors, t.driver.errorCount()) << c.input;
    }
    Terminal t("ok\n");
    t.driver.messageBox(nullptr, L"Room Name already exists.", L"Duplicate Space Name",
                        MB_OKCANCEL);
    EXPECT_EQ(std::string("Message box \"Duplicate Space Name\" (OK, Cancel):\n"
                          "Room Name already exists.\n"
                          "Button: ok\n"),
              t.out.str());
}

TEST(TerminalDriver, PickersTakeAPathOrNothing) {
    Terminal t("c:\\reports\\a.xml\n\n");
    qv::ui::FileDialogRequest request;
    request.filter = L"XML Graphic Reports (*.xml)|*.xml||";
    std::wstring path;
    EXPECT_TRUE(t.driver.fileDialog(request, path));
    EXPECT_EQ(CString(L"c:\\reports\\a.xml"), path);
    EXPECT_TRUE(t.driver.browseForFolder(L"Choose").empty());
    EXPECT_EQ(linesOf("File dialog \"Open\" (XML Graphic Reports (*.xml)|*.xml||)\n"
                      "File name: c:\\reports\\a.xml\n"
                      "Folder picker \"Choose\"\n"
                      "Folder: \n"),
              linesOf(t.out.str()));
}

TEST(TerminalDriver, EscCancelsAPickerAsItCancelsEveryPrompt) {
    const struct {
        const char* input;
        const wchar_t* path;  // empty: cancelled
    } cases[] = {
        {"\x1b\n", L""},          // the line editor's Esc
        {"  \x1b  \n", L""},
        {"^C\n", L""},
        {"cancel\n", L"cancel"},  // a name, as "esc" is: only a message box takes them as Esc
        {" esc.pdf \n", L"esc.pdf"},
    };
    for (const auto& c : cases) {
        Terminal t(std::string(c.input) + c.input);
        std::wstring path;
        EXPECT_EQ(*c.path != 0, t.driver.fileDialog(qv::ui::FileDialogRequest(), path) != FALSE)
            << c.input;
        EXPECT_EQ(std::wstring(c.path), path) << c.input;
        EXPECT_EQ(std::wstring(c.path), t.driver.browseForFolder(L"Choose")) << c.input;
        EXPECT_EQ(*c.path == 0, t.out.str().find("*Cancel*") != std::string::npos) << c.input;
        EXPECT_EQ(0, t.driver.errorCount()) << c.input;
    }
}

}  // namespace
