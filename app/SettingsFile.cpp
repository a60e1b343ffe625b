#include "app/SettingsFile.h"

#include "app/UnitUtils.h"
#include "toolkit/Graphics.h"

TReadResult ReadWholeFile(const std::string& path, std::string& contents, DWORD& error) {
    contents.clear();
    error = 0;
    if (!FileExists(path)) return TReadResult::Missing;
    TKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        file.Release();
        error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? TReadResult::Missing
                                                                                : TReadResult::Unreadable;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) {
        error = size.QuadPart > 0x7FFFFFFF ? ERROR_FILE_TOO_LARGE : GetLastError();
        return TReadResult::Unreadable;
    }
    contents.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < contents.size()) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), contents.data() + done, static_cast<DWORD>(contents.size() - done), &got, nullptr)) {
            error = GetLastError();
            contents.clear();
            return TReadResult::Unreadable;
        }
        if (got == 0) break;  // shorter than it said: take what is there
        done += got;
    }
    contents.resize(done);
    return TReadResult::Ok;
}

DWORD ReplaceFileContents(const std::string& path, const std::string& contents) {
    // A file the user made read-only stays as it is (Windows refuses to move over it; not every
    // file system does).
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    std::string temp = path + ".tmp";
    DWORD error = 0;
    {
        TKernelHandle file(
            CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Get() == INVALID_HANDLE_VALUE) {
            file.Release();
            return GetLastError();
        }
        size_t done = 0;
        while (done < contents.size() && error == 0) {
            DWORD wrote = 0;
            if (!WriteFile(file.Get(), contents.data() + done, static_cast<DWORD>(contents.size() - done), &wrote,
                           nullptr))
                error = GetLastError();
            else if (wrote == 0)
                error = ERROR_WRITE_FAULT;
            done += wrote;
        }
        if (error == 0 && !FlushFileBuffers(file.Get())) error = GetLastError();
    }
    if (error == 0 && !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != 0) DeleteFileA(temp.c_str());
    return error;
}
