// Test helpers for error chains: run a call and keep what it throws, owned by a smart pointer
// that deletes the whole chain.
#pragma once

#include <utility>
#include <vector>

#include "core/OrvanExceptions.h"
#include "support/Raised.h"

namespace qv::test {

using Chain = Thrown<CEXOrvan>;

// Runs `call` and returns the error object it throws, or null when it returns normally.
template <class F>
Chain caught(F&& call) {
    return raised<CEXOrvan>(std::forward<F>(call));
}

// The levels of a chain from the outermost, as (procSig, description) pairs.
struct Level {
    CString procSig;
    CString description;
    bool operator==(const Level&) const = default;
};
inline std::vector<Level> levels(const CEXOrvan* e) {
    std::vector<Level> out;
    for (; e; e = e->getInnerException())
        out.push_back({e->getProcSig(), e->getDescription()});
    return out;
}

inline void PrintTo(const Level& l, std::ostream* os) {
    *os << "{" << l.procSig << ", " << l.description << "}";
}

}  // namespace qv::test
