// The program's own text is Shift-JIS (code page 932), as its settings file is, on any Windows;
// Windows itself is always called with wide text. Every conversion between the two is here, with
// code page 932 named: the system's ANSI code page (1252, 65001...) plays no part.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

constexpr UINT kProgramCodePage = 932;

// The program's text in wide characters.
std::wstring SjisToWide(std::string_view sjis);
// The program's form of a wide text when every character has one of its own (no best-fit
// look-alike, no "?"); false otherwise, and out is then the text with "?" in their place.
bool WideToSjisExact(std::wstring_view wide, std::string& out);
// The program's form of text that comes back from a window (typed, or the program's own): "?" for
// a character with no Shift-JIS form.
std::string WideToSjis(std::wstring_view wide);
// The same text for reading only: look-alikes where Shift-JIS has none ("é" as "e"), "?" for the
// rest. Never a path.
std::string WideToSjisReadable(std::wstring_view wide);

// A resource's name for the wide calls: a number stays a number, a name is widened.
class TResName {
public:
    explicit TResName(const char* name);
    operator LPCWSTR() const { return name_ != nullptr ? name_ : text_.c_str(); }

private:
    LPCWSTR name_;
    std::wstring text_;
};
