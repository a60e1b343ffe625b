// Reading "Zumaro.ini" whole and replacing it in one step.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

enum class TReadResult { Ok, Missing, Unreadable };

// Reads the whole file; error receives the system's code when it cannot be read.
TReadResult ReadWholeFile(const std::string& path, std::string& contents, DWORD& error);

// Writes contents to a file beside path, flushes it and moves it over path, so that path holds
// either its old text or the new one, never a part. Returns 0 or the system's error code.
DWORD ReplaceFileContents(const std::string& path, const std::string& contents);

// For tests: called with the written, flushed temporary file's name just before it is moved over
// the settings file (a test ends the process there to stand for a crash).
void SetAfterTempWrittenHook(void (*hook)(const std::string& temp));

// UTF-8 to Shift-JIS (code page 932) on any system. The JIS spellings of code page 932's own
// characters (〜 for ～ ...) are taken as those; any other character without a form of its own becomes
// "?", never a look-alike (no best fit: "é" must not turn into "e" and name another file). A
// malformed sequence becomes "?" too.
std::string Utf8ToSjis(std::string_view utf8);

// ReadWholeFile, then the text in Shift-JIS: a file saved as UTF-8 (DetectTextEncoding)
// is converted without its byte-order mark, any other file is taken byte for byte. The bytes of a
// UTF-8 file go to utf8Original, empty otherwise: what a name that Shift-JIS cannot keep is read from.
TReadResult ReadSettingsText(const std::string& path, std::string& text, DWORD& error,
                             std::string* utf8Original = nullptr);
