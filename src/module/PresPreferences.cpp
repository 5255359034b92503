#include "module/PresPreferences.h"

#include "module/ModuleGlobals.h"

namespace {

const double MIN_TEXT_SIZE = 0.1;
const double MAX_ROTATION = 180.0;
// Text sizes below this are not worth showing or keeping.
const double SMALLEST_TEXT_SIZE = 1.0;
const double SHOWN_TEXT_SIZE = 250.0;

}  // namespace

BEGIN_MESSAGE_MAP(CPresPreferences, COrvanDialog)
ON_WM_CLOSE()
END_MESSAGE_MAP()

CPresPreferences::CPresPreferences(CWnd* pParent) : COrvanDialog(IDD, pParent) {
    // The held preferences are built after the fields that take their defaults.
    m_textSize = m_preferences.getTextSize();
    m_textScale = m_preferences.getTextScale();
    m_textRotation = m_preferences.getTextRotation();
    m_units = m_preferences.getUnits();
    m_precision = m_preferences.getPrecision();
    m_csvOpener = m_preferences.getCsvOpener();
}

void CPresPreferences::setValues(int& units, int& precision, double& textSize, double& textScale,
                                 double& textRotation, CString csvOpener, double& zoomBorder) {
    if (textSize <= 0.0)
        textSize = MIN_TEXT_SIZE;
    if (textScale <= 0.0)
        textScale = MIN_TEXT_SIZE;
    if (textRotation < -MAX_ROTATION)
        textRotation = -MAX_ROTATION;
    if (textRotation > MAX_ROTATION)
        textRotation = MAX_ROTATION;
    m_units = units;
    m_precision = precision;
    m_textSize = textSize;
    m_textScale = textScale;
    m_textRotation = textRotation;
    m_csvOpener = csvOpener;
    m_zoomBorder = zoomBorder;
}

void CPresPreferences::getValues(int& units, int& precision, double& textSize, double& textScale,
                                 double& textRotation, CString& csvOpener,
                                 double& zoomBorder) const {
    units = m_units;
    precision = m_precision;
    textSize = m_textSize;
    textScale = m_textScale;
    textRotation = m_textRotation;
    csvOpener = m_csvOpener;
    zoomBorder = m_zoomBorder;
}

INT_PTR CPresPreferences::DoModal() {
    loadPreferences();
    return CDialog::DoModal();
}

CString CPresPreferences::preferencesFile() const {
    return m_rootPath + PREFERENCES_FILE;
}

void CPresPreferences::loadPreferences() {
    m_preferences.loadPreferences(preferencesFile());
    m_units = m_preferences.getUnits();
    m_textSize = m_preferences.getTextSize();
    if (m_textSize < SMALLEST_TEXT_SIZE)
        m_textSize = SHOWN_TEXT_SIZE;
    m_precision = m_preferences.getPrecision();
    m_textScale = m_preferences.getTextScale();
    m_textRotation = m_preferences.getTextRotation();
    m_csvOpener = m_preferences.getCsvOpener();
    m_zoomBorder = m_preferences.getZoomBorder();
}

BOOL CPresPreferences::savePreferences() {
    if (!UpdateData(TRUE))
        return FALSE;
    m_preferences.setUnits(m_units);
    m_preferences.setTextSize(m_textSize < SMALLEST_TEXT_SIZE ? SMALLEST_TEXT_SIZE : m_textSize);
    m_preferences.setPrecision(m_precision);
    m_preferences.setTextScale(m_textScale);
    m_preferences.setTextRotation(m_textRotation);
    m_preferences.setCsvOpener(m_csvOpener);
    m_preferences.setZoomBorder(m_zoomBorder);
    m_preferences.savePreferences(preferencesFile());
    return TRUE;
}

void CPresPreferences::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_TEXT_SIZE, m_textSize);
    DDX_Text(pDX, IDC_TEXT_SCALE, m_textScale);
    DDX_Text(pDX, IDC_TEXT_ROTATION, m_textRotation);
    DDX_Radio(pDX, IDC_UNITS_METRIC, m_units);
    DDX_Text(pDX, IDC_PRECISION, m_precision);
    DDV_MinMaxInt(pDX, m_precision, 0, 9);
    DDX_Text(pDX, IDC_CSV_OPENER, m_csvOpener);
    DDX_Text(pDX, IDC_ZOOM_BORDER, m_zoomBorder);
    DDV_MinMaxDouble(pDX, m_zoomBorder, 0.0, 10000.0);
}

void CPresPreferences::OnOK() {
    // The values were read and checked on the way; reading them again would only repeat a
    // refusal's message.
    if (savePreferences())
        EndDialog(IDOK);
}

void CPresPreferences::OnClose() {
    savePreferences();
    CDialog::OnClose();
}
