#include "app/UnitUtils.h"

#include "toolkit/Classes.h"

namespace {

bool SjisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool (*g_leadByteTest)(unsigned char) = SjisLeadByte;

// Only A to Z are folded: the other bytes may be halves of double-byte characters.
bool EqualsAsciiNoCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lower[i]) return false;
    }
    return true;
}

// Index just past the last separator that is a character of its own, or 0.
size_t AfterLastSeparator(std::string_view path) {
    size_t after = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        auto b = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(b) && i + 1 < path.size()) {
            ++i;  // the trail byte is never a separator
            continue;
        }
        if (b == '\\' || b == ':') after = i + 1;
    }
    return after;
}

}  // namespace

bool IsLeadByte(unsigned char b) { return g_leadByteTest(b); }

void SetLeadByteTest(bool (*test)(unsigned char)) { g_leadByteTest = test != nullptr ? test : SjisLeadByte; }

std::string BoolToStr(bool value) { return value ? "True" : "False"; }

bool StrToBool(std::string_view text) {
    if (EqualsAsciiNoCase(text, "true")) return true;
    if (EqualsAsciiNoCase(text, "false")) return false;
    throw EConvertError("StrToBoolは、True/Falseのみ受け付けます");
}

bool StrToBoolDef(std::string_view text, bool def) {
    if (EqualsAsciiNoCase(text, "true")) return true;
    if (EqualsAsciiNoCase(text, "false")) return false;
    return def;
}

TRegiLineParts SplitRegiLine(std::string_view line) {
    // "/" is never the second byte of a Shift-JIS character, so a byte search is exact.
    TRegiLineParts parts;
    size_t first = line.find('/');
    if (first == std::string_view::npos) {
        parts.Path = std::string(line);
        return parts;
    }
    parts.Path = std::string(line.substr(0, first));
    size_t second = line.find('/', first + 1);
    if (second == std::string_view::npos) {
        parts.Flag = std::string(line.substr(first + 1));
        return parts;
    }
    parts.Flag = std::string(line.substr(first + 1, second - first - 1));
    parts.Hint = std::string(line.substr(second + 1));
    return parts;
}

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(AfterLastSeparator(path))); }

std::string ExtractFilePath(std::string_view path) { return std::string(path.substr(0, AfterLastSeparator(path))); }
