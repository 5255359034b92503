// The dialog templates of the block editor, the space properties dialog and its pages. They are
// registered under this library beside the module's other templates (Resources.cpp, which also
// holds the menu the editor shares with the block creator).
#include "StdAfx.h"

#include "module/resource.h"

namespace {

using namespace qv::res;

const LANGID ENGLISH_UK = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);
const DWORD TOOL_WINDOW = WS_POPUP | WS_CAPTION | WS_SYSMENU;
const DWORD PAGE = WS_CHILD | DS_CONTROL;

DialogTemplate blockEditor() {
    return DialogTemplate(
               IDD_BLOCK_EDITOR, L"Orvan Block Editor", TOOL_WINDOW,
               {
                   Text(L"Drawing Name", IDC_EDITOR_DRAWING_NAME),
                   ComboBox(IDC_EDITOR_KIND, CBS_DROPDOWN | WS_VSCROLL,
                            {L"Rooms/Spaces", L"Gross Area"}),
                   ListBox(IDC_EDITOR_BLOCK_LIST, LBS_SORT | LBS_NOTIFY | WS_VSCROLL),
                   PushButton(L"Select Space", IDC_EDITOR_SELECT),
                   PushButton(L"Close", IDC_EDITOR_CLOSE),
                   Text(L"X blocks found", IDC_EDITOR_COUNT),
               })
        .withFont(L"Arial", 8)
        .withLanguage(ENGLISH_UK)
        .withMenu(IDR_BLOCK_MENU);
}

DialogTemplate spaceProperties() {
    return DialogTemplate(IDD_SPACE_PROPERTIES, L"RoomBlock", TOOL_WINDOW,
                          {
                              TabControl(L"Tab1", IDC_PROPERTIES_TABS),
                              DefPushButton(L"OK", IDOK),
                              PushButton(L"Apply", IDC_PROPERTIES_APPLY),
                              PushButton(L"Cancel", IDC_PROPERTIES_CANCEL),
                              PushButton(L"Reset", IDC_PROPERTIES_RESET).asHidden(),
                          })
        .withFont(L"Arial", 8)
        .withLanguage(ENGLISH_UK);
}

DialogTemplate dataPage() {
    const DWORD digits = ES_NUMBER | ES_AUTOHSCROLL;
    return DialogTemplate(IDD_TAB_DATA, CString(), PAGE,
                          {
                              GroupBox(L"Space Details"),
                              Text(L"Name"),
                              EditText(IDC_DATA_NAME, ES_AUTOHSCROLL),
                              Text(L"Area"),
                              EditText(IDC_DATA_AREA_TEXT, ES_AUTOHSCROLL),
                              Text(L"Aux"),
                              EditText(IDC_DATA_AUX_TEXT, ES_AUTOHSCROLL),
                              Text(L"Area"),
                              EditText(IDC_DATA_AREA, digits),
                              Text(L"unit\u00b2", IDC_DATA_AREA_UNIT),
                              PushButton(L"recalc", IDC_DATA_AREA_RECALC),
                              PushButton(L"^", IDC_DATA_AREA_COPY),
                              Text(L"Perimeter"),
                              EditText(IDC_DATA_PERIMETER, digits),
                              Text(L"unit", IDC_DATA_PERIMETER_UNIT),
                              PushButton(L"recalc", IDC_DATA_PERIMETER_RECALC),
                              PushButton(L"^", IDC_DATA_PERIMETER_COPY),
                              Text(L"Height").asHidden(),
                              EditText(IDC_DATA_HEIGHT, ES_AUTOHSCROLL).asHidden(),
                              Text(L"Volume").asHidden(),
                              EditText(IDC_DATA_VOLUME, ES_READONLY).asHidden(),
                              Text(L"Handle", IDC_DATA_HANDLE_LABEL),
                              Text(L"Static", IDC_DATA_HANDLE),
                              Text(L"Assets", IDC_DATA_ASSETS_LABEL),
                              Text(L"Static", IDC_DATA_ASSETS),
                              GroupBox(L"Additional Areas"),
                              PushButton(L"set", IDC_DATA_ADD_SET),
                              PushButton(L"delete", IDC_DATA_ADD_DELETE),
                              PushButton(L"highlight", IDC_DATA_ADD_HIGHLIGHT),
                              GroupBox(L"Subtracted Areas"),
                              PushButton(L"set", IDC_DATA_SUB_SET),
                              PushButton(L"delete", IDC_DATA_SUB_DELETE),
                              PushButton(L"highlight", IDC_DATA_SUB_HIGHLIGHT),
                          })
        .withFont(L"Arial", 8)
        .withLanguage(ENGLISH_UK);
}

