// The module's dialog templates. They are registered under this library while it is loaded and
// found through the module's resource handle (a command makes it current) or through the
// extension-module chain that the library entry joins.
#include "StdAfx.h"

#include "module/resource.h"

namespace {

using namespace qv::res;

const LANGID ENGLISH_UK = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);
const DWORD MODAL_FRAME = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

DialogTemplate preferencesDialog() {
    return DialogTemplate(IDD_PREFERENCES, L"Quorvelle Suite - Preferences", MODAL_FRAME,
                          {
                              GroupBox(L"Blocks"),
                              GroupBox(L"Area Settings"),
                              Text(L"Measurements are in:"),
                              AutoRadioButton(L"m", IDC_UNITS_METRIC, WS_GROUP | WS_TABSTOP),
                              AutoRadioButton(L"ft", IDC_UNITS_IMPERIAL),
                              Text(L"Area precision is to", IDC_STATIC, WS_GROUP),
                              EditText(IDC_PRECISION, ES_NUMBER | ES_AUTOHSCROLL),
                              Text(L"decimal places."),
                              Text(L"NB precision only affects newly created areas"),
                              GroupBox(L"Default Text"),
                              Text(L"Size"),
                              EditText(IDC_TEXT_SIZE, ES_NUMBER | ES_AUTOHSCROLL),
                              Text(L"Scale"),
                              EditText(IDC_TEXT_SCALE, ES_AUTOHSCROLL),
                              Text(L"Rotation"),
                              EditText(IDC_TEXT_ROTATION, ES_AUTOHSCROLL),
                              GroupBox(L"Formatting"),
                              Text(L"Zoom  Border", IDC_ZOOM_BORDER_LABEL),
                              EditText(IDC_ZOOM_BORDER, ES_NUMBER | ES_AUTOHSCROLL),
                              GroupBox(L"Export Details to CSV file"),
                              Text(L"Open CSV file with"),
                              EditText(IDC_CSV_OPENER, ES_AUTOHSCROLL),
                              DefPushButton(L"OK", IDOK),
                          })
        .withFont(L"Arial", 8)
        .withLanguage(ENGLISH_UK);
}

DialogTemplate aboutDialog() {
    return DialogTemplate(IDD_ABOUT, L"About - Halcyra", MODAL_FRAME,
                          {
                              Text(L"ORVAN Halcyra", IDC_ABOUT_TITLE),
                              Text(L"AutoCAD Version"),
                              Text(CString(), IDC_ABOUT_HOST_VERSION),
                              Text(L"VRK Version"),
                              Text(CString(), IDC_ABOUT_VERSION),
                              Text(L"Compile Date"),
                              Text(CString(), IDC_ABOUT_COMPILE_DATE),
                              DefPushButton(L"OK", IDOK),
                          })
        .withFont(L"Arial", 8)
        .withLanguage(ENGLISH_UK);
}

// Shared by the block creator and the block editor.
MenuTemplate blockDialogMenu() {
    return MenuTemplate(IDR_BLOCK_MENU, {
                                            Popup(L"&File", {MenuItem(L"E&xit", ID_FILE_EXIT)}),
                                            Popup(L"&Tools",
                                                  {MenuItem(L"&Options", ID_TOOLS_OPTIONS)}),
                                            Popup(L"&Help", {MenuItem(L"&About", ID_HELP_ABOUT)}),
                                        });
}

// The block creator: a small tool window with a close box; Sub Area and Add Area stay hidden.
DialogTemplate blockCreatorDialog() {
    return DialogTemplate(IDD_BLOCK_CREATOR, L"Orvan Block Creator",
                          WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                          {
                              Text(L"Next Space Name"),
                              EditText(IDC_NEXT_SPACE_NAME, ES_AUTOHSCROLL),
                              PushButton(L"Start", IDC_START),
                              PushButton(L"Close", IDC_CLOSE),
                              Text(L"Text Size", IDC_TEXT_SIZE_LABEL),
                              EditText(IDC_TEXT_SIZE, ES_AUTOHSCROLL),
                              Text(L"Scale", IDC_TEXT_SCALE_LABEL),
                              EditText(IDC_TEXT_SCALE, ES_AUTOHSCROLL),
                              Text(L"Rotation", IDC_TEXT_ROTATION_LABEL),
                              EditText(IDC_TEXT_ROTATION, ES_AUTOHSCROLL),
                              PushButton(L"Sub Area", IDC_SUB_AREA).asHidden(),
                              PushButton(L"Add Area", IDC_ADD_AREA).asHidden(),
                          })
        .withFont(L"Arial", 8)
        .withLanguage(ENGLISH_UK)
        .withMenu(IDR_BLOCK_MENU);
}

// The hyperlinking dialog: five rows of address and description; no close box, no default
// button, hidden until the command shows it.
DialogTemplate blockHyperlinkDialog() {
    const DWORD row = ES_AUTOHSCROLL;
    return DialogTemplate(IDD_BLOCK_HYPERLINK, L"Orvan Block Hyperlinking",
                          WS_POPUP | WS_CAPTION | DS_MODALFRAME,
                          {
                              Text(L"Name"),
                              Text(L"Static", IDC_HYPER_BLOCK_NAME),
                              Text(L"Handle"),
                              Text(L"Static", IDC_HYPER_BLOCK_HANDLE),
                              Text(L"Hyperlink"),
                              Text(L"Description"),
                              PushButton(L"Select Block", IDC_HYPER_SELECT),
                              EditText(IDC_HYPER_LINK1, row),
                              EditText(IDC_HYPER_DESCRIPTION1, row),
                              EditText(IDC_HYPER_LINK2, row),
                              EditText(IDC_HYPER_DESCRIPTION2, row),
                              EditText(IDC_HYPER_LINK3, row),
                              EditText(IDC_HYPER_DESCRIPTION3, row),
                              EditText(IDC_HYPER_LINK4, row),
                              EditText(IDC_HYPER_DESCRIPTION4, row),
                              EditText(IDC_HYPER_LINK5, row),
                              EditText(IDC_HYPER_DESCRIPTION5, row),
                              AutoCheckBox(L"Apply changes to all similar blocks",
                                           IDC_HYPER_ALL_SIMILAR),
                              PushButton(L"OK", IDOK),
                              PushButton(L"Apply", IDC_HYPER_APPLY),
                              PushButton(L"Cancel", IDC_HYPER_CANCEL),
                          })
        .withFont(L"Arial", 8)
        .withLanguage(ENGLISH_UK);
}

const ResourceScript moduleResources({preferencesDialog(), aboutDialog(), blockCreatorDialog(),
                                      blockHyperlinkDialog()},
                                     {blockDialogMenu()});

}  // namespace
