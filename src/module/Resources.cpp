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

const ResourceScript moduleResources({preferencesDialog(), aboutDialog()}, {blockDialogMenu()});

}  // namespace
