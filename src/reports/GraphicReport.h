// CGraphicReport: how the space blocks of one drawing are presented — categories with their
// hatch settings, blocks and assets; the layers left on; link lines; the options of the pie
// chart; and the plot settings used when a report is run from the facility database. It reads
// and writes itself as an XML file (root "graphicReport", values as child elements) and applies
// itself to an open drawing.
//
// The file: integers in decimal, booleans "1"/"0" (read as 1 only for the texts "1" and "true"),
// doubles as the shortest text that reads back to the same value. Elements in any order; other
// names are ignored; a missing element leaves its field unchanged; a name given twice sets its
// field twice, the later standing. `outputPath`, `outputFilename`, `applyPlotSettings`,
// `xmlOutputTo` and the link lines never appear in the file; `saveCopyTo` is written but not
// read back. The file is user input: documents with a DTD or external entities are refused by
// the XML loader (the report stays as it was).
//
// Ownership: the report owns its category list, its layers-on list and its link lines; each
// setter deletes the list it held before (unless it is the same).
//
// Failures: serialize and applyToDrawing wrap a failure in a CEXUnhandled naming
// "CGraphicReport::" and the operation (source file "GraphicReport"); deSerialize leaves the
// report unchanged for a file that is missing, unreadable, malformed or of another root.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;
class CAcadDrawingState;
class CCategories;
class CLayers;
class CLinkLines;
class CServerPreferenceDocMon;
class CStoredProcedure;

class CGraphicReport {
  public:
    // Id 0, empty texts, plot type 0, apply plot settings 1, centred 1, area, scale and media
    // 0, total area 0.0, no lists, pie offset 0.0, and the three pie flags 1.
    CGraphicReport() = default;
    ~CGraphicReport();
    CGraphicReport(const CGraphicReport&) = delete;
    CGraphicReport& operator=(const CGraphicReport&) = delete;

    int getID() const { return m_iID; }
    void setID(int iID) { m_iID = iID; }
    CString getTitle() const { return m_sTitle; }
    void setTitle(CString sTitle) { m_sTitle = sTitle; }
    // Folders are cleaned (characters a path may not hold dropped, a trailing "\" ensured).
    CString getDrawingPath() const { return m_sDrawingPath; }
    void setDrawingPath(CString sPath);
    // File names are checked but stored as given.
    CString getDrawingFilename() const { return m_sDrawingFilename; }
    void setDrawingFilename(CString sFilename);
    CString getOutputPath() const { return m_sOutputPath; }
    void setOutputPath(CString sPath);
    CString getOutputFilename() const { return m_sOutputFilename; }
    void setOutputFilename(CString sFilename);
    int getPlotType() const { return m_iPlotType; }
    void setPlotType(int iPlotType) { m_iPlotType = iPlotType; }
    int getApplyPlotSettings() const { return m_iApplyPlotSettings; }
    void setApplyPlotSettings(int iApply) { m_iApplyPlotSettings = iApply; }
    int getPlotCentred() const { return m_bPlotCentred; }
    void setPlotCentred(int bCentred) { m_bPlotCentred = bCentred; }
    int getPlotAreaType() const { return m_iPlotAreaType; }
    void setPlotAreaType(int iAreaType) { m_iPlotAreaType = iAreaType; }
    int getPlotScaleType() const { return m_iPlotScaleType; }
    void setPlotScaleType(int iScaleType) { m_iPlotScaleType = iScaleType; }
    int getPlotMediaSize() const { return m_iPlotMediaSize; }
    void setPlotMediaSize(int iMediaSize) { m_iPlotMediaSize = iMediaSize; }
    CString getPlotLayout() const { return m_sPlotLayout; }
    void setPlotLayout(CString sLayout) { m_sPlotLayout = sLayout; }
    CString getSaveCopyTo() const { return m_sSaveCopyTo; }
    void setSaveCopyTo(CString sSaveCopyTo) { m_sSaveCopyTo = sSaveCopyTo; }
    CString getXMLOutputTo() const { return m_sXMLOutputTo; }
    void setXMLOutputTo(CString sPath);
    double getTotalChildAreas() const { return m_dblTotalChildAreas; }
    void setTotalChildAreas(double dblTotal) { m_dblTotalChildAreas = dblTotal; }
    CCategories* getCategories() const { return m_pCategories; }
    void setCategories(CCategories* pCategories);
    CLayers* getLayersOn() const { return m_pLayersOn; }
    void setLayersOn(CLayers* pLayers);
    CLinkLines* getLinkLines() const { return m_pLinkLines; }
    void setLinkLines(CLinkLines* pLinkLines);
    double getPieXYOffset() const { return m_dblPieXYOffset; }
    void setPieXYOffset(double dblOffset) { m_dblPieXYOffset = dblOffset; }
    int getPieIgnoreEmptySegments() const { return m_bPieIgnoreEmptySegments; }
    void setPieIgnoreEmptySegments(int bIgnore) { m_bPieIgnoreEmptySegments = bIgnore; }
    int getPieShowLabels() const { return m_bPieShowLabels; }
    void setPieShowLabels(int bShow) { m_bPieShowLabels = bShow; }
    int getPieShowLabelSegmentLines() const { return m_bPieShowLabelSegmentLines; }
    void setPieShowLabelSegmentLines(int bShow) { m_bPieShowLabelSegmentLines = bShow; }

