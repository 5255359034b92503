// Message maps: the declarative table through which a window class routes messages, commands and
// control notifications to its handlers, written with the framework's macros:
//
//     class CMyDialog : public CDialog {
//         ...
//     protected:
//         afx_msg void OnStart();
//         afx_msg LRESULT OnKeepFocus(WPARAM, LPARAM);
//         DECLARE_MESSAGE_MAP()
//     };
//
//     BEGIN_MESSAGE_MAP(CMyDialog, CDialog)
//         ON_BN_CLICKED(3, &CMyDialog::OnStart)
//         ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CMyDialog::OnKeepFocus)
//         ON_WM_CLOSE()
//     END_MESSAGE_MAP()
//
// A class's entries are searched before those of its base class, in the order written; the first
// entry that matches handles the message. Handlers are given as pointers to members
// (&Class::Handler); a handler of the wrong signature does not compile.
#pragma once

#include <type_traits>

#include "../CObject.h"
#include "Geometry.h"

class CCmdTarget;

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_COMMAND, WM_NOTIFY or the message itself; 0 ends the table
    UINT nCode;     // the notification code of WM_COMMAND and WM_NOTIFY entries
    UINT nID;       // the first control or command id
    UINT nLastID;   // the last one
    LRESULT (*pfn)(CCmdTarget* target, WPARAM w, LPARAM l);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define afx_msg
#define CN_COMMAND 0

// The root of the classes that receive commands.
class CCmdTarget : public CObject {
  public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // Routes a command (code CN_COMMAND) or a control notification to the entry of the message
    // map that handles it; TRUE when one did.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);

    // The first entry of the map chain for a message (and, for WM_COMMAND and WM_NOTIFY, a
    // notification code and id), or null.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;

  protected:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP()                            \
  protected:                                             \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)               \
    const AFX_MSGMAP* theClass::GetMessageMap() const {      \
        return GetThisMessageMap();                          \
    }                                                        \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() { \
        using ThisClass [[maybe_unused]] = theClass;         \
        using TheBaseClass = baseClass;                      \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, 0, nullptr }                                                                       \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

// How handlers of each signature are called.
namespace qv::msgmap {

template <class M>
struct Member;
template <class C, class F>
struct Member<F C::*> {
    using Class = C;
    using Function = F;
};
template <auto F>
using ClassOf = typename Member<decltype(F)>::Class;
template <auto F, class Signature>
constexpr bool has = std::is_same_v<typename Member<decltype(F)>::Function, Signature>;

template <auto F>
ClassOf<F>* self(CCmdTarget* t) {
    return static_cast<ClassOf<F>*>(t);
}

// void OnX()
template <auto F>
LRESULT command(CCmdTarget* t, WPARAM, LPARAM) {
    static_assert(has<F, void()>, "this handler is declared afx_msg void OnX()");
    (self<F>(t)->*F)();
    return 0;
}
// LRESULT OnX(WPARAM, LPARAM)
template <auto F>
LRESULT message(CCmdTarget* t, WPARAM w, LPARAM l) {
    static_assert(has<F, LRESULT(WPARAM, LPARAM)>,
                  "this handler is declared afx_msg LRESULT OnX(WPARAM, LPARAM)");
    return (self<F>(t)->*F)(w, l);
}
// void OnX(NMHDR*, LRESULT*)
template <auto F>
LRESULT notify(CCmdTarget* t, WPARAM, LPARAM l) {
    static_assert(has<F, void(NMHDR*, LRESULT*)>,
                  "this handler is declared afx_msg void OnX(NMHDR*, LRESULT*)");
    LRESULT result = 0;
    (self<F>(t)->*F)(reinterpret_cast<NMHDR*>(l), &result);
    return result;
}
// void OnShowWindow(BOOL bShow, UINT nStatus)
template <auto F>
LRESULT showWindow(CCmdTarget* t, WPARAM w, LPARAM l) {
    static_assert(has<F, void(BOOL, UINT)>, "OnShowWindow is declared void (BOOL, UINT)");
    (self<F>(t)->*F)(static_cast<BOOL>(w), static_cast<UINT>(l));
    return 0;
}
// void OnXButtonDown(UINT nFlags, CPoint point)
template <auto F>
LRESULT mouse(CCmdTarget* t, WPARAM w, LPARAM l) {
    static_assert(has<F, void(UINT, CPoint)>, "a mouse handler is declared void (UINT, CPoint)");
    (self<F>(t)->*F)(static_cast<UINT>(w), CPoint(l));
    return 0;
}

}  // namespace qv::msgmap

#define ON_COMMAND(id, memberFxn)                                          \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id), \
     &qv::msgmap::command<memberFxn>},
#define ON_CONTROL(code, id, memberFxn)                                                 \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
     &qv::msgmap::command<memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_NOTIFY(code, id, memberFxn)                                                 \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
     &qv::msgmap::notify<memberFxn>},
#define ON_MESSAGE(msgId, memberFxn) \
    {static_cast<UINT>(msgId), 0, 0, 0, &qv::msgmap::message<memberFxn>},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, &qv::msgmap::command<&ThisClass::OnClose>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, &qv::msgmap::command<&ThisClass::OnDestroy>},
#define ON_WM_NCDESTROY() {WM_NCDESTROY, 0, 0, 0, &qv::msgmap::command<&ThisClass::OnNcDestroy>},
#define ON_WM_SHOWWINDOW() \
    {WM_SHOWWINDOW, 0, 0, 0, &qv::msgmap::showWindow<&ThisClass::OnShowWindow>},
#define ON_WM_LBUTTONDOWN() \
    {WM_LBUTTONDOWN, 0, 0, 0, &qv::msgmap::mouse<&ThisClass::OnLButtonDown>},
#define ON_WM_RBUTTONDOWN() \
    {WM_RBUTTONDOWN, 0, 0, 0, &qv::msgmap::mouse<&ThisClass::OnRButtonDown>},
