// Helpers for the in-process Windows tests: answering message boxes, temporary folders, files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/WideText.h"

// A variable of the program set to a test's value while this lives, given its own back after.
template <typename T>
class TSwapped {
public:
    TSwapped(T& place, T value) : place_(place), old_(place) { place_ = value; }
    ~TSwapped() { place_ = old_; }
    TSwapped(const TSwapped&) = delete;
    TSwapped& operator=(const TSwapped&) = delete;

private:
    T& place_;
    T old_;
};

// What a message box showed before it was answered.
struct TBoxSeen {
    std::string Caption;
    std::string Text;
    std::string Icon;  // "stop", "exclamation", "information", "question" or ""
    std::vector<int> Buttons;  // IDOK, IDYES, IDNO... present in the box
    int Answer = 0;
    HWND Owner = nullptr;
};

// While it lives, answers every message box of this thread with the next answer in turn
// (IDOK when they run out), from a thread timer that the box's own loop dispatches.
class TBoxAnswerer {
public:
    explicit TBoxAnswerer(std::vector<int> answers = {});
    ~TBoxAnswerer();
    TBoxAnswerer(const TBoxAnswerer&) = delete;
    TBoxAnswerer& operator=(const TBoxAnswerer&) = delete;

    std::vector<TBoxSeen> Seen;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Answer(HWND box);
    std::vector<int> answers_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    TBoxAnswerer* previous_ = nullptr;
};

// A fresh folder under the system's temp folder (its name may hold double-byte characters),
// removed with everything in it at the end.
class TTempFolder {
public:
    explicit TTempFolder(const std::string& name = "zumaro");
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    // The folder with its final "\".
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// A drop as an ANSI sender hands it over: the paths in the system's code page in a DROPFILES block,
// the point in the client coordinates of the window it is sent to. The receiver frees it with DragFinish.
HGLOBAL MakeDropFiles(const std::vector<std::string>& paths, int x, int y);
// The same with wide names, as the shell sends them.
HGLOBAL MakeDropFiles(const std::vector<std::wstring>& paths, int x, int y);

// The code page's path in wide characters, to build names outside it on.
std::wstring WidePath(const std::string& ansi);
// An empty file of a wide name; false when it cannot be made.
bool MakeWideFile(const std::wstring& path);

void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);

// Windows' texts in the program's code page, read and written wide: the tests see the same text
// whatever the system's ANSI code page is.
std::string WindowText(HWND hwnd);
bool SetText(HWND hwnd, const std::string& text);
// The child window of the parent with that text, or none.
HWND FindChild(HWND parent, const std::string& text);
