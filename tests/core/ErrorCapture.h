// Test helpers for error chains: run a call and keep what it throws, owned by a smart pointer
// that deletes the whole chain.
#pragma once

#include <memory>
#include <vector>

#include "core/OrvanExceptions.h"

namespace qv::test {

struct ChainDeleter {
    void operator()(CEXOrvan* e) const {
        if (e)
            e->deleteChain();
    }
};
using Chain = std::unique_ptr<CEXOrvan, ChainDeleter>;

// Runs `call` and returns the error object it throws, or null when it returns normally.
template <class F>
Chain caught(F&& call) {
    try {
        call();
    } catch (CEXOrvan* e) {
        return Chain(e);
    }
    return nullptr;
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
