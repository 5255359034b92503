// The file a plot writes, put in place only when it is complete.
//
// A plot is drawn into a temporary file beside its target (the target of a symbolic link, so
// that the link stays) and renamed over the target when the device has written it without an
// error. A failed plot removes only that temporary file: an old file of the target's name
// survives it untouched, and nothing the plot did not create is ever removed.
//
// The target is checked before anything is written: it must be a regular file (or a link to
// one) or not exist, be writable (a read-only file is refused, as Windows refuses it), and be
// another file than the one protected (the drawing being plotted: the same file after links,
// compared by device and inode, whatever its name is spelt like).
#pragma once

#include <string>

namespace qv::host::plot {

class PlotOutput {
  public:
    // Checks `target` (a POSIX path) and makes the temporary file. On refusal `error()` says
    // why and nothing was made. `protect` is a POSIX path that may not be written (empty: none).
    PlotOutput(const std::string& target, const std::string& protect);
    // Removes the temporary file unless it was committed.
    ~PlotOutput();
    PlotOutput(const PlotOutput&) = delete;
    PlotOutput& operator=(const PlotOutput&) = delete;

    // Empty while the output can go on, else why it cannot.
    const std::string& error() const { return m_error; }
    // The temporary file the device writes (empty after a refusal).
    const std::string& path() const { return m_temp; }
    // Puts the written temporary file in place of the target. False, with error() set and the
    // temporary file removed, when it is empty or cannot be put in place.
    bool commit();

  private:
    std::string m_target;
    std::string m_temp;
    unsigned m_mode = 0;
    std::string m_error;
};

// True when both POSIX paths name one existing file (links followed).
bool sameFile(const std::string& path, const std::string& other);

}  // namespace qv::host::plot
