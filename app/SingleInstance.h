// The start's two guards: one instance at a time, and no error that ends the program unseen.
#pragma once

#include <windows.h>

#include <functional>

enum class TInstanceStart { First, AlreadyRunning };

// Creates the named mutex, or learns in the same step that it exists. A mutex that exists but may
// not be opened (another user's or an elevated instance holds it) also means that an instance
// runs: two writers of one settings file must never run at once. On First, handle receives the
// mutex, to be kept open for the life of the process.
TInstanceStart ClaimSingleInstance(const char* name, HANDLE& handle);

// Runs work and returns its result; an error that reaches here is shown in the stop-icon box under
// caption, and the result is then 0, as for every end of the program.
int RunReportingErrors(const char* caption, const std::function<int()>& work);
