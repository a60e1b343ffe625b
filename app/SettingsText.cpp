#include "app/SettingsText.h"

#include <algorithm>

#include "app/UnitUtils.h"
#include "toolkit/Classes.h"

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int32_t ReadInt(const std::vector<std::string>& lines, std::string_view key, int32_t def) {
    return ReadIntDef(FindKeyValue(lines, key), def);
}

bool ReadBool(const std::vector<std::string>& lines, std::string_view key, bool def) {
    return StrToBoolDef(FindKeyValue(lines, key), def);
}

void AppendLine(std::string& out, std::string_view a, std::string_view b = {}) {
    out.append(a);
    out.append(b);
    out.append("\r\n");
}

}  // namespace

TLauncherSettings NoFileDefaults(int screenWidth, int screenHeight) {
    TLauncherSettings s;  // the member initialisers are the no-file values
    s.Left = screenWidth / 2 - 32;
    s.Top = screenHeight / 2 - 32;
    return s;
}

std::vector<std::string> SplitTextLines(std::string_view text) {
    std::vector<std::string> lines;
    auto add = [&lines](std::string_view part) {
        std::string& line = lines.emplace_back(part);
        // Never part of a value or a path: dropped.
        if (line.find('\0') != std::string::npos) line.erase(std::remove(line.begin(), line.end(), '\0'), line.end());
    };
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\r' && c != '\n') continue;
        add(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    // A last line without a line end; NUL bytes alone (a zero-filled tail) are none.
    if (text.find_first_not_of('\0', start) != std::string_view::npos) add(text.substr(start));
    return lines;
}

std::string FindKeyValue(const std::vector<std::string>& lines, std::string_view key) {
    for (const std::string& line : lines) {
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq != key.size()) continue;
        if (EqualsNoCase(std::string_view(line).substr(0, eq), key)) return line.substr(eq + 1);
    }
    return {};
}

int32_t ReadIntDef(std::string_view value, int32_t def) {
    size_t i = 0;
    while (i < value.size() && value[i] == ' ') ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    bool hex = i < value.size() && value[i] == '$';
    if (hex) ++i;
    if (i >= value.size()) return def;
    uint64_t magnitude = 0;
    for (; i < value.size(); ++i) {
        int digit = hex ? HexDigit(value[i]) : (value[i] >= '0' && value[i] <= '9' ? value[i] - '0' : -1);
        if (digit < 0) return def;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull) return def;
    }
    if (hex) {
        // Hexadecimal spells the 32 bits themselves: "$FFFFFFFF" is -1.
        auto bits = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
        return negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(bits)) : bits;
    }
    if (negative) return magnitude > 0x80000000ull ? def : static_cast<int32_t>(-static_cast<int64_t>(magnitude));
    return magnitude > 0x7FFFFFFFull ? def : static_cast<int32_t>(magnitude);
}

void BringIntoRange(TLauncherSettings& s) {
    s.PannelCol = std::clamp(s.PannelCol, kMinCells, kMaxCells);
    s.PannelRow = std::clamp(s.PannelRow, kMinCells, kMaxCells);
    s.BtnWidth = std::clamp(s.BtnWidth, kMinButtonSize, kMaxButtonSize);
    s.BtnHeight = std::clamp(s.BtnHeight, kMinButtonSize, kMaxButtonSize);
    s.ZumaroSpeed = std::clamp(s.ZumaroSpeed, kMinSpeed, kMaxSpeed);
    s.ButtonsPerPage = s.PannelCol * s.PannelRow;
}

TLauncherSettings ReadSettingsValues(const std::vector<std::string>& lines, int screenWidth, int screenHeight) {
    TLauncherSettings s;
    s.PannelCol = ReadInt(lines, "PannelCol", 2);
    s.PannelRow = ReadInt(lines, "PannelRow", 3);
    s.BtnWidth = ReadInt(lines, "BtnWidth", 32);
    s.BtnHeight = ReadInt(lines, "BtnHeight", 32);
    s.SmallLargeBoundary = ReadInt(lines, "SmallLargeBoundary", 18);
    s.Animation = ReadBool(lines, "Animation", true);
    s.ZumaroSpeed = ReadInt(lines, "ZumaroSpeed", 5);
    s.ZumaroSound = ReadBool(lines, "ZumaroSound", true);
    BringIntoRange(s);
    s.NumOfRegi = 0;
    s.HotKey1 = ReadInt(lines, "HotKey1", 0);
    std::string key2 = FindKeyValue(lines, "HotKey2");
    s.HotKey2 = (!key2.empty() && key2[0] >= 'A' && key2[0] <= 'Z') ? key2.substr(0, 1) : "A";
    s.AutoClose = ReadBool(lines, "AutoClose", false);
    s.Left = ReadInt(lines, "Left", screenWidth / 2 - 32);
    s.Top = ReadInt(lines, "Top", screenHeight / 2 - 32);
    return s;
}

