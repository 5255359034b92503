// CPreferences: the user's settings for the space-block commands and the small text file that
// keeps them (moduleFolder + "\orvan\prefs\prefs.cfg"). Every command loads the file afresh into
// a CPreferences of its own; the preferences dialog and the block creator save it.
//
// The file is text in the ANSI code page with CRLF line ends: four comment lines beginning
// with "//", then eight pairs of lines, a key line and a value line:
//
//     //	Orvan space management preferences - Orvan 2001
//     //
//     //	Configuration file for Document Monitor
//     //
//     units          0
//     precison       2        (so spelled in the file)
//     textSize       250.00
//     textScale      1.00
//     textRotation   0.00
//     csvOpener      NONE
//     zoomBorder     1000
//     inc            1
//
// (each key and each value on a line of its own).
#pragma once

#include "StdAfx.h"

class CPreferences {
  public:
    // units 0, precision 2, textSize 250.0, textScale 1.0, textRotation 0.0, inc 1,
    // csvOpener "NONE", zoomBorder 1000.0.
    CPreferences() = default;
    virtual ~CPreferences() = default;

    // The setters store what they are given; only loadPreferences keeps values in range.
    int getUnits() const { return m_units; }  // 0 metric, 1 imperial
    void setUnits(int units) { m_units = units; }
    int getPrecision() const { return m_precison; }  // decimal places of areas
    void setPrecision(int precision) { m_precison = precision; }
    double getTextSize() const { return m_textSize; }
    void setTextSize(double textSize) { m_textSize = textSize; }
    double getTextScale() const { return m_textScale; }
    void setTextScale(double textScale) { m_textScale = textScale; }
    double getTextRotation() const { return m_textRotation; }  // degrees
    void setTextRotation(double textRotation) { m_textRotation = textRotation; }
    int getInc() const { return m_inc; }  // step between new block numbers
    void setInc(int inc) { m_inc = inc; }
    CString getCsvOpener() const { return m_csvOpener; }
    void setCsvOpener(CString csvOpener) { m_csvOpener = csvOpener; }
    double getZoomBorder() const { return m_zoomBorder; }
    void setZoomBorder(double zoomBorder) { m_zoomBorder = zoomBorder; }

    // Reads the file into the fields. Lines beginning with "//" are skipped; a line that begins
    // with a key (compared over the key's own length, case-sensitively) takes the next line as
    // that key's value; any other line is ignored; the first empty line or the end of the file
    // ends the reading. Values are trimmed, then:
    //  - units: as an integer (a text that is not numeric gives 0);
    //  - precison: as an integer, kept within 0 to 9 (the decimal places the dialog offers);
    //  - textSize, textScale: 0 or below becomes 0.1;
    //  - textRotation: kept within -180.0 to 180.0;
    //  - zoomBorder: as it is;
    //  - inc: taken only from 1 to 100;
    //  - csvOpener: the trimmed text.
    // A number that is not finite ("nan", "inf", or a value beyond the range of a double) and a
    // key line at the end of the file without its value line leave their field unchanged, as do
    // keys that the file does not hold.
    // Returns FALSE, changing nothing, when the file cannot be opened. A failure while reading is
    // shown at once in the error message box (as the chain of "CPreferences::loadPreferences")
    // and gives FALSE; the fields read before it keep their new values. Otherwise TRUE.
    BOOL loadPreferences(CString fileName);

    // Writes the file anew from the fields, creating its folder when needed. The new file is
    // written beside the old one and replaces it only when it is complete, so a failed save
    // leaves the old file as it was. A file that cannot be created or cannot replace the old one
    // is reported in a message box titled "Error - Configuration Not Saved" ("Unable to Write
    // Configuration File - " and the reason); a folder that cannot be made is reported on the
    // command line; any other failure is shown in the error message box. Returns TRUE when the
    // file was written, FALSE otherwise.
    BOOL savePreferences(CString fileName);

  private:
    // One key of the file (Preferences.cpp).
    struct Entry;
    static const Entry s_entries[];

    // Stores one value line for the key of `entry`.
    void store(const Entry& entry, const CString& value);
    // Writes the file's lines to a new file at `fileName`.
    void writeFile(const CString& fileName) const;

    int m_units = 0;
    int m_precison = 2;
    double m_textSize = 250.0;
    double m_textScale = 1.0;
    double m_textRotation = 0.0;
    int m_inc = 1;
    CString m_csvOpener = L"NONE";
    double m_zoomBorder = 1000.0;
};
