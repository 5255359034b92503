// CAcadDrawing: plotting a layout to a file, by the publish engine or by the export command.
#include <memory>

#include "core/FileUtilities.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/HostIdentity.h"

static const LPCTSTR SOURCE_FILE = _T("AcadDrawing.cpp");

namespace {

// The texts of the plot progress dialog.
const wchar_t DIALOG_TITLE[] = L"ORVAN Graphic Report Engine - ";
const wchar_t CANCEL_JOB[] = L"Cancel Job";
const wchar_t CANCEL_SHEET[] = L"Cancel Sheet";
const wchar_t JOB_PROGRESS[] = L"Job Progress";
const wchar_t SHEET_PROGRESS[] = L"Sheet Progress";

AcDbLayoutManager* layoutManager(LPCTSTR procSig) {
    AcDbLayoutManager* pLayoutManager = acdbHostApplicationServices()->layoutManager();
    if (pLayoutManager == NULL)
        throw new CEXCustom(L"pLayoutManager != NULL", ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                            procSig, 0, nullptr);
    return pLayoutManager;
}

AcDbPlotSettingsValidator* plotSettingsValidator(LPCTSTR procSig) {
    AcDbPlotSettingsValidator* pValidator = acdbHostApplicationServices()->plotSettingsValidator();
    if (pValidator == NULL)
        throw new CEXCustom(L"pPlotSettingsValidator != NULL", ORVAN_MODULE_DESCRIPTION,
                            SOURCE_FILE, procSig, 0, nullptr);
    return pValidator;
}

// Opens the block of the active layout for read and its layout for write; the block is closed
// again at once. Raises the host's status when either refuses.
void openActiveLayout(AcDbLayoutManager* pLayoutManager, AcDbObjectPointer<AcDbLayout>& pLayout) {
    AcDbObjectPointer<AcDbBlockTableRecord> pBTR(pLayoutManager->getActiveLayoutBTRId(),
                                                 AcDb::kForRead);
    if (pBTR.openStatus() != Acad::eOk)
        throw pBTR.openStatus();
    const AcDbObjectId layoutId = pBTR->getLayoutId();
    pBTR.close();
    if (pLayout.open(layoutId, AcDb::kForWrite) != Acad::eOk)
        throw pLayout.openStatus();
}

void setFileDialogs(short value) {
    resbuf rb;
    rb.restype = RTSHORT;
    rb.resval.rint = value;
    acedSetVar(L"FILEDIA", &rb);
}

}  // namespace

int CAcadDrawing::plot(CString* layoutName, CString folder, CString fileName, int device,
                       int applySettings, int centred, int scaleType, int areaType, int media,
                       int rotationFlag) {
    try {
        if (!m_isOpen) {
            throw new CEXCustom(L"unable to plot drawing - the drawing is not open",
                                ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, _T("CAcadDrawing::plot"),
                                0, nullptr);
        }
        CFileUtilities::checkPathSyntax(folder);
        CAcadUtilities::checkPlotFileExtension(fileName,
                                               CAcadUtilities::convertPlotDevice(device));
        if (!CFileUtilities::directoryExists(folder))
            return PLOT_NO_FOLDER;
        return plotToFile(layoutName, folder + fileName, device, applySettings, centred,
                          scaleType, areaType, media, rotationFlag);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::plot"));
    }
}

int CAcadDrawing::plotToFile(CString* layoutName, CString fullPath, int device, int applySettings,
                             int centred, int scaleType, int areaType, int media,
                             int rotationFlag) {
    try {
        if (layoutName == nullptr) {
            throw new CEXCustom(L"no layout name given", ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                _T("CAcadDrawing::plotToFile"), 0, nullptr);
        }
        // A file left from before must not pass for this plot's output.
        if (CFileUtilities::fileExists(fullPath))
            CFileUtilities::deleteFile(fullPath);
        int result = 0;
        if (hostIdentity.getType() == CHostIdentity::HOST_BRICSCAD)
            result = bricsCADPlotToFile(layoutName, fullPath, device, applySettings, centred,
                                        scaleType, areaType, media, rotationFlag);
        else
            result = autoCADPlotToFile(layoutName, fullPath, device, applySettings, centred,
                                       scaleType, areaType, media, rotationFlag);
        if (result == PLOT_DONE) {
            CFile file;
            ULONGLONG length = 0;
            if (file.Open(fullPath, CFile::modeRead | CFile::shareDenyNone)) {
                length = file.GetLength();
                file.Close();
            }
            if (length == 0)
                result = PLOT_NOT_WRITTEN;
        }
        return result;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::plotToFile"));
    }
}

