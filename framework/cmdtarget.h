// Message maps: each class that handles messages has a static table of entries, chained to its
// base class's table. An entry names a message (and, for commands and notifications, a code and
// a control id range) and a small dispatch function, written by the ON_... macros, that unpacks
// the message's parameters and calls the handler member with its usual signature.
#pragma once

#include "framework/object.h"

class CCmdTarget;

// Unpacks the message and calls the handler. Returns FALSE when the message is to be treated as
// not handled (the _EX reflection forms).
typedef BOOL (*AFX_MSG_THUNK)(CCmdTarget* target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message; 0 ends the table
    UINT nCode;     // notification code for the command and notify families
    UINT nID;       // first control or command id
    UINT nLastID;   // last control or command id
    AFX_MSG_THUNK pfnThunk;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Messages reflected back to the control that caused them are looked up under this offset.
constexpr UINT WM_REFLECT_BASE = 0x2000;
// One map entry stands for all WM_CTLCOLOR* messages, as the handler gets the control type.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

class CCmdTarget : public CObject {
public:
    // Finds the entry for a message in this object's map chain. For WM_COMMAND and WM_NOTIFY (and
    // their reflected forms) the code and id must match as well.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;

    // Routes a command (menu item, accelerator, control notification) through the map.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, WPARAM wParam, LPARAM lParam, LRESULT* result);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                   \
    {                                                                                 \
        typedef theClass ThisClass;                                                   \
        typedef baseClass TheBaseClass;                                               \
        (void)sizeof(ThisClass*);                                                     \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                  \
        {0, 0, 0, 0, nullptr}};                                            \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                       \
    }

// The parameter list of every dispatch function written by the macros.
#define KELVO_THUNK [](CCmdTarget * t, [[maybe_unused]] UINT m, [[maybe_unused]] WPARAM w, \
                       [[maybe_unused]] LPARAM l, [[maybe_unused]] LRESULT * r) -> BOOL
#define KELVO_SELF (static_cast<ThisClass*>(t))
