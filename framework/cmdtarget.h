// Runtime class names and message maps: the portable core shared by every framework class.
// No Win32 header here, so the lookup and dispatch run in native unit tests too.
#pragma once

// ---- Runtime class information -------------------------------------------------------------

// A class's name and its base class's record; one static instance per class.
struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;

    // True when this class is pClass or derives from it; walks the base chain.
    bool IsDerivedFrom(const CRuntimeClass* pClass) const;
};

// The CRuntimeClass record of a class that uses DECLARE_DYNAMIC.
#define RUNTIME_CLASS(theClass) (&theClass::classRecord)

// In the class body: gives the class its own runtime class record.
#define DECLARE_DYNAMIC(theClass)                                      \
public:                                                                \
    static const CRuntimeClass classRecord;                            \
    const CRuntimeClass* GetRuntimeClass() const override;

// In one source file: the record, named by the class's own name, chained to its base.
#define IMPLEMENT_DYNAMIC(theClass, baseClass)                                              \
    const CRuntimeClass theClass::classRecord = {#theClass, RUNTIME_CLASS(baseClass)};      \
    const CRuntimeClass* theClass::GetRuntimeClass() const { return &theClass::classRecord; }

// ---- Message maps ------------------------------------------------------------------------------

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

// Base of every class that carries a runtime class name and a message map.
class CCmdTarget {
public:
    static const CRuntimeClass classRecord;
    static const MessageMap messageMap;

    virtual ~CCmdTarget() = default;
    // The runtime class record of the object's most derived class (DECLARE_DYNAMIC overrides it).
    virtual const CRuntimeClass* GetRuntimeClass() const;
    // The message map of the object's most derived class (DECLARE_MESSAGE_MAP overrides it).
    virtual const MessageMap* GetMessageMap() const;
    // True when the object's class is pClass or derives from it.
    bool IsKindOf(const CRuntimeClass* pClass) const;
    // Runs the handler mapped to (code, id), if any; called for each WM_COMMAND. True when one ran.
    bool OnCmdMsg(unsigned code, unsigned id);

protected:
    static const MessageMapEntry messageEntries[];
};
