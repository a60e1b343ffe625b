// The small utility operations that the settings file, the panel and the dialogs share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// "True" for true, "False" otherwise.
std::string BoolToStr(bool value);
// "true"/"false" in any letter case; anything else raises EConvertError.
bool StrToBool(std::string_view text);
// As StrToBool, but any other text gives def.
bool StrToBoolDef(std::string_view text, bool def);

struct TRegiLineParts {
    std::string Path;
    std::string Flag;
    std::string Hint;
};
// One line of the "[Registered Files]" section: path "/" flag "/" hint.
TRegiLineParts SplitRegiLine(std::string_view line);

// True when b starts a double-byte character of Shift-JIS, the program's code page whatever the
// system's; tests may swap the test.
bool IsLeadByte(unsigned char b);
void SetLeadByteTest(bool (*test)(unsigned char));

// The part of a path after its last "\" or ":" that stands as a character of its own.
std::string ExtractFileName(std::string_view path);
// The path up to and including its last "\" or ":" (same rule).
std::string ExtractFilePath(std::string_view path);

// The path's attributes, or INVALID_FILE_ATTRIBUTES where it names nothing; a path of MAX_PATH
// characters or more names nothing, as on Windows. Windows only.
unsigned long PathAttributes(const std::string& path);
// Attributes of the path can be read and carry the directory bit. Windows only.
bool FolderExists(const std::string& path);
// The path names an existing file that is not a directory. Windows only.
bool FileExists(const std::string& path);

// For each path, whether it is there, as FileExists or FolderExists; a long list is shared out
// among the processors. Windows only.
std::vector<bool> PathsPresent(const std::vector<std::string>& paths);

// The folder of the running executable, with its final "\". Windows only.
std::string ExeFolder();
