// CAcadDrawing: the module's handle on one host drawing.
//
// Command handlers wrap the host's current document (default constructor, then setDocument,
// setFileName, setIsOpen(1), setIsCurrentDocument(1)); the report commands open a drawing of
// their own with the folder-and-file constructor. The wrapper counts its own nested lock
// requests, posts entities into model space under its lock, saves the drawing through a
// temporary copy, and drives the host's automation object to zoom and regenerate.
//
// Ownership: the wrapper owns its texts and its list of temporary copies; the host owns the
// document. Whoever creates a wrapper deletes it. Deleting it never throws: the destructor runs
// close() and prints a failure of it on the command line.
//
// Failures: every operation follows the catch-and-wrap convention (source file "AcadDrawing");
// lock and postToDrawing report a refused lock by their result, not by an error object.
#pragma once

#include "StdAfx.h"

#include <arxHeaders.h>

#include "core/TempFiles.h"

class CAcadDrawing {
  public:
    // Empty, not open, not locked.
    CAcadDrawing();
    // Opens the drawing folder + fileName in the host (after the folder passed
    // CFileUtilities::checkPathSyntax, which ends it with a backslash); the wrapper is open and
    // not the current document. A failure to open reaches the creator as an error object.
    CAcadDrawing(CString folder, CString fileName);
    // Runs close(); a failure of it is printed on the host's command line and dropped.
    virtual ~CAcadDrawing();
    CAcadDrawing(const CAcadDrawing&) = delete;
    CAcadDrawing& operator=(const CAcadDrawing&) = delete;

    // Not locked, count 0, not open, empty folder and file name, not the current document, no
    // saving on close.
    void initialise();

    // Gives the wrapper's hold on its drawing back:
    //  - a locked wrapper releases the lock fully (however often it was taken) and leaves the
    //    document open;
    //  - otherwise a drawing the wrapper opened itself (not the current document, and not one
    //    that was open in the host already) is closed without saving; with saveOnClose a
    //    time-stamped temporary copy is saved first and copied over the drawing's file after
    //    the close;
    //  - in every case the temporary copies are deleted.
    // Only the wrapper's own document is ever closed. Safe to call more than once.
    void close();

    // Takes the document lock (write mode) or, when this wrapper holds it already, counts one
    // more level without asking the host. 0, or the host's status of the refused request.
    int lock();
    // force 0: one level less; the host is asked to unlock when the count reaches 0. force 1:
    // the host is asked at once. The host's status when it was asked, else 320 (an unbalanced
    // call only counts below 0; the next lock asks the host again).
    int unlock(int force);
    int isLocked() const { return m_locked; }

    // Appends the entity to model space under the lock and closes it; `id` receives its id.
    // 0 on success. The lock's status when the lock is refused: the entity is then still the
    // caller's, untouched. Any other failure raises (the block table refused: line 373, model
    // space: 382, the append: 391; a null entity or a wrapper without a document), and the
    // entity has been deleted unless it was in a database already: the caller must not use it
    // afterwards. The call's own lock level is released in every case.
    int postToDrawing(AcDbObjectId& id, AcDbEntity* entity);

    // Opens folder + fileName as the host's current document. A refusal raises with line 561;
    // a host status thrown on the way with line 566 and the drawing's path.
    void openDrawing();
    // Closes the wrapper's own document in the host without saving; 1. Nothing when there is
    // no document.
    int closeDrawing();

    // Saves the drawing as folder + fileName through a temporary copy: the copy is written to
    // the temporary folder (created when missing) under the file-name part of `fileName` with
    // ".dwg" swapped for ".vrk" (case-sensitively; any other name gets ".vrk" appended), then
    // copied over the target. A wrapper that is not open, a failed save ("unable to save drawing
    // to temp location ...") and a failed copy ("unable to copy drawing from temp location - "
    // and the system's text) raise. The temporary copy is deleted with the wrapper.
    void saveAs(CString folder, CString fileName);
    // Saves a copy of an open drawing to the temporary folder as the local time
    // ("%Y%m%d%Hh%M%S_") followed by the file name with ".dwg" swapped for ".vrk", and returns
    // its full path. The path is remembered (and its file deleted with the wrapper) also when
    // the wrapper is not open and nothing was written. A failed save raises with line 786.
    CString saveAsTemp();
    // The folder for temporary copies: the first server block's "acadTempDirectory" of the
    // module's server preferences when there is one and it is not empty, else "c:"; always
    // ending with a backslash.
    static CString getTempFolder();

    // The host's automation object zooms the current view to the drawing's extents, back to
    // the view before, or to the window between two corners. A refusal raises.
    void zoomExtents();
    void zoomPrevious();
    void zoomWindow(const AcGePoint3d& firstCorner, const AcGePoint3d& secondCorner);
    // Regenerates every viewport of the host's active document; 1.
    int regenDrawing();

