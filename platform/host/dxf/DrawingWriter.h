// Writes the host's database as a DXF 2013 file (AC1027, UTF-8): every object the host models,
// and everything the file it was read from held that the host does not model, written back as
// it was read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "../db/AcDbDatabase.h"

namespace qv::dxf {

// Receives the text of a drawing piece by piece, as it is written (a large drawing is never in
// memory as a whole).
class DrawingSink {
  public:
    virtual ~DrawingSink() = default;
    // Appends text.
    virtual void write(std::string_view text) = 0;
    // Replaces text given before, at `offset` from the start, by text of the same length (the
    // handle seed of the header, known only at the end).
    virtual void overwrite(size_t offset, std::string_view text) = 0;
};

// Writes the drawing to `sink`. Objects of classes the writer does not know are left out and
// named in `leftOut` (one entry per class) when it is given. Throws std::invalid_argument for a
// value that DXF cannot hold (NaN); what the sink received then is no drawing.
void writeDrawing(const AcDbDatabase& database, DrawingSink& sink,
                  std::vector<std::string>* leftOut = nullptr);
// The text of the drawing, the same way.
std::string writeDrawing(const AcDbDatabase& database, std::vector<std::string>* leftOut = nullptr);

}  // namespace qv::dxf
