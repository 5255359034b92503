// The reader of drawings, after the last record: block references that would make a block
// contain itself (a block inserting itself, A inserting B inserting A, an insert of a space in
// that space) are dropped, so that nothing that walks the blocks runs forever.
#include "host/dxf/DrawingReaderState.h"

namespace qv::dxf::reading {

void DrawingReader::breakBlockCycles() {
    const auto* blocks = ObjectAccess::peekAs<AcDbBlockTable>(m_db.blockTableId());
    if (blocks == nullptr) {
        return;
    }
    // A walk over the blocks through their references, without recursion (blocks may nest
    // deeply): a reference to a block that is still on the walk's path closes a cycle.
    enum class State : unsigned char { Unseen, OnPath, Done };
    std::unordered_map<const AcDbObject*, State> states;
    struct Step {
        const AcDbBlockTableRecord* block;
        size_t next;  // the index of the entity to look at next
    };
    std::vector<Step> path;
    for (const AcDbObjectId& root : blocks->qvRecords()) {
        const auto* start = ObjectAccess::peekAs<AcDbBlockTableRecord>(root);
        if (start == nullptr || states[start] != State::Unseen) {
            continue;
        }
        states[start] = State::OnPath;
        path.push_back({start, 0});
        while (!path.empty()) {
            Step& step = path.back();
            const std::vector<AcDbObjectId>& entities = step.block->qvEntities();
            if (step.next == entities.size()) {
                states[step.block] = State::Done;
                path.pop_back();
                continue;
            }
            auto* insert = AcDbBlockReference::cast(ObjectAccess::peek(entities[step.next++]));
            if (insert == nullptr || insert->isErased()) {
                continue;
            }
            const auto* target =
                ObjectAccess::peekAs<AcDbBlockTableRecord>(insert->blockTableRecord());
            if (target == nullptr) {
                continue;
            }
            State& state = states[target];
            if (state == State::OnPath) {
                ObjectAccess::setErased(*insert, true);
                m_report.add(Fix::BlockCycle, 0,
                             "a reference to the block " + qv::wideToUtf8(target->qvName()) +
                                 " in the block " + qv::wideToUtf8(step.block->qvName()) +
                                 " would make the block contain itself; it was left out");
            } else if (state == State::Unseen) {
                state = State::OnPath;
                path.push_back({target, 0});  // (step is not used after this)
            }
        }
    }
}

}  // namespace qv::dxf::reading
