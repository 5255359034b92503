// Test helper for errors thrown by pointer: run a call and keep what it throws, owned by a smart
// pointer that frees it the way its kind is freed (a chain of the module's errors with
// deleteChain(), a framework exception with Delete(), anything else with delete).
#pragma once

#include <memory>
#include <utility>

namespace qv::test {

struct RaisedDeleter {
    template <class E>
    void operator()(E* e) const {
        if constexpr (requires { e->deleteChain(); })
            e->deleteChain();
        else if constexpr (requires { e->Delete(); })
            e->Delete();
        else
            delete e;
    }
};

template <class E>
using Thrown = std::unique_ptr<E, RaisedDeleter>;

// Runs `call` and returns the E* it throws, or null when it returns normally. Anything else
// that it throws passes through.
template <class E, class F>
Thrown<E> raised(F&& call) {
    try {
        std::forward<F>(call)();
    } catch (E* e) {
        return Thrown<E>(e);
    }
    return nullptr;
}

}  // namespace qv::test
