// The parts of the utility module that ask the system.
#include <windows.h>

#include <algorithm>

#include "app/SystemNames.h"
#include "app/UnitUtils.h"
#include "toolkit/WideText.h"

DWORD PathAttributes(const std::string& path) {
    // Windows reaches no longer path through the calls the program makes (nor the shell that
    // launches it); Wine would try, and spends seconds on a line of megabytes.
    std::wstring wide = SjisToWide(path);
    return wide.size() < MAX_PATH ? GetFileAttributesW(wide.c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool FolderExists(const std::string& path) {
    DWORD attributes = PathAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& path) {
    DWORD attributes = PathAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

namespace {

struct TPathShare {
    const std::vector<std::string>* Paths;
    std::vector<char>* Present;
    size_t First, Step;
};

DWORD WINAPI AskShare(void* parameter) {
    const auto& share = *static_cast<TPathShare*>(parameter);
    for (size_t i = share.First; i < share.Paths->size(); i += share.Step)
        (*share.Present)[i] = PathAttributes((*share.Paths)[i]) != INVALID_FILE_ATTRIBUTES;
    return 0;
}

}  // namespace

std::vector<bool> PathsPresent(const std::vector<std::string>& paths) {
    // Under Wine each question costs some microseconds of the system's own work, and a list of
    // thousands adds up to a noticeable wait at start-up.
    constexpr size_t kWorthSharing = 512, kMaxThreads = 4;
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    size_t step = paths.size() < kWorthSharing ? 1 : std::clamp<size_t>(system.dwNumberOfProcessors, 1, kMaxThreads);
    std::vector<char> present(paths.size());
    std::vector<TPathShare> shares;
    for (size_t first = 0; first < step; ++first) shares.push_back({&paths, &present, first, step});
    std::vector<HANDLE> threads;
    for (size_t k = 1; k < step; ++k) {
        HANDLE thread = CreateThread(nullptr, 64 * 1024, AskShare, &shares[k], STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (thread != nullptr)
            threads.push_back(thread);
        else
            AskShare(&shares[k]);  // no thread to spare: asked here
    }
    AskShare(&shares[0]);
    for (HANDLE thread : threads) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    return std::vector<bool>(present.begin(), present.end());
}

std::string ExeFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    // A folder named outside Shift-JIS ("道具☕", "한국어") is reached through its short form.
    size_t slash = path.find_last_of(L'\\');
    std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    TAnsiName name = AnsiNameOf(folder);
    return (name.Form != TNameForm::None ? name.Path : WideToSjis(folder)) + "\\";
}
