#include "host/plot/PlotProgress.h"

#include <algorithm>

#include "ui/UiDriver.h"
#include "win32/MessageBox.h"

namespace qv::host::plot {
namespace {
std::vector<std::wstring>& progressRecord() {
    static std::vector<std::wstring> record;
    return record;
}
}  // namespace

const std::vector<std::wstring>& recordedPlotProgress() {
    return progressRecord();
}
void clearRecordedPlotProgress() {
    progressRecord().clear();
}
}  // namespace qv::host::plot

AcPlPlotProgressDialog::AcPlPlotProgressDialog(HWND parent, bool preview, int sheets,
                                               bool showCancelSheetButton)
    : m_parent(parent),
      m_sheets(sheets),
      m_cancelSheetButton(showCancelSheetButton) {
    record(L"created: " + std::to_wstring(sheets) + L" sheet(s)" +
           (preview ? L", preview" : L"") +
           (showCancelSheetButton ? L", cancel sheet button" : L""));
}

AcPlPlotProgressDialog::~AcPlPlotProgressDialog() = default;

void AcPlPlotProgressDialog::record(const std::wstring& event) {
    qv::host::plot::progressRecord().push_back(event);
}

bool AcPlPlotProgressDialog::setPlotMsgString(PlotMSGIndex index, const ACHAR* text) {
    if (index < 0 || index >= kMsgCount) {
        return false;
    }
    m_texts[static_cast<size_t>(index)] = text != nullptr ? text : L"";
    record(L"text " + std::to_wstring(index) + L": " + m_texts[static_cast<size_t>(index)]);
    return true;
}

const ACHAR* AcPlPlotProgressDialog::getPlotMsgString(PlotMSGIndex index) const {
    if (index < 0 || index >= kMsgCount) {
        return L"";
    }
    return m_texts[static_cast<size_t>(index)].c_str();
}

bool AcPlPlotProgressDialog::onBeginPlot() {
    record(L"begin plot");
    return true;
}
bool AcPlPlotProgressDialog::onEndPlot() {
    record(L"end plot");
    return true;
}
bool AcPlPlotProgressDialog::onBeginSheet() {
    record(L"begin sheet");
    return true;
}
bool AcPlPlotProgressDialog::onEndSheet() {
    record(L"end sheet");
    return true;
}

void AcPlPlotProgressDialog::Bar::setRange(int newLow, int newHigh) {
    if (newLow < newHigh) {
        low = newLow;
        high = newHigh;
        pos = std::clamp(pos, low, high);
    }
}

void AcPlPlotProgressDialog::Bar::setPos(int position) {
    pos = std::clamp(position, low, high);
}

void AcPlPlotProgressDialog::setPlotProgressRange(int low, int high) {
    m_plot.setRange(low, high);
    record(L"plot range " + std::to_wstring(low) + L"-" + std::to_wstring(high));
}
void AcPlPlotProgressDialog::setPlotProgressPos(int position) {
    m_plot.setPos(position);
    record(L"plot pos " + std::to_wstring(m_plot.pos));
}
void AcPlPlotProgressDialog::setSheetProgressRange(int low, int high) {
    m_sheet.setRange(low, high);
    record(L"sheet range " + std::to_wstring(low) + L"-" + std::to_wstring(high));
}
void AcPlPlotProgressDialog::setSheetProgressPos(int position) {
    m_sheet.setPos(position);
    record(L"sheet pos " + std::to_wstring(m_sheet.pos));
}

void AcPlPlotProgressDialog::show() {
    qv::ui::DialogView view;
    view.caption = m_texts[kDialogTitle].c_str();
    view.modal = false;
    auto add = [&view](int id, const wchar_t* kind, const std::wstring& label,
                       const std::wstring& text) {
        qv::ui::ControlView control;
        control.id = id;
        control.kind = kind;
        control.label = label.c_str();
        control.text = text.c_str();
        view.controls.push_back(control);
    };
    add(1, L"static", m_texts[kSheetName], m_texts[kStatus]);
    add(2, L"static", m_texts[kSheetSetProgressCaption],
        std::to_wstring(m_plot.pos) + L" of " + std::to_wstring(m_plot.high));
    add(3, L"static", m_texts[kSheetProgressCaption],
        std::to_wstring(m_sheet.pos) + L" of " + std::to_wstring(m_sheet.high));
    if (m_cancelSheetButton) {
        add(IDCANCEL + 100, L"button", m_texts[kCancelSheetBtnMsg], m_texts[kCancelSheetBtnMsg]);
    }
    add(IDCANCEL, L"button", m_texts[kCancelJobBtnMsg], m_texts[kCancelJobBtnMsg]);
    qv::ui::driver().dialogShown(view);
}

bool AcPlPlotProgressDialog::setIsVisible(bool visible) {
    record(visible ? L"visible" : L"hidden");
    if (visible && !m_visible) {
        m_visible = true;
        show();
    } else if (!visible && m_visible) {
        m_visible = false;
        qv::ui::DialogView view;
        view.caption = m_texts[kDialogTitle].c_str();
        qv::ui::driver().dialogClosed(view);
    }
    return true;
}

void AcPlPlotProgressDialog::destroy() {
    if (m_visible) {
        setIsVisible(false);
    }
    record(L"destroyed");
    delete this;
}

AcPlPlotProgressDialog* acplCreatePlotProgressDialog(HWND parent, bool preview, int sheets,
                                                     AcPlPlotProgressDialogNotifyCallback*,
                                                     bool showCancelSheetButton) {
    return new AcPlPlotProgressDialog(parent, preview, sheets, showCancelSheetButton);
}
