// libFuzzer target over the window-free settings code: any bytes as "Zumaro.ini".
//
// On every input, besides no crash and no sanitizer report, it checks (and aborts on a violation):
//  1. Encoding: DetectTextEncoding says Utf8Bom exactly when the bytes begin with the mark; Utf8
//     only for well-formed UTF-8 (up to at most a cut last character) holding a character of
//     three or four bytes, and always for such whole well-formed UTF-8;
//     ValidUtf8Prefix agrees with a plain decoder written here; FoldJisVariants keeps UTF-8
//     well-formed and folds nothing twice.
//  2. Lines: SplitTextLines drops exactly the line ends (CR LF, CR, LF) and nothing else.
//  3. Bounds the reader promises (BringIntoRange): columns and rows 1..100, button sizes 2..256,
//     speed 1..100, ButtonsPerPage = columns x rows, NumOfRegi 0 before the entries are counted,
//     HotKey2 one letter A-Z. The panel's and the flight's window-free arithmetic then runs on the
//     values read (UBSan stops any division by zero or overflow there).
//  4. Lists: the five lists, filled by a host that appends as the panel does (the icon lists as
//     counters), are of one length, equal to NumOfRegi as the panel sets it; every line after the
//     header is either appended or dropped on a Yes; a flag is never empty; no field holds a line end,
//     path and flag no "/".
//  5. Round trip: with R = read(x) (record and lists, NumOfRegi counted), read(write(R)) == R
//     exactly, with every entry kept, and write(read(write(R))) == write(R) byte for byte. What
//     the reader normalises happens in the first read only: an empty flag becomes "False", an
//     empty hint the path's file name, a value out of range its bound, a malformed one its
//     default, line ends CR LF, unknown lines and later duplicates of a key vanish, entries the
//     host drops are gone.
//  6. The settings dialog given the record and accepted unchanged leaves every bound of 3 intact.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "animation/FlightPlan.h"
#include "app/SettingsText.h"
#include "app/TextEncoding.h"
#include "app/UnitUtils.h"
#include "panel/PanelGeometry.h"
#include "panel/PanelKeys.h"
#include "settings/SettingValues.h"
#include "toolkit/Classes.h"

namespace {

[[noreturn]] void Violated(const char* what, int line) {
    std::fprintf(stderr, "SettingsFuzz: property violated at line %d: %s\n", line, what);
    std::abort();
}

#define PROPERTY(cond)                             \
    do {                                           \
        if (!(cond)) Violated(#cond, __LINE__);    \
    } while (0)

constexpr int kScreenWidth = 1366, kScreenHeight = 768;

// A plain UTF-8 decoder, the reference for ValidUtf8Prefix.
size_t ReferenceValidPrefix(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) break;
        uint32_t cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = true;
        for (size_t k = 1; k < n; ++k) {
            auto c = static_cast<unsigned char>(s[i + k]);
            ok = ok && (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        static constexpr uint32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || cp < kMinimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) break;
        i += n;
    }
    return i;
}

void CheckEncoding(std::string_view bytes) {
    TTextEncoding e = DetectTextEncoding(bytes);
    bool bom = bytes.substr(0, 3) == kUtf8Bom;
    PROPERTY((e == TTextEncoding::Utf8Bom) == bom);
    size_t valid = ValidUtf8Prefix(bytes);
    PROPERTY(valid == ReferenceValidPrefix(bytes));
    bool wide = false;  // a lead byte of three or four
    for (char c : bytes.substr(0, valid)) wide = wide || static_cast<unsigned char>(c) >= 0xE0;
    if (e == TTextEncoding::Utf8) PROPERTY(wide && bytes.size() - valid < 4);
    if (!bom && valid == bytes.size()) PROPERTY((e == TTextEncoding::Utf8) == wide);
    std::string folded = FoldJisVariants(bytes);
    if (valid == bytes.size()) PROPERTY(ValidUtf8Prefix(folded) == folded.size());
    PROPERTY(FoldJisVariants(folded) == folded);
}

void CheckLines(std::string_view text, const std::vector<std::string>& lines) {
    std::string normal, joined;
    // Line ends taken as one, NUL bytes dropped (a last piece of nothing but NULs is no line).
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\0') continue;
        normal.push_back(text[i] == '\r' ? '\n' : text[i]);
    }
    for (const std::string& line : lines) {
        PROPERTY(line.find_first_of("\r\n") == std::string::npos);
        joined += line;
        joined += '\n';
    }
    if (!normal.empty() && normal.back() != '\n') normal += '\n';
    PROPERTY(joined == normal);
}