TRegiEntry ParseRegiEntry(std::string_view line) {
    TRegiLineParts parts = SplitRegiLine(line);
    TRegiEntry entry{std::move(parts.Path), std::move(parts.Flag), std::move(parts.Hint)};
    if (entry.Flag.empty()) entry.Flag = "False";
    if (entry.Hint.empty()) entry.Hint = ExtractFileName(entry.Path);
    return entry;
}

int FindRegisteredFilesLine(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (EqualsNoCase(lines[i], "[Registered Files]")) return static_cast<int>(i);
    return -1;
}

std::vector<bool> IRegiLoadHost::EntriesExist(const std::vector<TRegiEntry>& entries) {
    std::vector<bool> present;
    present.reserve(entries.size());
    for (const TRegiEntry& entry : entries) present.push_back(EntryExists(entry.Path));
    return present;
}

void ReadRegisteredFiles(const std::vector<std::string>& lines, IRegiLoadHost& host) {
    int header = FindRegisteredFilesLine(lines);
    if (header < 0) return;
    std::vector<TRegiEntry> entries;
    entries.reserve(lines.size() - static_cast<size_t>(header) - 1);
    for (size_t i = static_cast<size_t>(header) + 1; i < lines.size(); ++i) entries.push_back(ParseRegiEntry(lines[i]));
    std::vector<bool> present = host.EntriesExist(entries);
    for (size_t i = 0; i < entries.size(); ++i) {
        bool there = i < present.size() ? present[i] : host.EntryExists(entries[i].Path);
        if (!there && host.AskRemoveMissing(entries[i].Path)) continue;
        host.AppendEntry(entries[i]);
    }
}

std::string FormatSettings(const TLauncherSettings& s, int32_t panelLeft, int32_t panelTop, const TStrings& files,
                           const TStrings& useArias, const TStrings& arias) {
    std::string out;
    int n = files.Count();
    size_t estimate = 320;
    for (int i = 0; i < n; ++i) estimate += files[i].size() + useArias[i].size() + arias[i].size() + 4;
    out.reserve(estimate);
    AppendLine(out, "[Initialize]");
    AppendLine(out, "PannelCol=", std::to_string(s.PannelCol));
    AppendLine(out, "PannelRow=", std::to_string(s.PannelRow));
    AppendLine(out, "BtnWidth=", std::to_string(s.BtnWidth));
    AppendLine(out, "BtnHeight=", std::to_string(s.BtnHeight));
    AppendLine(out, "SmallLargeBoundary=", std::to_string(s.SmallLargeBoundary));
    AppendLine(out, "Animation=", BoolToStr(s.Animation));
    AppendLine(out, "ZumaroSpeed=", std::to_string(s.ZumaroSpeed));
    AppendLine(out, "ZumaroSound=", BoolToStr(s.ZumaroSound));
    AppendLine(out, "NumOfRegi=", std::to_string(s.NumOfRegi));
    AppendLine(out, "HotKey1=", std::to_string(s.HotKey1));
    AppendLine(out, "HotKey2=", s.HotKey2);
    AppendLine(out, "AutoClose=", BoolToStr(s.AutoClose));
    AppendLine(out, "Left=", std::to_string(panelLeft));
    AppendLine(out, "Top=", std::to_string(panelTop));
    AppendLine(out, "");
    AppendLine(out, "[Registered Files]");
    for (int i = 0; i < n; ++i) {
        out.append(files[i]);
        out.push_back('/');
        out.append(useArias[i]);
        out.push_back('/');
        AppendLine(out, arias[i]);
    }
    return out;
}
