// CPresBlockCreation: the block creator, a modeless window that turns closed polylines into room
// space blocks one after another.
//
// The obc command builds it on the heap without a parent, gives it the host window (setAcadWindow)
// and the program folder (setRootPath), creates it from its template and shows it. The dialog
// deletes itself when its window goes; no other object keeps a pointer to it.
//
// Start runs a creation session in the drawing of the document that was current when the dialog
// opened: with the drawing locked, it asks for a closed polyline, then for the point of the
// attribute texts, and makes a block "ROOM-"n (n one above the highest such number in the block
// table) whose NAME is the proposed next space name, whose AREA is the measured area with its
// unit and whose AUX is one blank; then it proposes the next name and asks for the next polyline,
// until the user cancels the pick. The drawing is unlocked and the buttons are enabled again at
// the end, on every path. A name that a room of the drawing has already is made only when the
// user answers Yes to the duplicate question, asked before anything in the drawing changes.
//
// While a session runs, a close request (Close, Esc, the close box, File > Exit) is ignored: the
// session works on the dialog's fields and drawing. Enter does nothing (the dialog has no OK).
//
// The text size, scale and rotation edits save what is typed at once: the text is cleaned to a
// number (CUtilities::makeNumeric, put back when that changed it), read, stored in the dialog's
// preferences and the preferences file is written. No validation box appears while typing.
//
// Next names: the highest trailing number among the NAMEs of the drawing's rooms (the later room
// wins a tie) is increased by the preferences' increment and written with at least as many digits
// as before ("Office 009" gives "Office 010"); a name without trailing digits gets "1" appended
// ("Kitchen" gives "Kitchen1"); a drawing without rooms proposes "Room 1". The trailing digits end
// at a ".", so "Lab 2.5" gives "Lab 2.6".
#pragma once

#include <memory>
#include <string>
#include <unordered_set>

#include "StdAfx.h"

#include <arxHeaders.h>

#include "core/Preferences.h"
#include "module/DialogSupport.h"
#include "module/resource.h"

class CAcadDrawing;

class CPresBlockCreation : public COrvanDialog {
  public:
    enum { IDD = IDD_BLOCK_CREATOR };

    explicit CPresBlockCreation(CWnd* pParent = nullptr);
    ~CPresBlockCreation() override;

    // The window activated before each prompt in the drawing (only its handle is kept).
    void setAcadWindow(CWnd* pWindow) { m_acadWindow = pWindow ? pWindow->GetSafeHwnd() : nullptr; }
    void setRootPath(CString rootPath) { m_rootPath = rootPath; }

    // Creates the window from template IDD (shown at once).
    BOOL Create(CWnd* pParent = nullptr) { return CDialog::Create(IDD, pParent); }

    // The name that follows `name`: its trailing digit run (see trailingDigits) plus `increment`,
    // left-padded with "0" to the run's width; "1" appended when there is no run.
    static CString incrementBlockName(CString name, int increment);
    // The trailing digit run of a name: the characters after the last one that is not a digit
    // (a "." ends the run). Empty when the name ends in no digit.
    static CString trailingDigits(CString name);

    // What the dialog proposes now: the next space name and the n of the next "ROOM-"n.
    CString getNextSpaceName() const { return m_nextSpaceName; }
    int getNextIdentifier() const { return m_nextIdentifier; }
    bool isInSession() const { return m_inSession; }

