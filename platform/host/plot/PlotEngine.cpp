#include "host/plot/PlotEngine.h"

#include <sys/stat.h>

#include "host/db/AcDbLayout.h"
#include "host/db/ObjectAccess.h"
#include "host/db/PlotDevices.h"
#include "host/db/SymbolTables.h"
#include "host/CommandLine.h"
#include "host/plot/PlotRenderer.h"
#include "win32/CodePage.h"
#include "win32/DrivePaths.h"

namespace {

AcPlPlotEngine* g_engine = nullptr;

}  // namespace

Acad::ErrorStatus AcPlPlotFactory::createPublishEngine(AcPlPlotEngine*& engine) {
    engine = nullptr;
    if (g_engine != nullptr) {
        return Acad::eInvalidInput;
    }
    g_engine = new AcPlPlotEngine();
    engine = g_engine;
    return Acad::eOk;
}

AcPlPlotFactory::ProcessPlotState AcPlPlotFactory::processPlotState() {
    return g_engine != nullptr ? kForegroundPlotting : kNotPlotting;
}

AcPlPlotEngine::~AcPlPlotEngine() {
    if (g_engine == this) {
        g_engine = nullptr;
    }
}

void AcPlPlotEngine::destroy() {
    delete this;
}

Acad::ErrorStatus AcPlPlotEngine::fail(Acad::ErrorStatus status, const std::wstring& why) {
    m_status = status;
    m_error = why;
    acutPrintf(L"Unable to plot to %s: %s.\n", m_fileName.c_str(), why.c_str());
    return status;
}

Acad::ErrorStatus AcPlPlotEngine::beginPlot(AcPlPlotProgressDialog* dialog, void*) {
    if (m_stage != Stage::Idle) {
        return Acad::eInvalidInput;
    }
    m_dialog = dialog;
    m_status = Acad::eOk;
    m_error.clear();
    m_stage = Stage::Plot;
    return Acad::eOk;
}

Acad::ErrorStatus AcPlPlotEngine::endPlot(void*) {
    if (m_stage != Stage::Plot) {
        return Acad::eInvalidInput;
    }
    m_stage = Stage::Idle;
    m_dialog = nullptr;
    return m_status;
}

Acad::ErrorStatus AcPlPlotEngine::beginDocument(AcPlPlotInfo& info, const ACHAR* documentName,
                                                void*, long copies, bool plotToFile,
                                                const ACHAR* fileName) {
    if (m_stage != Stage::Plot || !info.isValidated() || copies < 1 || !plotToFile ||
        fileName == nullptr || fileName[0] == 0) {
        return Acad::eInvalidInput;
    }
    m_info = info;
    m_documentName = documentName != nullptr ? documentName : L"";
    m_fileName = fileName;
    m_stage = Stage::Document;
    return Acad::eOk;
}

Acad::ErrorStatus AcPlPlotEngine::endDocument(void*) {
    if (m_stage != Stage::Document) {
        return Acad::eInvalidInput;
    }
    m_stage = Stage::Plot;
    return m_status;
}

Acad::ErrorStatus AcPlPlotEngine::beginPage(AcPlPlotPageInfo& page, AcPlPlotInfo& info,
                                            bool lastPage, void*) {
    if (m_stage != Stage::Document || !info.isValidated()) {
        return Acad::eInvalidInput;
    }
    m_info = info;
    m_lastPage = lastPage;
    long entities = 0;
    if (const auto* layout = qv::host::ObjectAccess::peekAs<AcDbLayout>(info.layout())) {
        if (const auto* block = qv::host::ObjectAccess::peekAs<AcDbBlockTableRecord>(
                layout->getBlockTableRecordId())) {
            for (const AcDbObjectId& id : block->qvEntities()) {
                entities += id.isErased() ? 0 : 1;
            }
        }
    }
    page.qvSetEntityCount(entities);
    m_stage = Stage::Page;
    return Acad::eOk;
}

Acad::ErrorStatus AcPlPlotEngine::endPage(void*) {
    if (m_stage != Stage::Page) {
        return Acad::eInvalidInput;
    }
    m_stage = Stage::Document;
    return m_status;
}

Acad::ErrorStatus AcPlPlotEngine::beginGenerateGraphics(void*) {
    using namespace qv::host;
    using qv::host::plot::OutputFormat;
    if (m_stage != Stage::Page) {
        return Acad::eInvalidInput;
    }
    m_stage = Stage::Graphics;
    const AcDbPlotSettings* settings = m_info.validatedSettings();
    const std::wstring device = findPlotDevice(settings->qvData().plotCfgName);
    OutputFormat format = OutputFormat::Pdf;
    if (device == L"PublishToWeb PNG.pc3") {
        format = OutputFormat::Png;
    } else if (device == L"PublishToWeb JPG.pc3") {
        format = OutputFormat::Jpg;
    } else if (device == L"DWF6 ePlot.pc3") {
        format = OutputFormat::Dwf;
    } else if (device != L"DWG To PDF.pc3") {
        return fail(Acad::eNotImplementedYet, L"the device " + device + L" cannot plot here");
    }
    const std::optional<std::string> posix = qv::win32::toPosixPath(m_fileName.c_str());
    if (!posix) {
        return fail(Acad::eInvalidInput, L"the file name is no valid path");
    }
    qv::host::plot::PlotJob job;
    job.layout = m_info.layout();
    job.settings = settings;
    job.format = format;
    job.path = *posix;
    const std::string error = qv::host::plot::renderPlot(job);
    if (!error.empty()) {
        return fail(Acad::eFileAccessErr, qv::utf8ToWide(error));
    }
    struct stat written {};
    if (::stat(posix->c_str(), &written) != 0 || written.st_size == 0) {
        return fail(Acad::eFileAccessErr, L"nothing was written");
    }
    m_written.push_back(m_fileName);
    if (m_dialog != nullptr) {
        m_dialog->setPlotMsgString(AcPlPlotProgressDialog::kStatus, L"Plotted");
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcPlPlotEngine::endGenerateGraphics(void*) {
    if (m_stage != Stage::Graphics) {
        return Acad::eInvalidInput;
    }
    m_stage = Stage::Page;
    return m_status;
}