int CAcadDrawing::autoCADPlotToFile(CString* layoutName, CString fullPath, int device,
                                    int applySettings, int centred, int scaleType, int areaType,
                                    int media, int rotationFlag) {
    try {
        AcAxDocLock docLock;
        AcDbLayoutManager* pLayoutManager = layoutManager(_T("CAcadDrawing::autoCADPlotToFile"));
        if (!layoutName->IsEmpty())
            pLayoutManager->setCurrentLayout(*layoutName);
        else
            *layoutName = pLayoutManager->findActiveLayout(true);
        setLayoutPlotSettings(*layoutName, device, applySettings, areaType, scaleType, centred,
                              media, rotationFlag);

        AcDbObjectPointer<AcDbLayout> pLayout;
        openActiveLayout(pLayoutManager, pLayout);
        const AcDbObjectId layoutId = pLayout->objectId();
        auto pSettings = std::make_unique<AcDbPlotSettings>(pLayout->modelType());
        pSettings->copyFrom(pLayout.object());
        plotSettingsValidator(_T("CAcadDrawing::autoCADPlotToFile"))->refreshLists(pLayout.object());
        pLayout.close();

        AcPlPlotEngine* pEngine = NULL;
        if (AcPlPlotFactory::createPublishEngine(pEngine) == Acad::eOk) {
            CWnd* pFrame = acedGetAcadFrame();
            AcPlPlotProgressDialog* pDialog = acplCreatePlotProgressDialog(
                pFrame != NULL ? pFrame->GetSafeHwnd() : NULL, false, 1, NULL, true);
            const CString title =
                DIALOG_TITLE +
                CAcadUtilities::convertPlotDeviceToName(CAcadUtilities::convertPlotDevice(device));
            pDialog->setPlotMsgString(AcPlPlotProgressDialog::kDialogTitle, title);
            pDialog->setPlotMsgString(AcPlPlotProgressDialog::kCancelJobBtnMsg, CANCEL_JOB);
            pDialog->setPlotMsgString(AcPlPlotProgressDialog::kCancelSheetBtnMsg, CANCEL_SHEET);
            pDialog->setPlotMsgString(AcPlPlotProgressDialog::kSheetSetProgressCaption,
                                      JOB_PROGRESS);
            pDialog->setPlotMsgString(AcPlPlotProgressDialog::kSheetProgressCaption,
                                      SHEET_PROGRESS);
            pDialog->setPlotProgressRange(0, 100);
            pDialog->onBeginPlot();
            pDialog->setIsVisible(true);

            pEngine->beginPlot(pDialog);
            AcPlPlotInfo plotInfo;
            plotInfo.setLayout(layoutId);
            plotInfo.setOverrideSettings(pSettings.get());
            AcPlPlotInfoValidator validator;
            validator.setMediaMatchingPolicy(AcPlPlotInfoValidator::kMatchEnabled);
            validator.validate(plotInfo);

            AcApDocument* pDocument = acDocManager->curDocument();
            pEngine->beginDocument(plotInfo, pDocument != NULL ? pDocument->fileName() : L"",
                                   NULL, 1, true, fullPath);
            pDialog->onBeginSheet();
            pDialog->setSheetProgressRange(0, 100);
            pDialog->setSheetProgressPos(0);
            AcPlPlotPageInfo pageInfo;
            pEngine->beginPage(pageInfo, plotInfo, true);
            pEngine->beginGenerateGraphics();
            pEngine->endGenerateGraphics();
            pEngine->endPage();
            pDialog->setSheetProgressPos(100);
            pDialog->onEndSheet();
            pDialog->setPlotProgressPos(100);
            pEngine->endDocument();
            pEngine->endPlot();
            pEngine->destroy();
            pDialog->destroy();
        }
        return PLOT_DONE;
    } catch (Acad::ErrorStatus status) {
        throw new CEXUnhandled(status, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                               _T("CAcadDrawing::autoCADPlotToFile"), 0, CString(), nullptr);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::autoCADPlotToFile"));
    }
}

