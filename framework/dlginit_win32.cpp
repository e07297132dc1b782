// Fills a dialog's list controls from its RES_DLGINIT resource, as the dialog editor stored them.
#include "dlginit_win32.h"

#include "dlginit.h"

namespace {
void AddEntry(const DlgInitRecord& record, void* context) {
    HWND control = GetDlgItem(static_cast<HWND>(context), static_cast<int>(record.controlId));
    if (!control) return;
    UINT message = record.message == DLGINIT_CB_ADDSTRING ? CB_ADDSTRING : LB_ADDSTRING;
    SendMessageA(control, message, 0, reinterpret_cast<LPARAM>(record.text));
}
}  // namespace

bool ExecuteDlgInit(HWND dialog, HINSTANCE module, UINT templateId) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(templateId),
                                   MAKEINTRESOURCEA(RES_DLGINIT));
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return false;
    ParseDlgInit(static_cast<const unsigned char*>(data), SizeofResource(module, resource), AddEntry, dialog);
    return true;
}
