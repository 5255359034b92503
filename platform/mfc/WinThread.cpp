#include "mfc/WinThread.h"

#include <unistd.h>

#include <mutex>

#include "win32/Process.h"

namespace {

std::mutex g_appMutex;
CWinApp* g_app = nullptr;

CWinApp& defaultApp() {
    static CWinApp* app = new CWinApp(L"cadhost");  // lives as long as the process
    return *app;
}

}  // namespace

CWinThread::CWinThread() : m_nThreadID(GetCurrentThreadId()) {}

BOOL CWinThread::PumpMessage() {
    if (GetMessageW(&m_msgCur, nullptr, 0, 0) <= 0) {
        return FALSE;
    }
    if (!PreTranslateMessage(&m_msgCur)) {
        TranslateMessage(&m_msgCur);
        DispatchMessageW(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG*) {
    return FALSE;
}

CWinApp::CWinApp(LPCTSTR appName) : m_appName(appName ? appName : L"cadhost") {
    m_pszAppName = m_appName.GetString();
    m_pszExeName = m_pszAppName;
    m_nThreadID = static_cast<DWORD>(::getpid());
    std::lock_guard lock(g_appMutex);
    if (!g_app) {
        g_app = this;
    }
}

CWinApp::~CWinApp() {
    std::lock_guard lock(g_appMutex);
    if (g_app == this) {
        g_app = nullptr;
    }
}

CWinApp* AfxGetApp() {
    {
        std::lock_guard lock(g_appMutex);
        if (g_app) {
            return g_app;
        }
    }
    return &defaultApp();
}

CWinThread* AfxGetThread() {
    if (GetCurrentThreadId() == GetCurrentProcessId()) {
        return AfxGetApp();
    }
    thread_local CWinThread thread;
    return &thread;
}

LPCTSTR AfxGetAppName() {
    return AfxGetApp()->m_pszAppName;
}

CWnd* AfxGetMainWnd() {
    return AfxGetThread()->GetMainWnd();
}
