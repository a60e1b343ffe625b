#include "app/SettingsFile.h"

#include <algorithm>

#include "app/SettingsText.h"
#include "app/SystemNames.h"
#include "app/TextEncoding.h"
#include "app/UnitUtils.h"
#include "toolkit/Graphics.h"
#include "toolkit/WideText.h"

TReadResult ReadWholeFile(const std::string& path, std::string& contents, DWORD& error) {
    contents.clear();
    error = 0;
    if (!FileExists(path)) return TReadResult::Missing;
    TKernelHandle file(CreateFileW(SjisToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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

namespace {

void (*afterTempWritten)(const std::string&) = nullptr;

// A new, empty file to write into, open for this process alone. "Zumaro.ini.tmp" first; a leftover
// of that name is overwritten, and one that cannot be (held open by another process, or a folder)
// is stepped around with a name of its own, so a stale file never stops a save.
HANDLE CreateTempBeside(const std::string& path, std::string& temp, DWORD& error) {
    temp = path + ".tmp";
    auto create = [](const std::string& name, DWORD disposition) {
        return CreateFileW(SjisToWide(name).c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    // A read-only leftover would pass its attribute on to the settings file (where a file system
    // lets its owner write it anyway): cleared first.
    DWORD attributes = GetFileAttributesW(SjisToWide(temp).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        SetFileAttributesW(SjisToWide(temp).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    HANDLE file = create(temp, CREATE_ALWAYS);
    if (file != INVALID_HANDLE_VALUE) return file;
    error = GetLastError();
    if (GetFileAttributesW(SjisToWide(temp).c_str()) == INVALID_FILE_ATTRIBUTES) return INVALID_HANDLE_VALUE;  // the folder refuses
    for (int n = 1; n <= 20; ++n) {
        std::string other = path + "." + std::to_string(n) + ".tmp";
        file = create(other, CREATE_NEW);
        if (file != INVALID_HANDLE_VALUE) {
            temp = other;
            return file;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}

// A virus scanner or a sync client may hold the file for a moment after it was written or read:
// a refusal is asked again for about a second before it counts.
DWORD MoveOver(const std::string& temp, const std::string& path) {
    const std::wstring from = SjisToWide(temp), to = SjisToWide(path);
    for (int tries = 0;; ++tries) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
        DWORD error = GetLastError();
        bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!held || tries == 20) return error;
        Sleep(50);
    }
}

}  // namespace

void SetAfterTempWrittenHook(void (*hook)(const std::string& temp)) { afterTempWritten = hook; }

DWORD ReplaceFileContents(const std::string& path, const std::string& contents) {
    // A file the user made read-only stays as it is (Windows refuses to move over it; not every
    // file system does).
    DWORD attributes = GetFileAttributesW(SjisToWide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    std::string temp;
    DWORD error = 0;
    {
        TKernelHandle file(CreateTempBeside(path, temp, error));
        if (file.Get() == INVALID_HANDLE_VALUE) {
            file.Release();
            return error != 0 ? error : ERROR_CANNOT_MAKE;
        }
        error = 0;  // a leftover stepped around is no error
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
    if (error == 0 && afterTempWritten != nullptr) afterTempWritten(temp);
    if (error == 0) error = MoveOver(temp, path);
    if (error != 0) DeleteFileW(SjisToWide(temp).c_str());
    return error;
}

namespace {

// Converts one piece that begins and ends on character boundaries and is short enough for the
// int sizes of the conversion calls.
std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (units <= 0) return {};
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), units);
    return wide;
}

void AppendSjis(std::string& out, std::string_view utf8) { out += WideToSjis(Utf8ToWide(utf8)); }

}  // namespace

std::string Utf8ToSjis(std::string_view utf8) {
    std::string folded = FoldJisVariants(utf8);
    std::string out;
    out.reserve(folded.size());
    // In pieces of about 1 MiB, cut before a byte that starts a character.
    constexpr size_t kPiece = 1 << 20;
    std::string_view rest = folded;
    while (!rest.empty()) {
        size_t n = std::min(rest.size(), kPiece);
        for (size_t back = 0; back < 3 && n < rest.size() && n > 1 && (static_cast<unsigned char>(rest[n]) & 0xC0) == 0x80;
             ++back)
            --n;
        AppendSjis(out, rest.substr(0, n));
        rest.remove_prefix(n);
    }
    return out;
}

namespace {

size_t CountQuestionMarks(std::string_view text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '?')); }

// As PathAttributes: a path of MAX_PATH characters or more names nothing.
bool Exists(const std::wstring& path) {
    return !path.empty() && path.size() < MAX_PATH && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// One "[Registered Files]" line of a UTF-8 file. Its path is read as it is spelt first, and only
// where that names nothing as its JIS spellings folded: a file really named "線—ダッシュ.txt" or
// "円¥記号.txt" is that file, not another one. A path with no Shift-JIS form that names a file or
// folder that is there is kept under its short form, which reaches it through every call the
// program makes, and shows its own readable name; anything else converts as text does.
std::string EntryLineToSjis(const std::string& line) {
    std::string converted = Utf8ToSjis(line);
    TRegiLineParts parts = SplitRegiLine(line);
    std::string folded = FoldJisVariants(parts.Path);
    if (folded == parts.Path && CountQuestionMarks(Utf8ToSjis(parts.Path)) == CountQuestionMarks(parts.Path))
        return converted;  // one spelling, and Shift-JIS has it
    std::wstring exact = Utf8ToWide(parts.Path);
    TAnsiName name;
    if (Exists(exact))
        name = AnsiNameOf(exact);
    else if (std::wstring other = Utf8ToWide(folded); other != exact && Exists(other))
        name = AnsiNameOf(other);
    if (name.Form == TNameForm::None) return converted;  // gone: the start-up question asks about it as it stands
    // The path is the line's start, up to its first "/".
    if (name.Form == TNameForm::Exact) return name.Path + Utf8ToSjis(std::string_view(line).substr(parts.Path.size()));
    std::string flag = Utf8ToSjis(parts.Flag), hint = Utf8ToSjis(parts.Hint);
    if (flag.empty() || !StrToBoolDef(flag, true)) {
        flag = "True";  // its path alone would read as a short name
        hint = name.Readable;
    } else if (hint.empty()) {
        hint = name.Readable;
    }
    return name.Path + "/" + flag + "/" + hint;
}

// A settings file saved as UTF-8, line by line in the code page.
std::string Utf8SettingsToSjis(std::string_view utf8) {
    std::vector<std::string> lines = SplitTextLines(utf8);
    int header = FindRegisteredFilesLine(lines);
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        out += header >= 0 && i > static_cast<size_t>(header) ? EntryLineToSjis(lines[i]) : Utf8ToSjis(lines[i]);
        out += "\r\n";
    }
    return out;
}

}  // namespace

TReadResult ReadSettingsText(const std::string& path, std::string& text, DWORD& error, std::string* utf8Original) {
    TReadResult result = ReadWholeFile(path, text, error);
    if (utf8Original != nullptr) utf8Original->clear();
    if (result != TReadResult::Ok) return result;
    TTextEncoding encoding = DetectTextEncoding(text);
    if (encoding == TTextEncoding::Ansi) return result;
    if (utf8Original != nullptr) *utf8Original = text;
    text = Utf8SettingsToSjis(encoding == TTextEncoding::Utf8Bom ? std::string_view(text).substr(kUtf8Bom.size())
                                                                  : std::string_view(text));
    return result;
}
