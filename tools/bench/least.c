/* The least property-sheet program: one page on the panel's Information template (135), nothing
   else. Built the usual way with the same toolchain; the start-up yardstick of tools/bench.sh. */
#include <windows.h>
#include <commctrl.h>

static INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)page; (void)wParam; (void)lParam;
    return message == WM_INITDIALOG;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    PROPSHEETPAGEA page;
    PROPSHEETHEADERA sheet;
    (void)previous; (void)commandLine; (void)show;
    InitCommonControls();
    ZeroMemory(&page, sizeof page);
    page.dwSize = PROPSHEETPAGEA_V1_SIZE;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEA(135);
    page.pfnDlgProc = PageProc;
    ZeroMemory(&sheet, sizeof sheet);
    sheet.dwSize = PROPSHEETHEADERA_V1_SIZE;
    sheet.dwFlags = PSH_PROPSHEETPAGE;
    sheet.hInstance = instance;
    sheet.pszCaption = "Least sheet";
    sheet.nPages = 1;
    sheet.ppsp = &page;
    PropertySheetA(&sheet);
    return 0;
}
