// CWinThread and CWinApp: the framework's thread and application objects, as far as message
// pumping and the application's name go.
//
// AfxGetThread gives the application object on the process's main thread and a thread object
// of its own on every other thread. AfxGetApp gives the CWinApp that was constructed first and
// still lives, or else a default application named "cadhost".
#pragma once

#include "CObject.h"
#include "CString.h"
#include "../win32/WinUser.h"

class CWnd;

class CWinThread : public CObject {
  public:
    CWinThread();

    // Waits for a message of the thread's queue and dispatches it; FALSE when it is WM_QUIT.
    virtual BOOL PumpMessage();
    // Lets the thread take a message before it is dispatched; TRUE keeps it from dispatching.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

    CWnd* m_pMainWnd = nullptr;
    DWORD m_nThreadID;
    MSG m_msgCur{};
};

class CWinApp : public CWinThread {
  public:
    explicit CWinApp(LPCTSTR appName = nullptr);
    ~CWinApp() override;

    LPCTSTR m_pszAppName;
    LPCTSTR m_pszExeName;
    HINSTANCE m_hInstance = nullptr;

  private:
    CString m_appName;
};

CWinThread* AfxGetThread();
CWinApp* AfxGetApp();
LPCTSTR AfxGetAppName();
CWnd* AfxGetMainWnd();
