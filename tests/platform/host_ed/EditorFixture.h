// The editor's tests: a drawing with the editor reading its answers from a queue, every answer
// echoed, so the transcript reads as the command line would.
#pragma once

#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "arxHeaders.h"
#include "support/HostFixture.h"
#include "ui/TerminalDriver.h"

namespace qv::test {

// Lines given by the test.
class QueueSource : public qv::ui::LineSource {
  public:
    std::deque<std::string> lines;
    std::optional<std::string> peekLine() override {
        return lines.empty() ? std::nullopt : std::optional<std::string>(lines.front());
    }
    std::optional<std::string> readLine() override {
        std::optional<std::string> line = peekLine();
        if (line) {
            lines.pop_front();
        }
        return line;
    }
};

class EditorTest : public DrawingTest {
  protected:
    EditorTest() {
        editor().reset();
        editor().input().setSource(&input);
        editor().setEcho(true);
    }
    ~EditorTest() override {
        editor().input().setSource(nullptr);
        editor().setEcho(false);
        editor().reset();
    }

    static qv::host::ed::Editor& editor() { return qv::host::ed::editor(); }
    // Replaces the answers waiting.
    void answers(std::initializer_list<std::string> lines) { input.lines = lines; }
    std::wstring transcript() const { return qv::host::transcript().text(); }
    void clearTranscript() { qv::host::transcript().clear(); }

    // A closed polyline through the points, on a layer (made when missing); its id.
    AcDbObjectId addPolyline(std::initializer_list<AcGePoint2d> points, const ACHAR* layer = L"0");
    // A block definition of that name (made when missing) shown at a point; the reference's id.
    AcDbObjectId addReference(const ACHAR* block, const AcGePoint3d& at);
    // The handles of a selection set's members, in order, and the set freed.
    std::vector<std::wstring> takeSet(const ads_name set);
    // The handles of what acedSSGet selects in `mode` ("W" and "C" take two corners, the other
    // modes the points as a list), or "code N" when it answers N; the filter is freed.
    std::vector<std::wstring> select(const ACHAR* mode, const std::vector<AcGePoint2d>& points,
                                     resbuf* filter);

    QueueSource input;
};

// The handle text of an entity.
std::wstring handleOf(AcDbObjectId id);

}  // namespace qv::test