    // Writes the report to a new file at the path. An existing file is replaced only when the
    // new one is whole; a folder, a pipe or a read-only file is refused (raises).
    void serialize(CString sPath);
    // Fills the report from the file at the path (see above).
    void deSerialize(CString sPath);
    // The same, telling whether the file held a report: FALSE, with the reason in sWhy and the
    // report unchanged, for a file that is missing, not a file, not well-formed XML (binary, cut
    // short), or whose root is not a "graphicReport" element with children. Commands refuse
    // such a file instead of applying an empty report.
    BOOL load(CString sPath, CString& sWhy);

    // Applies the report to the open drawing: layers, link lines, the categories' hatching and
    // formatting, then — on a full host with legend and pie markers — the legend table and the
    // pie chart, and finally the layer state.
    void applyToDrawing(CAcadDrawing* pDrawing);

    // ---- The batch run from the facility database (GraphicReportBatch.cpp) ----
    //
    // The status codes a run records for a report (the facility database's report statuses).
    enum BatchStatus {
        STATUS_STARTED = 2,             // the run began; stays when the drawing cannot be locked
        STATUS_PLOTTED = 3,             // plotted, and the copy and the XML written as asked
        STATUS_DRAWING_MISSING = 4,     // no file at drawingPath + drawingFilename
        STATUS_NO_OUTPUT_FOLDER = 10,   // outputPath is no existing folder
        STATUS_BAD_OUTPUT_FILENAME = 11,
        STATUS_COPY_NOT_SAVED = 12,     // the copy would overwrite the drawing, or failed
        STATUS_XML_NOT_WRITTEN = 13,    // the XML would overwrite the drawing, or failed
        STATUS_FAILED = 14,             // the run of the report raised (see prepareReports)
    };
    // The plot's own results (3 plotted, 8 no folder, 9 nothing written) are recorded as they are.

    // Sets the id and fills the report from "__gr_getGraphicReport", then its categories, the
    // layers to leave on and its link lines from their own procedures (run with the server's
    // database time-out, or iTimeout without a server preference). An empty output folder takes
    // the server's graphic-report folder. No row: the report keeps only its id. A database
    // failure raises a CEXStoredProcedure; anything else a CEXUnhandled naming the operation.
    void getGraphicReport(CStoredProcedure* pStoredProcedure,
                          const CServerPreferenceDocMon* pServerPreference, int iGraphicReportID,
                          int iTimeout);
    // Runs this report: claims it by recording 2 (a report that the database does not let this
    // run take, because another run has already started or finished it, is skipped: nothing is
    // opened, written or recorded), opens and locks its drawing (both given back on every path),
    // applies the report, plots the layout to outputPath + outputFilename (an empty plotLayout
    // plots the active layout and records its name), saves the copy and writes the XML as
    // saveCopyTo and xmlOutputTo say, and records the final status (recordEndStatus). A copy or an XML file that
    // would land on the drawing's own file (paths compared whole, normalised and ignoring letter
    // case, or the same file after links) is not written: 12 or 13, the drawing untouched. An
    // output file name with a folder part or ".." gives 11. Errors of the copy and of the XML
    // are written to the error logs and give 12 and 13; any other failure raises a CEXUnhandled
    // naming "CGraphicReport::prepareReport" (the recorded status stays 2).
    void prepareReport(CStoredProcedure* pStoredProcedure, int iTimeout);
    // Whether the last prepareReport claimed the report for this run (false before the first one,
    // and when another run had it).
    bool isClaimed() const { return m_bClaimed; }
    // Records the status for this report's id. The answer is the database's: false when it did
    // not take the status (2 is taken only while the report waits); a procedure that answers
    // nothing took it.
    bool setGraphicReportStatus(CStoredProcedure* pStoredProcedure, int iTimeout, int iStatus);
    // Records a status that ends this run of the report. The database takes it only while the
    // report is still running as this run claimed it; when it is not (an operator put the report
    // back while it ran), the command line says so and false is returned.
    bool recordEndStatus(CStoredProcedure* pStoredProcedure, int iTimeout, int iStatus);
    // Records the layout actually plotted for this report's id.
    void setGraphicReportLayout(CStoredProcedure* pStoredProcedure, int iTimeout, CString sLayout);

  private:
    // Writes the report's XML to the file at the path, made new.
    void serializeTo(const CString& sPath);
    // The steps of prepareReport after the plot: the status they leave.
    int saveCopy(CAcadDrawing& drawing, int iStatus);
    int writeXML(CAcadDrawing& drawing, int iStatus);

    // The legend table at the drawing's first legend marker and the pie chart at its first pie
    // marker (the pie in the legend marker's units when there is one); the layer the two
    // references are placed on is switched on in the state. A failure of either is printed and
    // the application goes on.
    void applyLegendAndPie(CAcadDrawing* pDrawing, CAcadDrawingState& state);

    int m_iID = 0;
    CString m_sTitle;
    CString m_sDrawingPath;
    CString m_sDrawingFilename;
    CString m_sOutputPath;
    CString m_sOutputFilename;
    int m_iPlotType = 0;
    int m_iApplyPlotSettings = 1;
    int m_bPlotCentred = 1;
    int m_iPlotAreaType = 0;
    int m_iPlotScaleType = 0;
    int m_iPlotMediaSize = 0;
    CString m_sPlotLayout;
    CString m_sSaveCopyTo;
    CString m_sXMLOutputTo;
    double m_dblTotalChildAreas = 0.0;
    CCategories* m_pCategories = nullptr;
    CLayers* m_pLayersOn = nullptr;
    CLinkLines* m_pLinkLines = nullptr;
    double m_dblPieXYOffset = 0.0;
    int m_bPieIgnoreEmptySegments = 1;
    int m_bPieShowLabels = 1;
    int m_bPieShowLabelSegmentLines = 1;
    bool m_bClaimed = false;
};