    // ---- Plotting a layout to a file ----
    //
    // Results of plot and plotToFile.
    enum PlotStatus {
        PLOT_DONE = 3,         // a plot path ran and the file is there
        PLOT_NO_FOLDER = 8,    // the output folder does not exist; nothing was plotted
        PLOT_NOT_WRITTEN = 9,  // the plot path ran but left no file, or an empty one
    };

    // Plots a layout of the open drawing to folder + fileName. The folder passes
    // CFileUtilities::checkPathSyntax (ending it with a backslash); the file name gets the
    // device's extension (CAcadUtilities::checkPlotFileExtension: an empty name raises). An
    // empty *layoutName plots the active layout and receives its name. The other arguments are
    // the stored ids of the device, the apply-settings flag, centring, the standard scale type,
    // the plot-area type, the medium, and the rotation flag (0: turned 90 degrees); see
    // setLayoutPlotSettings. PLOT_NO_FOLDER when the folder does not exist, else plotToFile's
    // result. A wrapper that is not open raises.
    int plot(CString* layoutName, CString folder, CString fileName, int device, int applySettings,
             int centred, int scaleType, int areaType, int media, int rotationFlag);
    // Removes an existing file at fullPath, then plots by the host's own path: the export
    // command on BricsCAD (bricsCADPlotToFile), the publish engine elsewhere
    // (autoCADPlotToFile). PLOT_DONE when the path ran and left a file that is not empty,
    // else PLOT_NOT_WRITTEN. layoutName must not be null.
    int plotToFile(CString* layoutName, CString fullPath, int device, int applySettings,
                   int centred, int scaleType, int areaType, int media, int rotationFlag);
    // The publish path: makes the layout current (or reads the active layout's name into an
    // empty *layoutName), writes the plot settings into it (setLayoutPlotSettings), and plots a
    // copy of its settings through the host's publish engine with a progress dialog
    // ("ORVAN Graphic Report Engine - " and the device name). PLOT_DONE; the host's statuses
    // of the plot's steps are not examined.
    int autoCADPlotToFile(CString* layoutName, CString fullPath, int device, int applySettings,
                          int centred, int scaleType, int areaType, int media, int rotationFlag);
    // The export path: makes the layout current (or reads its name into an empty *layoutName),
    // turns on plot styles and printed, scaled line weights, and runs the host's "_EXPORT"
    // command with FILEDIA 0 on the path (an existing file deleted first); FILEDIA is 1
    // afterwards. The other settings are not read. PLOT_DONE; the command's status is not
    // examined.
    int bricsCADPlotToFile(CString* layoutName, CString fullPath, int device, int applySettings,
                           int centred, int scaleType, int areaType, int media,
                           int rotationFlag);
    // Writes plot settings into the named layout through the host's plot-settings validator:
    // the device (by its stored id); with applySettings the plot-area type, the standard scale
    // type, centring, the medium (by its stored id) and the rotation (90 degrees for
    // rotationFlag 0, else none), with plot styles and printed, scaled line weights turned on;
    // without it extents scaled to fit, leaving centring, medium and rotation as they were. No
    // layout of that name: nothing is written. The validator's statuses are not examined.
    void setLayoutPlotSettings(CString layoutName, int device, int applySettings, int areaType,
                               int scaleType, int centred, int media, int rotationFlag);

    // Splits a path at its last backslash into folder (with the backslash) and file name. A
    // path without a backslash sets the file name only; an empty path changes nothing.
    void setFullPath(CString path);

    // The system's message text for a Win32 error code, up to its first line end;
    // "Unknown system error <code>" when the system has none.
    CString getSystemErrorMessage(DWORD code);

    CString getFolder() const { return m_folder; }
    void setFolder(CString folder) { m_folder = folder; }
    CString getFileName() const { return m_fileName; }
    void setFileName(CString fileName) { m_fileName = fileName; }
    int isOpen() const { return m_isOpen; }
    void setIsOpen(int isOpen) { m_isOpen = isOpen; }
    AcApDocument* getDocument() const { return m_document; }
    void setDocument(AcApDocument* document) { m_document = document; }
    void setIsCurrentDocument(int isCurrentDocument) { m_isCurrentDocument = isCurrentDocument; }
    void setSaveOnClose(int saveOnClose) { m_saveOnClose = saveOnClose; }

  private:
    // The document's database; raises when the wrapper has no document.
    AcDbDatabase* database() const;

    CString m_folder;
    CString m_fileName;
    AcApDocument* m_document = nullptr;
    int m_isOpen = 0;
    int m_locked = 0;
    int m_lockCount = 0;
    CTempFiles m_tempFiles;
    int m_isCurrentDocument = 0;
    int m_saveOnClose = 0;
    // openDrawing found the drawing open in the host already: it is not the wrapper's to close.
    bool m_wasOpenAlready = false;
};