int CAcadDrawing::bricsCADPlotToFile(CString* layoutName, CString fullPath, int device,
                                     int applySettings, int centred, int scaleType, int areaType,
                                     int media, int rotationFlag) {
    try {
        AcAxDocLock docLock;
        AcDbLayoutManager* pLayoutManager = layoutManager(_T("CAcadDrawing::bricsCADPlotToFile"));
        if (!layoutName->IsEmpty())
            pLayoutManager->setCurrentLayout(*layoutName);
        {
            AcDbObjectPointer<AcDbLayout> pLayout;
            openActiveLayout(pLayoutManager, pLayout);
            pLayout->setPlotPlotStyles(true);
            pLayout->setPrintLineweights(true);
            pLayout->setScaleLineweights(true);
            if (layoutName->IsEmpty()) {
                const ACHAR* pName = NULL;
                if (pLayout->getLayoutName(pName) == Acad::eOk && pName != NULL)
                    *layoutName = pName;
            }
            plotSettingsValidator(_T("CAcadDrawing::bricsCADPlotToFile"))
                ->refreshLists(pLayout.object());
        }
        acedCommand(0);
        acedCommand(0);
        setFileDialogs(0);
        acutPrintf(_T("%s\n\n"), (LPCTSTR)fullPath);
        CFileUtilities::deleteFile(fullPath);
        acedCommand(RTSTR, _T("_EXPORT"), RTSTR, (LPCTSTR)fullPath, RTNONE);
        setFileDialogs(1);
        acedCommand(0);
        acedCommand(0);
        return PLOT_DONE;
    } catch (Acad::ErrorStatus status) {
        setFileDialogs(1);
        throw new CEXUnhandled(status, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                               _T("CAcadDrawing::bricsCADPlotToFile"), 0, CString(), nullptr);
    } catch (...) {
        setFileDialogs(1);
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::bricsCADPlotToFile"));
    }
}

void CAcadDrawing::setLayoutPlotSettings(CString layoutName, int device, int applySettings,
                                         int areaType, int scaleType, int centred, int media,
                                         int rotationFlag) {
    try {
        AcDbLayoutManager* pLayoutManager =
            layoutManager(_T("CAcadDrawing::setLayoutPlotSettings"));
        AcDbLayout* pOpened = NULL;
        if (pLayoutManager->getLayoutNamed(layoutName, pOpened, AcDb::kForWrite) != Acad::eOk)
            return;
        AcDbObjectPointer<AcDbLayout> pLayout;
        pLayout.acquire(pOpened);
        AcDbPlotSettingsValidator* pValidator =
            plotSettingsValidator(_T("CAcadDrawing::setLayoutPlotSettings"));
        pValidator->refreshLists(pLayout.object());
        const CString deviceName =
            CAcadUtilities::convertPlotDeviceToName(CAcadUtilities::convertPlotDevice(device));
        pValidator->setPlotCfgName(pLayout.object(), deviceName, NULL);
        if (applySettings) {
            pLayout->setPlotPlotStyles(true);
            pLayout->setPrintLineweights(true);
            pLayout->setScaleLineweights(true);
            pValidator->setPlotType(pLayout.object(), static_cast<AcDbPlotSettings::PlotType>(
                                                          CAcadUtilities::convertPlotArea(areaType)));
            pValidator->setUseStandardScale(pLayout.object(), true);
            pValidator->setStdScaleType(pLayout.object(),
                                        static_cast<AcDbPlotSettings::StdScaleType>(
                                            CAcadUtilities::convertScale(scaleType)));
            pValidator->setPlotCentered(pLayout.object(), centred != 0);
            pValidator->setCanonicalMediaName(
                pLayout.object(),
                CAcadUtilities::convertMediaSize(CAcadUtilities::convertMediaSizeFromId(media)));
            pValidator->setPlotRotation(pLayout.object(), rotationFlag == 0
                                                              ? AcDbPlotSettings::k90degrees
                                                              : AcDbPlotSettings::k0degrees);
        } else {
            pValidator->setPlotType(pLayout.object(), AcDbPlotSettings::kExtents);
            pValidator->setUseStandardScale(pLayout.object(), true);
            pValidator->setStdScaleType(pLayout.object(), AcDbPlotSettings::kScaleToFit);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::setLayoutPlotSettings"));
    }
}
