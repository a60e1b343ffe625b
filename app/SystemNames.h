// Names that the system hands over in wide characters (drops, the open-file dialog, a settings file
// saved as UTF-8), kept as the Shift-JIS paths that every call of the program takes.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/SettingsText.h"
#include "toolkit/Forms.h"

enum class TNameForm {
    Exact,  // the path as the system gave it
    Short,  // its short form, which reaches the same file or folder
    None,   // no Shift-JIS path reaches it
};

struct TAnsiName {
    TNameForm Form = TNameForm::None;
    std::string Path;      // Exact or Short: the path to keep
    std::string Readable;  // the file's own name for reading: WideToSjisReadable of its last part
    bool TooLong = false;  // None because even its short form is MAX_PATH characters or more
};

// The Shift-JIS path that reaches what a wide path names. Where the path has no exact form, every part
// that has none is replaced by its short name (the other parts stay readable); that needs the file
// to exist and its volume to keep short names. A path of MAX_PATH characters or more, which nothing
// on Windows reaches, is taken in its short form where that is shorter, and not at all otherwise.
TAnsiName AnsiNameOf(const std::wstring& wide);

// The system's short-name look-up, swapped by tests for a volume without short names.
extern DWORD(WINAPI* GetShortPathNameWide)(LPCWSTR longPath, LPWSTR shortPath, DWORD size);

// A name dropped or chosen by the user as a new entry: the exact path with "False" and the file
// name as its hint; the short form with its own readable hint ("True"); or, with neither, a
// message that names the file and says why, and false.
bool TakeInName(const std::wstring& wide, TRegiEntry& entry);
