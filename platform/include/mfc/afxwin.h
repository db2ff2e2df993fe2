// The small part of the MFC application frame that the dialog-based test programs use:
// one application object, a modal dialog from a template, child texts, window timers and
// message maps. Names and shapes follow MFC so that the programs read as they would on the
// terminal; only what the programs route is supported.
#pragma once

#include <windows.h>

class CCmdTarget;
class CWnd;

// ---- Message maps -------------------------------------------------------------------------

using AFX_PMSG = void (CCmdTarget::*)();
using AFX_PMSG_TIMER = void (CCmdTarget::*)(UINT_PTR);

enum class AfxSig { End, Void, Timer };

struct AFX_MSGMAP_ENTRY {
    UINT message; // window message
    UINT code;    // notification code of WM_COMMAND
    UINT id;      // control id of WM_COMMAND
    AfxSig sig;
    AFX_PMSG handler;
    AFX_PMSG_TIMER timerHandler;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*getBaseMap)();
    const AFX_MSGMAP_ENTRY* entries;
};

#define afx_msg

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, AfxSig::End, nullptr, nullptr }                                                     \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries};                     \
    return &map;                                                                                   \
    }

#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND,                                                                                   \
     0,                                                                                            \
     static_cast<UINT>(id),                                                                        \
     AfxSig::Void,                                                                                 \
     static_cast<AFX_PMSG>(&ThisClass::memberFxn),                                                 \
     nullptr},

#define ON_BN_CLICKED(id, memberFxn)                                                               \
    {WM_COMMAND,                                                                                   \
     BN_CLICKED,                                                                                   \
     static_cast<UINT>(id),                                                                        \
     AfxSig::Void,                                                                                 \
     static_cast<AFX_PMSG>(&ThisClass::memberFxn),                                                 \
     nullptr},

#define ON_WM_TIMER()                                                                              \
    {WM_TIMER, 0, 0, AfxSig::Timer, nullptr, static_cast<AFX_PMSG_TIMER>(&ThisClass::OnTimer)},

// ---- Classes ------------------------------------------------------------------------------

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // Finds the handler for a message along the chain of maps; null when there is none.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;
};

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    void SetRegistryKey(LPCWSTR registryKey);
    HICON LoadIcon(UINT id) const;

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPCWSTR m_pszAppName = nullptr;
    LPCWSTR m_pszRegistryKey = nullptr;

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    void SetDlgItemText(int id, LPCWSTR text);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC timerProc);
    BOOL KillTimer(UINT_PTR id);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    HICON SetIcon(HICON icon, BOOL bigIcon);

protected:
    afx_msg void OnTimer(UINT_PTR id);
    // Hands the message being handled on to the window's default handling.
    LRESULT Default();

    // Routes one message through the message maps. Returns true when a handler took it and
    // did not ask for the default handling.
    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    bool wantsDefault_ = false;
};

class CDialog : public CWnd {
public:
    CDialog(UINT templateId, CWnd* parent = nullptr);

    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    void EndDialog(int result);

protected:
    afx_msg virtual void OnOK();
    afx_msg virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool TranslateDialogKey(const MSG& msg);

    UINT templateId_;
    CWnd* parent_;
    bool running_ = false;
    INT_PTR result_ = -1;
};