void CheckBounds(const TLauncherSettings& s) {
    PROPERTY(s.PannelCol >= kMinCells && s.PannelCol <= kMaxCells);
    PROPERTY(s.PannelRow >= kMinCells && s.PannelRow <= kMaxCells);
    PROPERTY(s.BtnWidth >= kMinButtonSize && s.BtnWidth <= kMaxButtonSize);
    PROPERTY(s.BtnHeight >= kMinButtonSize && s.BtnHeight <= kMaxButtonSize);
    PROPERTY(s.ZumaroSpeed >= kMinSpeed && s.ZumaroSpeed <= kMaxSpeed);
    PROPERTY(s.ButtonsPerPage == s.PannelCol * s.PannelRow && s.ButtonsPerPage > 0);
    PROPERTY(s.HotKey2.size() == 1 && s.HotKey2[0] >= 'A' && s.HotKey2[0] <= 'Z');
}

// The panel's lists as LoadSettings fills them, with the icon lists as counters.
struct TLists {
    TStringList Files, UseArias, Arias;
    int LargeIcons = 0, SmallIcons = 0;

    void Append(const TRegiEntry& e) {
        int at = Files.Count();  // InsertEntry(EntryCount(), ...)
        Files.Insert(at, e.Path);
        UseArias.Insert(at, e.Flag);
        Arias.Insert(at, e.Hint);
        ++LargeIcons;
        ++SmallIcons;
    }
    bool Parallel(int n) const {
        return Files.Count() == n && UseArias.Count() == n && Arias.Count() == n && LargeIcons == n && SmallIcons == n;
    }
    bool operator==(const TLists& o) const {
        if (Files.Count() != o.Files.Count()) return false;
        for (int i = 0; i < Files.Count(); ++i)
            if (Files[i] != o.Files[i] || UseArias[i] != o.UseArias[i] || Arias[i] != o.Arias[i]) return false;
        return LargeIcons == o.LargeIcons && SmallIcons == o.SmallIcons;
    }
};

