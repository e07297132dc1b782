// Message maps: the portable core of the classes that handle control notifications.
// No Win32 header here, so the lookup and dispatch run in native unit tests too.
#pragma once

// The runtime name that the panel's sheet and pages carry (nothing reads it at run time).
struct CRuntimeClass { const char* m_lpszClassName; };
#define DECLARE_DYNAMIC(theClass) public: static const CRuntimeClass classRecord;
#define IMPLEMENT_DYNAMIC(theClass, baseClass) const CRuntimeClass theClass::classRecord = {#theClass};

class CCmdTarget;

// A handler: a member function of a class derived from CCmdTarget, taking nothing.
typedef void (CCmdTarget::*CmdHandler)();

// One row of a message map: the control's notification code and id, and the handler.
struct MessageMapEntry {
    unsigned code;
    unsigned id;
    CmdHandler handler;  // null only in the row that ends the table
};

// A class's message map: its own rows, then its base class's map.
struct MessageMap {
    const MessageMap* base;
    const MessageMapEntry* entries;
};

// The first row for (code, id) in map or, failing that, in its base maps; null when none.
const MessageMapEntry* FindMessageEntry(const MessageMap* map, unsigned code, unsigned id);

// In the class body: the class has its own message map.
#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const MessageMapEntry messageEntries[];     \
                                                       \
public:                                                \
    static const MessageMap messageMap;                \
    const MessageMap* GetMessageMap() const override;

// In one source file: BEGIN_MESSAGE_MAP(CMyPage, CPropertyPage), ON_... rows, END_MESSAGE_MAP().
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                \
    const MessageMap* theClass::GetMessageMap() const { return &theClass::messageMap; }       \
    const MessageMap theClass::messageMap = {&baseClass::messageMap, theClass::messageEntries}; \
    const MessageMapEntry theClass::messageEntries[] = {
#define END_MESSAGE_MAP() {0, 0, nullptr}};

// A row: notification code, control id, &CMyClass::OnSomething.
#define ON_CONTROL(code, id, memberFn) {static_cast<unsigned>(code), static_cast<unsigned>(id), static_cast<CmdHandler>(memberFn)},

// Base of every class that carries a message map.
class CCmdTarget {
public:
    static const MessageMap messageMap;

    virtual ~CCmdTarget() = default;
    // The message map of the object's most derived class (DECLARE_MESSAGE_MAP overrides it).
    virtual const MessageMap* GetMessageMap() const;
    // Runs the handler mapped to (code, id), if any; called for each WM_COMMAND. True when one ran.
    bool OnCmdMsg(unsigned code, unsigned id);

protected:
    static const MessageMapEntry messageEntries[];
};
