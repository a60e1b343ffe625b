#include "app/SystemNames.h"

#include <vector>

#include "app/UnitUtils.h"

DWORD(WINAPI* GetShortPathNameWide)(LPCWSTR, LPWSTR, DWORD) = GetShortPathNameW;

namespace {

std::vector<std::wstring> SplitParts(const std::wstring& path) {
    std::vector<std::wstring> parts(1);
    for (wchar_t c : path) {
        if (c == L'\\')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

std::wstring LastPart(const std::wstring& path) {
    size_t at = path.find_last_of(L"\\:");
    return at == std::wstring::npos ? path : path.substr(at + 1);
}

// Windows reaches a path of fewer than MAX_PATH characters through the calls the program makes.
bool Reachable(const std::string& path) { return SjisToWide(path).size() < MAX_PATH; }

}  // namespace

TAnsiName AnsiNameOf(const std::wstring& wide) {
    TAnsiName name;
    name.Readable = WideToSjisReadable(LastPart(wide));
    if (WideToSjisExact(wide, name.Path) && Reachable(name.Path)) {
        name.Form = TNameForm::Exact;
        return name;
    }
    name.Path.clear();
    name.TooLong = wide.size() >= MAX_PATH;
    DWORD size = GetShortPathNameWide(wide.c_str(), nullptr, 0);
    if (size == 0) return name;
    std::wstring shortPath(size, L'\0');
    DWORD got = GetShortPathNameWide(wide.c_str(), shortPath.data(), size);
    if (got == 0 || got >= size) return name;
    shortPath.resize(got);
    // Only the parts that need it take their short name: the rest of the path stays as the user
    // knows it.
    std::vector<std::wstring> longParts = SplitParts(wide), shortParts = SplitParts(shortPath);
    std::string path;
    if (longParts.size() == shortParts.size()) {
        for (size_t i = 0; i < longParts.size(); ++i) {
            std::string part;
            if (!WideToSjisExact(longParts[i], part) && !WideToSjisExact(shortParts[i], part)) return name;
            path += (i == 0 ? "" : "\\") + part;
        }
    }
    // Too long with its readable parts: short throughout.
    if ((path.empty() || !Reachable(path)) && (!WideToSjisExact(shortPath, path) || !Reachable(path))) return name;
    name.TooLong = false;
    name.Form = TNameForm::Short;
    name.Path = path;
    return name;
}

bool TakeInName(const std::wstring& wide, TRegiEntry& entry) {
    TAnsiName name = AnsiNameOf(wide);
    switch (name.Form) {
        case TNameForm::Exact: entry = {name.Path, "False", ExtractFileName(name.Path)}; return true;
        case TNameForm::Short: entry = {name.Path, "True", name.Readable}; return true;
        case TNameForm::None: break;
    }
    Application->ShowMessageBox("ファイル(" + WideToSjisReadable(wide) + ")は登録できません。\r" +
                                    (name.TooLong ? "パスが260文字以上あり、短いファイル名もありません。"
                                                  : "ファイル名にShift-JISで表せない文字があり、短いファイル名もありません。"),
                                "ズマロランチャー", MB_ICONEXCLAMATION | MB_OK);
    return false;
}