uint32_t Hash(std::string_view s, uint32_t h) {
    for (char c : s) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

// Which paths exist and the answers to the questions follow from the path and a seed taken from
// the input, so that the fuzzer steers both.
class TFuzzHost : public IRegiLoadHost {
public:
    TFuzzHost(TLists& lists, uint32_t seed, bool allExist) : lists_(lists), seed_(seed), allExist_(allExist) {}
    bool EntryExists(const std::string& path) override {
        ++Seen;
        return allExist_ || (Hash(path, seed_) & 1) != 0;
    }
    bool AskRemoveMissing(const std::string& path) override {
        PROPERTY(!allExist_);
        bool yes = (Hash(path, seed_ * 31 + 7) & 2) != 0;
        Dropped += yes;
        return yes;
    }
    void AppendEntry(const TRegiEntry& e) override { lists_.Append(e); }
    int Seen = 0, Dropped = 0;

private:
    TLists& lists_;
    uint32_t seed_;
    bool allExist_;
};

void CheckEntries(const std::vector<std::string>& lines, const TLists& lists, const TFuzzHost& host) {
    int header = FindRegisteredFilesLine(lines);
    int entryLines = header < 0 ? 0 : static_cast<int>(lines.size()) - header - 1;
    PROPERTY(host.Seen == entryLines);
    PROPERTY(lists.Files.Count() + host.Dropped == entryLines);
    for (int i = 0; i < lists.Files.Count(); ++i) {
        const std::string &path = lists.Files[i], &flag = lists.UseArias[i], &hint = lists.Arias[i];
        PROPERTY(path.find_first_of("/\r\n") == std::string::npos);
        PROPERTY(!flag.empty() && flag.find_first_of("/\r\n") == std::string::npos);
        PROPERTY(hint.find_first_of("\r\n") == std::string::npos);
        PROPERTY(!hint.empty() || ExtractFileName(path).empty());
    }
}

// What the panel, its keys and the flight compute from the record; UBSan watches the arithmetic.
void ExercisePanel(const TLauncherSettings& s) {
    TPanelGeometry g{s.PannelCol, s.PannelRow, s.BtnWidth, s.BtnHeight, 11};
    PROPERTY(g.ClientWidth() > 0 && g.ClientHeight() > 0);
    int32_t n = s.NumOfRegi, per = s.ButtonsPerPage;
    int32_t last = LastPage(n, per);
    PROPERTY(last >= 0 && static_cast<int64_t>(last) * per <= n);
    for (int32_t page : {0, last}) {
        for (auto [c, r] : {std::pair{0, 0}, std::pair{g.C - 1, g.R - 1}}) {
            TRectI b = g.ButtonRect(c, r);
            PROPERTY(HoverIndex(g, b.Left, b.Top, page) == page * per + r * g.C + c);
            PROPERTY(DropIndex(g, page * per, b.Left, b.Top) == static_cast<int64_t>(page) * per + r * g.C + c);
        }
        g.HighlightOuter(g.C - 1, g.R - 1);
        g.ArrowStrip();
        g.RightArrowLeft();
    }
    for (int32_t cursor : {0, n > 0 ? n - 1 : 0, last * per})
        for (uint16_t key : {kVkLeft, kVkRight, kVkUp, kVkDown})
            for (TShiftState shift : {TShiftState{}, TShiftState{ssShift}}) {
                TKeyOutcome o = PanelKeyAction(key, shift, cursor, s.PannelCol, s.PannelRow);
                if (o.Action == TKeyAction::MoveCursor) PROPERTY(o.CursorIndex / per == cursor / per);
            }
    TPaging paging;
    for (int i = 0; i < 3 && paging.Next(n, per); ++i) PROPERTY(paging.PageIndex <= last);
    while (paging.Prev(per)) PROPERTY(paging.CursorIndex / per == paging.PageIndex);
    std::vector<TFlightStep> flight = FlightPlan(kScreenHeight, s.ZumaroSpeed);
    PROPERTY(!flight.empty() && flight.size() <= static_cast<size_t>(kMaxFlightSteps) && flight.back().Wait == 0);
    UseLargeIcon(s.BtnWidth, s.SmallLargeBoundary);
}

struct TRead {
    TLauncherSettings Settings;
    TLists Lists;
};

// LoadSettings without its windows.
void Read(std::string_view text, uint32_t seed, bool allExist, TRead& out) {
    std::vector<std::string> lines = SplitTextLines(text);
    CheckLines(text, lines);
    out.Settings = ReadSettingsValues(lines, kScreenWidth, kScreenHeight);
    PROPERTY(out.Settings.NumOfRegi == 0);
    CheckBounds(out.Settings);
    TFuzzHost host(out.Lists, seed, allExist);
    ReadRegisteredFiles(lines, host);
    out.Settings.NumOfRegi = out.Lists.Files.Count();
    PROPERTY(out.Lists.Parallel(out.Settings.NumOfRegi));
    CheckEntries(lines, out.Lists, host);
}

std::string Write(const TRead& r) {
    return FormatSettings(r.Settings, r.Settings.Left, r.Settings.Top, r.Lists.Files, r.Lists.UseArias, r.Lists.Arias);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckEncoding(bytes);

    uint32_t seed = Hash(bytes.substr(0, 8), 2166136261u);
    TRead first;
    Read(bytes, seed, false, first);
    ExercisePanel(first.Settings);

    std::string written = Write(first);
    TRead second;
    Read(written, seed, true, second);
    PROPERTY(second.Settings == first.Settings);
    PROPERTY(second.Lists == first.Lists);
    PROPERTY(SplitTextLines(written).size() == 17u + static_cast<size_t>(first.Settings.NumOfRegi));
    PROPERTY(Write(second) == written);

    TLauncherSettings accepted = first.Settings;
    ApplyChoices(ChoicesFromSettings(accepted), accepted);
    CheckBounds(accepted);
    return 0;
}
