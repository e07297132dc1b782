#include "cmdtarget.h"

const MessageMapEntry* FindMessageEntry(const MessageMap* map, unsigned code, unsigned id) {
    for (; map; map = map->base)
        for (const MessageMapEntry* entry = map->entries; entry && entry->handler; ++entry)
            if (entry->code == code && entry->id == id) return entry;
    return nullptr;
}

const MessageMapEntry CCmdTarget::messageEntries[] = {{0, 0, nullptr}};
const MessageMap CCmdTarget::messageMap = {nullptr, CCmdTarget::messageEntries};

const MessageMap* CCmdTarget::GetMessageMap() const { return &messageMap; }

bool CCmdTarget::OnCmdMsg(unsigned code, unsigned id) {
    const MessageMapEntry* entry = FindMessageEntry(GetMessageMap(), code, id);
    if (!entry) return false;
    (this->*entry->handler)();
    return true;
}
