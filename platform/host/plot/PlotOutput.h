// The file a plot writes, put in place only when it is complete.
//
// A plot is drawn into a part file beside its target and put in place of the target when the
// device has written it without an error (win32/FileReplacement.h, the one way the platform
// replaces files: links followed and kept, a read-only file or one this user may not write
// refused, the checks made again at the moment the file is put in place). A failed plot removes
// only that part file: an old file of the target's name survives it untouched, and nothing the
// plot did not create is ever removed. The protected file (the drawing being plotted) is never
// written, whatever path leads to it: it is compared as a file, not by its name.
#pragma once

#include <string>

#include "../../win32/FileReplacement.h"

namespace qv::host::plot {

class PlotOutput {
  public:
    // Checks `target` (a POSIX path) and makes the part file. On refusal `error()` says why and
    // nothing was made. `protect` is a POSIX path that may not be written (empty: none).
    PlotOutput(const std::string& target, const std::string& protect);
    PlotOutput(const PlotOutput&) = delete;
    PlotOutput& operator=(const PlotOutput&) = delete;

    // Empty while the output can go on, else why it cannot.
    const std::string& error() const;
    // The part file the device writes (empty after a refusal).
    const std::string& path() const { return m_file.partPath(); }
    // Puts the written part file in place of the target. False, with error() set and the part
    // file removed, when it is empty or cannot be put in place.
    bool commit();

  private:
    qv::win32::FileReplacement m_file;
    std::string m_error;
};

}  // namespace qv::host::plot
