#include "app/SingleInstance.h"

#include <exception>
#include <string>

#include "toolkit/Classes.h"
#include "toolkit/WideText.h"

TInstanceStart ClaimSingleInstance(const char* name, HANDLE& handle) {
    handle = CreateMutexW(nullptr, FALSE, SjisToWide(name).c_str());
    DWORD error = GetLastError();
    if (handle != nullptr && error == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        handle = nullptr;
        return TInstanceStart::AlreadyRunning;
    }
    if (handle == nullptr && error == ERROR_ACCESS_DENIED) return TInstanceStart::AlreadyRunning;
    return TInstanceStart::First;
}

int RunReportingErrors(const char* caption, const std::function<int()>& work) {
    std::string text;
    try {
        return work();
    } catch (const std::exception& e) {
        text = ErrorBoxText(e.what());
    } catch (...) {
        text = "予期しないエラーが発生しました。";
    }
    MessageBoxW(GetActiveWindow(), SjisToWide(text).c_str(), SjisToWide(caption).c_str(), MB_ICONSTOP | MB_OK);
    return 0;
}
