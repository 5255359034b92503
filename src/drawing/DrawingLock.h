// CDrawingLock: one level of a drawing wrapper's counted document lock, held for a scope.
//
// The guard asks the wrapper for one level of its lock when it is made and gives that level back
// (unlock(0)) when it goes, on every path, exceptions included. A refused lock is not an error
// here: `held()` says whether the level was granted and `status()` gives the host's status of the
// refusal; a guard that holds nothing gives nothing back. `release()` gives the level back early.
// A null wrapper holds nothing; its status is -1. A failure to give the level back in the
// destructor is dropped (the wrapper reports it when release() is called directly).
//
// Ownership: the guard borrows the wrapper, which must outlive it.
#pragma once

#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"

class CDrawingLock {
  public:
    explicit CDrawingLock(CAcadDrawing* pDrawing) : m_pDrawing(pDrawing) {
        m_status = m_pDrawing != nullptr ? m_pDrawing->lock() : -1;
    }
    ~CDrawingLock() {
        try {
            release();
        } catch (CEXOrvan* e) {
            e->deleteChain();
        } catch (...) {
            // Nothing may leave a destructor.
        }
    }
    CDrawingLock(const CDrawingLock&) = delete;
    CDrawingLock& operator=(const CDrawingLock&) = delete;

    bool held() const { return m_status == 0; }
    // 0 while held (or after a granted level was given back); the refusal's status otherwise.
    int status() const { return m_status; }

    // Gives the level back now; later calls and the destructor do nothing.
    void release() {
        if (m_status == 0 && !m_released) {
            m_released = true;
            m_pDrawing->unlock(0);
        }
    }

  private:
    CAcadDrawing* m_pDrawing;
    int m_status = -1;
    bool m_released = false;
};