DialogTemplate formatPage() {
    return DialogTemplate(IDD_TAB_FORMAT, CString(), PAGE,
                          {
                              GroupBox(L"Attribute Format"),
                              Text(L"Height", IDC_FORMAT_HEIGHT_LABEL),
                              EditText(IDC_FORMAT_HEIGHT, ES_AUTOHSCROLL),
                              Text(L"Width Factor", IDC_FORMAT_WIDTH_LABEL),
                              EditText(IDC_FORMAT_WIDTH_FACTOR, ES_AUTOHSCROLL),
                              Text(L"Rotation", IDC_FORMAT_ROTATION_LABEL),
                              EditText(IDC_FORMAT_ROTATION, ES_AUTOHSCROLL),
                              Text(L"(in degrees)"),
                              PushButton(L"Move Attributes", IDC_FORMAT_MOVE),
                          })
        .withFont(L"Arial", 8)
        .withLanguage(ENGLISH_UK);
}

DialogTemplate extendedDataPage() {
    return DialogTemplate(IDD_TAB_XDATA, CString(), PAGE,
                          {
                              GroupBox(L"Extended Data"),
                              Text(L"AREA_TYPE", IDC_XDATA_AREA_TYPE_LABEL),
                              EditText(IDC_XDATA_AREA_TYPE, ES_AUTOHSCROLL),
                              Text(L"COST_CENTRE", IDC_XDATA_COST_CENTRE_LABEL),
                              EditText(IDC_XDATA_COST_CENTRE, ES_AUTOHSCROLL),
                              Text(L"DATE", IDC_XDATA_DATE_LABEL),
                              EditText(IDC_XDATA_DATE, ES_AUTOHSCROLL),
                              Text(L"DATE_L_MOVE", IDC_XDATA_DATE_L_MOVE_LABEL),
                              EditText(IDC_XDATA_DATE_L_MOVE, ES_AUTOHSCROLL),
                              Text(L"DEPT_CHARGE", IDC_XDATA_DEPT_CHARGE_LABEL),
                              EditText(IDC_XDATA_DEPT_CHARGE, ES_AUTOHSCROLL),
                              Text(L"TAGTYPE", IDC_XDATA_TAGTYPE_LABEL),
                              EditText(IDC_XDATA_TAGTYPE, ES_AUTOHSCROLL),
                              Text(L"SPECIAL_REQ", IDC_XDATA_SPECIAL_REQ_LABEL),
                              EditText(IDC_XDATA_SPECIAL_REQ, ES_AUTOHSCROLL),
                              Text(L"TOT_STAFF", IDC_XDATA_TOT_STAFF_LABEL),
                              EditText(IDC_XDATA_TOT_STAFF, ES_AUTOHSCROLL),
                              Text(L"TOT_WKSTNS", IDC_XDATA_TOT_WKSTNS_LABEL),
                              EditText(IDC_XDATA_TOT_WKSTNS, ES_AUTOHSCROLL),
                          })
        .withFont(L"Arial", 8)
        .withLanguage(ENGLISH_UK);
}

const ResourceScript blockEditorResources({blockEditor(), spaceProperties(), dataPage(),
                                           formatPage(), extendedDataPage()});

}  // namespace
