// The host's EXPORT command: writes the current layout, with its own plot settings, to a file
// whose format the file's extension chooses: ".pdf" a PDF page of the layout's paper, ".png" and
// ".jpg" (or ".jpeg") images of its raster size (a paper taken at 96 pixels per inch), ".dwf" a
// DWF 6 ePlot package of the layout's paper. PAGESETUP (PageSetupCommand.cpp) sets those plot
// settings.
//
// With FILEDIA 1 the file name comes from the file dialog, with FILEDIA 0 from the command line
// ("Enter file name: "). An existing file is replaced when the new one is complete (a failed
// export leaves it as it was); a read-only file, a pipe or the drawing's own file is refused
// (host/plot/PlotOutput.h). Other extensions are refused, and so is a plot whose sheet would stay
// blank ("Nothing to plot in the plot area ..."): nothing is written and the command says why. A
// refusal or a failed export fails the command (a script run then ends in failure); a cancelled
// file dialog or an empty name does not.
#include <cwchar>
#include <optional>

#include "host/app/Documents.h"
#include "host/app/SystemVariables.h"
#include "host/db/AcDbLayoutManager.h"
#include "host/ed/CommandLoop.h"
#include "host/ed/Commands.h"
#include "host/ed/Editor.h"
#include "host/ed/Prompts.h"
#include "host/plot/PlotRenderer.h"
#include "ui/UiDriver.h"
#include "win32/CodePage.h"
#include "win32/DrivePaths.h"

namespace qv::host::ed {
namespace {

bool fileDialogWanted() {
    resbuf value{};
    return acedGetVar(L"FILEDIA", &value) == RTNORM && value.resval.rint != 0;
}

std::optional<std::wstring> askExportPath() {
    if (fileDialogWanted()) {
        qv::ui::FileDialogRequest request;
        request.openMode = FALSE;
        request.title = L"Export Data";
        request.defaultExt = L"pdf";
        request.filter =
            L"PDF (*.pdf)|*.pdf|PNG (*.png)|*.png|JPEG (*.jpg)|*.jpg|DWF (*.dwf)|*.dwf||";
        std::wstring chosen;
        if (!qv::ui::driver().fileDialog(request, chosen) || chosen.empty()) {
            return std::nullopt;
        }
        return typedWindowsPath(chosen);
    }
    std::wstring typed;
    if (getText(true, L"Enter file name: ", typed) != RTNORM || typed.empty()) {
        return std::nullopt;
    }
    return typedWindowsPath(typed);
}

void exportCommand() {
    AcApDocument* doc = acDocManager->curDocument();
    if (doc == nullptr || doc->database() == nullptr) {
        print(L"There is no drawing.\n");
        reportCommandFailure();
        return;
    }
    const std::optional<std::wstring> path = askExportPath();
    if (!path) {
        return;
    }
    plot::OutputFormat format = plot::OutputFormat::Pdf;
    if (!plot::formatForExtension(*path, format)) {
        // The extension of the file's own name (a dot in a folder's name does not count).
        const size_t nameStart = path->find_last_of(L"\\/");
        const size_t dot = path->find_last_of(L'.');
        const bool hasExtension =
            dot != std::wstring::npos && (nameStart == std::wstring::npos || dot > nameStart);
        if (!hasExtension) {
            print(L"Cannot export to " + *path +
                  L": the file name has no extension; use .pdf, .png, .jpg or .dwf.\n");
        } else {
            print(L"Cannot export to \"" + path->substr(dot) +
                  L"\" files: use .pdf, .png, .jpg or .dwf.\n");
        }
        reportCommandFailure();
        return;
    }
    const AcDbLayout* layout = currentLayout(*doc->database());
    const std::optional<std::string> posix = qv::win32::toPosixPath(path->c_str());
    if (layout == nullptr || !posix) {
        print(L"Unable to export to " + *path + L": " +
              (layout == nullptr ? L"the drawing has no current layout" : L"no valid path") +
              L".\n");
        reportCommandFailure();
        return;
    }
    plot::PlotJob job;
    job.layout = layout->objectId();
    job.format = format;
    job.path = *posix;
    std::string warning;
    bool blank = false;
    const std::string error = plot::renderPlot(job, &warning, &blank);
    if (blank) {
        print(L"Nothing to plot in the plot area of " + std::wstring(layout->qvName()) +
              L": nothing of the drawing lies there on the paper; set the plot area and scale "
              L"with PAGESETUP. Nothing was exported.\n");
        reportCommandFailure();
        return;
    }
    if (!warning.empty()) {
        print(L"Warning: " + utf8ToWide(warning) + L".\n");
    }
    if (!error.empty()) {
        print(L"Unable to export to " + *path + L": " + utf8ToWide(error) + L".\n");
        reportCommandFailure();
        return;
    }
    print(L"Exported " + std::wstring(layout->qvName()) + L" to " + *path + L".\n");
}

const bool g_registered = [] {
    registerHostCommand(L"EXPORT", exportCommand);
    return true;
}();

}  // namespace
}  // namespace qv::host::ed
