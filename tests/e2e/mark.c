/* mark: started, it leaves "<its own file name>.ran" beside itself and ends, showing nothing. The
   entries the end-to-end scripts launch: a batch file or a console program would open a console
   window, which takes the foreground for a moment, and a key or click meant for the panel then. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
    static wchar_t self[32768];
    DWORD n = GetModuleFileNameW(NULL, self, 32768 - 8);
    (void)instance, (void)previous, (void)command, (void)show;
    if (n == 0 || n >= 32768 - 8) return 1;
    lstrcpyW(self + n, L".ran");
    HANDLE h = CreateFileW(self, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(h);
    return 0;
}
