#include "toolkit/WideText.h"

namespace {

std::string FromWide(std::wstring_view wide, DWORD flags, BOOL* usedDefault) {
    if (wide.empty()) return {};
    int n = static_cast<int>(wide.size());
    int bytes = WideCharToMultiByte(kProgramCodePage, flags, wide.data(), n, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        if (usedDefault != nullptr) *usedDefault = TRUE;
        return {};
    }
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(kProgramCodePage, flags, wide.data(), n, out.data(), bytes, nullptr, usedDefault);
    return out;
}

}  // namespace

std::wstring SjisToWide(std::string_view sjis) {
    if (sjis.empty()) return {};
    int n = static_cast<int>(sjis.size());
    int units = MultiByteToWideChar(kProgramCodePage, 0, sjis.data(), n, nullptr, 0);
    if (units <= 0) return {};
    std::wstring out(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(kProgramCodePage, 0, sjis.data(), n, out.data(), units);
    return out;
}

bool WideToSjisExact(std::wstring_view wide, std::string& out) {
    BOOL usedDefault = FALSE;
    out = FromWide(wide, WC_NO_BEST_FIT_CHARS, &usedDefault);
    return usedDefault == FALSE;
}

std::string WideToSjis(std::wstring_view wide) { return FromWide(wide, WC_NO_BEST_FIT_CHARS, nullptr); }

std::string WideToSjisReadable(std::wstring_view wide) { return FromWide(wide, 0, nullptr); }

TResName::TResName(const char* name)
    : name_(IS_INTRESOURCE(name) ? reinterpret_cast<LPCWSTR>(name) : nullptr),
      text_(IS_INTRESOURCE(name) ? std::wstring() : SjisToWide(name)) {}
