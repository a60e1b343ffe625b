/* A library planted beside a program: it leaves "<its own path>.loaded" when a process loads it. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH + 8];
        DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            lstrcatW(path, L".loaded");
            HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
            if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
        }
    }
    return TRUE;
}
