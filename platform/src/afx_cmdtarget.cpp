#include "mfc/afxwin.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, AfxSig::End, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->getBaseMap ? map->getBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->entries; entry->sig != AfxSig::End; ++entry) {
            if (entry->message != message)
                continue;
            if (message != WM_COMMAND || (entry->code == code && entry->id == id))
                return entry;
        }
    }
    return nullptr;
}
