// The plot progress dialog (acplCreatePlotProgressDialog): the window the host shows while it
// plots, with a title, captions, two progress bars (the job and the current sheet) and cancel
// buttons. It is shown through the screen driver (platform/ui) while visible, and everything
// the plotting code tells it is recorded (recordedPlotProgress) so that it can be checked.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "../AdeskTypes.h"
#include "../../win32/WinTypes.h"

class AcPlPlotProgressDialogNotifyCallback;

class AcPlPlotProgressDialog {
  public:
    enum PlotMSGIndex {
        kDialogTitle = 0,
        kSheetName = 1,
        kSheetNameToolTip = 2,
        kStatus = 3,
        kSheetProgressCaption = 4,
        kSheetSetProgressCaption = 5,
        kMsgCancelling = 6,
        kMsgCancellingCurrent = 7,
        kCancelSheetBtnMsg = 8,
        kCancelJobBtnMsg = 9,
        kMsgCount = 10,
    };

    AcPlPlotProgressDialog(HWND parent, bool preview, int sheets, bool showCancelSheetButton);
    ~AcPlPlotProgressDialog();
    AcPlPlotProgressDialog(const AcPlPlotProgressDialog&) = delete;
    AcPlPlotProgressDialog& operator=(const AcPlPlotProgressDialog&) = delete;

    // False for an index outside the messages.
    bool setPlotMsgString(PlotMSGIndex index, const ACHAR* text);
    // Empty for an index outside the messages.
    const ACHAR* getPlotMsgString(PlotMSGIndex index) const;

    bool onBeginPlot();
    bool onEndPlot();
    bool onBeginSheet();
    bool onEndSheet();

    // A range's low end must lie below its high end (else the range is kept); a position is
    // held within the range.
    void setPlotProgressRange(int low, int high);
    void setPlotProgressPos(int position);
    int plotProgressPos() const { return m_plot.pos; }
    void setSheetProgressRange(int low, int high);
    void setSheetProgressPos(int position);
    int sheetProgressPos() const { return m_sheet.pos; }

    bool setIsVisible(bool visible);
    bool isVisible() const { return m_visible; }
    // This host plots in one go: nothing cancels a plot while it runs.
    bool isPlotCancelled() const { return false; }
    bool isSheetCancelled() const { return false; }

    HWND parent() const { return m_parent; }
    int sheetCount() const { return m_sheets; }

    // Closes the window (when shown) and frees the dialog.
    void destroy();

  private:
    void record(const std::wstring& event);
    void show();

    HWND m_parent;
    int m_sheets;
    bool m_cancelSheetButton;
    std::array<std::wstring, kMsgCount> m_texts;
    // A progress bar: its range and the position held within it.
    struct Bar {
        int low = 0, high = 100, pos = 0;
        void setRange(int newLow, int newHigh);
        void setPos(int position);
    };
    Bar m_plot, m_sheet;
    bool m_visible = false;
};

// A new progress dialog for `sheets` sheets, owned by the caller until its destroy().
AcPlPlotProgressDialog* acplCreatePlotProgressDialog(
    HWND parent, bool preview = false, int sheets = 1,
    AcPlPlotProgressDialogNotifyCallback* callback = nullptr, bool showCancelSheetButton = true);

namespace qv::host::plot {
// What the progress dialogs of this process were told, one line per call, in order:
// "text 0: ORVAN ...", "plot range 0-100", "begin plot", "visible", "sheet pos 100", ...
const std::vector<std::wstring>& recordedPlotProgress();
void clearRecordedPlotProgress();
}  // namespace qv::host::plot