    // Operations no caller of the module uses (PresBlockCreationNames.cpp).
    //
    // The name builder: the next space name becomes the name prefix followed by the counter in
    // decimal, left-padded with "0" to the counter width; a counter with more digits than the
    // width widens it. Prefix empty, counter 1 and width 1 when the dialog opens.
    void buildNextSpaceName();
    CString getNamePrefix() const { return m_namePrefix; }
    // Ignores the empty string.
    void setNamePrefix(CString prefix);
    int getCounter() const { return m_counter; }
    void setCounter(int counter) { m_counter = counter; }
    int getCounterWidth() const { return m_counterWidth; }
    void setCounterWidth(int width) { m_counterWidth = width; }
    // Copy units, precision, text size, scale and rotation into the dialog's preferences, from
    // other preferences or as values; the rest of the preferences stays as it is.
    void setPreferences(const CPreferences& preferences);
    void setPreferences(int units, int precision, double textSize, double textScale,
                        double textRotation);
    const CPreferences& getPreferences() const { return m_preferences; }
    // TRUE when the text contains "AREA" and one of the area types: "GROSS AREA", "CORE AREA",
    // "NET AREA", "USABLE AREA", "BALANCE AREA", "LETTABLE AREA", "COMMON AREA", "CELULAR AREA",
    // "CELLULAR AREA", "OPEN PLAN AREA", "CIRCULATION AREA" (case-sensitive).
    static BOOL isAreaType(CString text);

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Enter: nothing (the dialog has no OK button).
    void OnOK() override;
    // Close, Esc, the close box and Exit: ignored during a session; otherwise the drawing wrapper
    // is deleted and the window destroyed (the object deletes itself).
    void OnCancel() override;
    void PostNcDestroy() override;

    afx_msg void OnCmdStart();
    afx_msg void OnCmdSubArea();
    afx_msg void OnBnClickedCmdAdd();
    afx_msg void OnExit();
    afx_msg void OnOptions();
    afx_msg void OnAbout();
    afx_msg void OnChangeTextSize();
    afx_msg void OnChangeTextScale();
    afx_msg void OnChangeTextRotation();
    afx_msg LRESULT OnAcadKeepFocus(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

  private:
    enum class TextDefault { Size, Scale, Rotation };
    enum class AreaList { Subtract, Add };

    CString preferencesFile() const;
    void savePreferencesFile();
    // Reads the name and the three numbers from the controls; numbers are read as the live save
    // reads them, so nothing is refused.
    void readControls();
    void enableButtons(BOOL enable);
    void enableTextEdits(BOOL enable);

    void runSession();
    void takePolyline(const AcDbObjectId& id);
    void createBlock(const AcDbObjectId& polylineId, int units, double textSize, double textScale,
                     double rotation, int precision);
    void calcNextBlockIdentifier();
    void calcNextBlockName();
    CString getHighestExistingBlockName();
    bool nameExists(const CString& name) const;
    // Takes a room the session has just made into the session's tally (below).
    void noteCreatedRoom(const CString& name, int identifier);
    void saveTextDefault(TextDefault which);
    void changeAreas(AreaList which);

    CString m_nextSpaceName;
    double m_textSize = 0.0;
    double m_textScale = 0.0;
    double m_textRotation = 0.0;
    CString m_rootPath;
    std::unique_ptr<CAcadDrawing> m_drawing;
    HWND m_acadWindow = nullptr;
    int m_nextIdentifier = 0;
    int m_counterWidth = 1;
    CString m_namePrefix;
    int m_counter = 1;
    // The rooms' names, for the duplicate test of each pick (exact, case-sensitive).
    std::unordered_set<std::wstring> m_existingNameSet;
    CPreferences m_preferences;
    bool m_inSession = false;
    bool m_cleaning = false;  // a cleaned text is being put back into its edit

    // During a session the drawing stays locked and only the session's own blocks change it, so
    // what the first proposal of the session found (the highest "ROOM-" number, the rooms' names
    // and the highest name) is carried forward with each room made instead of being looked up
    // again over the whole drawing: a proposal costs the same however many rooms there are, and
    // gives what a fresh look would. Forgotten at the session's start and end, and whenever a
    // creation ends otherwise than made or refused before any change.
    struct SessionTally {
        bool identifierKnown = false;
        LONG highestIdentifier = 0;
        bool namesKnown = false;  // m_existingNameSet holds the rooms' names
        CString highestName;
        __int64 highestNumber = -1;
    };
    SessionTally m_tally;
};
