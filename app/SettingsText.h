// The text of "Zumaro.ini": reading the values and the registration list, and writing it back.
// No window system here; the form supplies the screen size, the file test and the question.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TStrings;

struct TLauncherSettings {
    int32_t PannelCol = 3;
    int32_t PannelRow = 2;
    int32_t BtnWidth = 32;
    int32_t BtnHeight = 32;
    int32_t SmallLargeBoundary = 24;
    bool Animation = true;
    int32_t ZumaroSpeed = 5;
    bool ZumaroSound = true;
    int32_t NumOfRegi = 0;
    int32_t ButtonsPerPage = 6;
    int32_t HotKey1 = 1;
    std::string HotKey2 = "A";
    bool AutoClose = false;
    int32_t Left = 0;
    int32_t Top = 0;

    bool operator==(const TLauncherSettings&) const = default;
};

// Bounds that keep a hand-edited file from making a grid that cannot work. A button is at least 2
// pixels wide and high: the hover rule takes the cell as (image left + 1) div (size + 2), which
// names the next cell for a button of 1.
constexpr int32_t kMinCells = 1, kMaxCells = 100;
constexpr int32_t kMinButtonSize = 2, kMaxButtonSize = 256;
constexpr int32_t kMinSpeed = 1, kMaxSpeed = 100;

// The settings when there is no file at all.
TLauncherSettings NoFileDefaults(int screenWidth, int screenHeight);

// Lines end at CR LF, a lone CR or a lone LF; a final line ending opens no further line. NUL bytes
// are dropped: a file cut short by a crash is often padded with them, and a path or value that
// holds one could not be passed to the system whole.
std::vector<std::string> SplitTextLines(std::string_view text);

// Everything after the first "=" of the first line whose text before that "=" is the key,
// ignoring letter case; empty when no line has the key.
std::string FindKeyValue(const std::vector<std::string>& lines, std::string_view key);

// A signed 32-bit whole number: leading blanks, an optional sign, decimal digits or "$" and
// hexadecimal digits, nothing else; otherwise def.
int32_t ReadIntDef(std::string_view value, int32_t def);

// Brings values that cannot work to the nearest working one and recomputes ButtonsPerPage.
void BringIntoRange(TLauncherSettings& s);

// Reads the [Initialize] values from the lines of an existing file. NumOfRegi is left at 0.
TLauncherSettings ReadSettingsValues(const std::vector<std::string>& lines, int screenWidth, int screenHeight);

struct TRegiEntry {
    std::string Path;
    std::string Flag;
    std::string Hint;
};

// The entry of one "[Registered Files]" line, with the default flag and hint filled in.
TRegiEntry ParseRegiEntry(std::string_view line);

// What the loader needs from its caller for each entry line, in file order.
class IRegiLoadHost {
public:
    virtual bool EntryExists(const std::string& path) = 0;
    // Every entry's answer at once, in order, where the host can ask faster so; else one by one.
    virtual std::vector<bool> EntriesExist(const std::vector<TRegiEntry>& entries);
    // Asked for a missing entry; true drops it.
    virtual bool AskRemoveMissing(const std::string& path) = 0;
    virtual void AppendEntry(const TRegiEntry& entry) = 0;

protected:
    ~IRegiLoadHost() = default;
};

// Index of the first line that is "[Registered Files]" in any letter case, or -1.
int FindRegisteredFilesLine(const std::vector<std::string>& lines);

// Every line after "[Registered Files]" is one entry; existing ones and kept missing ones are
// appended through the host.
void ReadRegisteredFiles(const std::vector<std::string>& lines, IRegiLoadHost& host);

// The whole file: values, the panel's position, then one line per entry; CR LF everywhere.
std::string FormatSettings(const TLauncherSettings& s, int32_t panelLeft, int32_t panelTop, const TStrings& files,
                           const TStrings& useArias, const TStrings& arias);
