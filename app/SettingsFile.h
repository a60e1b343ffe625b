// Reading "Zumaro.ini" whole and replacing it in one step.
#pragma once

#include <windows.h>

#include <string>

enum class TReadResult { Ok, Missing, Unreadable };

// Reads the whole file; error receives the system's code when it cannot be read.
TReadResult ReadWholeFile(const std::string& path, std::string& contents, DWORD& error);

// Writes contents to a file beside path, flushes it and moves it over path, so that path holds
// either its old text or the new one, never a part. Returns 0 or the system's error code.
DWORD ReplaceFileContents(const std::string& path, const std::string& contents);

// For tests: called with the written, flushed temporary file's name just before it is moved over
// the settings file (a test ends the process there to stand for a crash).
void SetAfterTempWrittenHook(void (*hook)(const std::string& temp));
