// The publish engine: plots layouts to files, page by page, through the stages a plot goes
// through (plot, document, page, graphics). Made by AcPlPlotFactory::createPublishEngine; one
// engine at a time, freed by its destroy().
//
// The file is written when the page's graphics are generated (beginGenerateGraphics), in the
// format of the validated settings' device: "DWG To PDF.pc3" a PDF, "PublishToWeb PNG.pc3" and
// "PublishToWeb JPG.pc3" images of the raster medium's pixels, "DWF6 ePlot.pc3" a DWF 6 ePlot
// package of one page (DwfCanvas.h); any other device gives eNotImplementedYet. A failed plot
// prints why on the command line, leaves no file behind and gives its status from that stage on
// (lastError tells why).
//
// Stages out of order give eInvalidInput and change nothing; so do a plot info that was not
// validated, and plotting to a file without a file name. Only plots to a file are made.
#pragma once

#include <string>

#include "PlotInfo.h"
#include "PlotProgress.h"

class AcPlPlotEngine {
  public:
    Acad::ErrorStatus beginPlot(AcPlPlotProgressDialog* dialog, void* params = nullptr);
    Acad::ErrorStatus endPlot(void* params = nullptr);
    Acad::ErrorStatus beginDocument(AcPlPlotInfo& info, const ACHAR* documentName,
                                    void* params = nullptr, long copies = 1,
                                    bool plotToFile = false, const ACHAR* fileName = nullptr);
    Acad::ErrorStatus endDocument(void* params = nullptr);
    Acad::ErrorStatus beginPage(AcPlPlotPageInfo& page, AcPlPlotInfo& info, bool lastPage,
                                void* params = nullptr);
    Acad::ErrorStatus endPage(void* params = nullptr);
    Acad::ErrorStatus beginGenerateGraphics(void* params = nullptr);
    Acad::ErrorStatus endGenerateGraphics(void* params = nullptr);

    // Frees the engine (whatever stage it is in).
    void destroy();

    // Why the plot failed, or empty.
    const std::wstring& lastError() const { return m_error; }
    // The files this engine wrote (Windows paths), in order.
    const std::vector<std::wstring>& writtenFiles() const { return m_written; }

  private:
    friend class AcPlPlotFactory;
    AcPlPlotEngine() = default;
    ~AcPlPlotEngine();

    enum class Stage { Idle, Plot, Document, Page, Graphics };
    Acad::ErrorStatus fail(Acad::ErrorStatus status, const std::wstring& why);

    Stage m_stage = Stage::Idle;
    AcPlPlotProgressDialog* m_dialog = nullptr;
    AcPlPlotInfo m_info;
    std::wstring m_documentName;
    std::wstring m_fileName;
    bool m_lastPage = false;
    Acad::ErrorStatus m_status = Acad::eOk;
    std::wstring m_error;
    std::vector<std::wstring> m_written;
};

class AcPlPlotFactory {
  public:
    enum ProcessPlotState { kNotPlotting = 0, kForegroundPlotting = 1, kBackgroundPlotting = 2 };
    // A new engine; eInvalidInput (and null) while another engine exists.
    static Acad::ErrorStatus createPublishEngine(AcPlPlotEngine*& engine);
    // kForegroundPlotting while an engine exists.
    static ProcessPlotState processPlotState();
};
