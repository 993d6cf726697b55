#include "framework/MessageMap.h"

#include <commctrl.h>

UINT AfxGetDragListMessage()
{
    static const UINT message = ::RegisterWindowMessage(DRAGLISTMSGSTRING);
    return message;
}

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT message, UINT code, UINT id)
{
    for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap != nullptr ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->pfnInvoke != nullptr; ++pEntry) {
            const UINT entryMessage =
                pEntry->pfnRegistered != nullptr ? pEntry->nMessage + pEntry->pfnRegistered() : pEntry->nMessage;
            // Both the notification code and the ID must match: BN_CLICKED is
            // 0, so an ID alone would also catch every other code.
            if (entryMessage == message && pEntry->nCode == code && pEntry->nID <= id && id <= pEntry->nLastID)
                return pEntry;
        }
    }
    return nullptr;
}
