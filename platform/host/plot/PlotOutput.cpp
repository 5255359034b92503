#include "host/plot/PlotOutput.h"

#include <sys/stat.h>

namespace qv::host::plot {

PlotOutput::PlotOutput(const std::string& target, const std::string& protect)
    : m_file(target, protect) {}

const std::string& PlotOutput::error() const {
    return m_error.empty() ? m_file.error() : m_error;
}

bool PlotOutput::commit() {
    struct stat written {};
    if (m_file.partPath().empty()) {
        return false;
    }
    if (::stat(m_file.partPath().c_str(), &written) != 0 || written.st_size == 0) {
        m_error = "nothing was written";
        m_file.abandon();
        return false;
    }
    return m_file.commit();
}

}  // namespace qv::host::plot
