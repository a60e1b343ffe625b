// The entries' shell icons, as the panel and the settings dialog show them: asked of the shell the
// first time an entry's picture is read, both sizes from one look-up, and kept, shared by path.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Dpi.h"
#include "toolkit/Graphics.h"

class TShellFolders;

// The place of a path's icon in the shell's image lists, or -1 for a path that is not there or
// that the shell has no icon for. With folders, the path's folder is parsed once for all its files.
int SystemIconIndex(const std::string& path, TShellFolders* folders = nullptr);

// The shell's icon at that index as a square picture of pixels on white: from the image list of
// the nearest size not smaller, drawn down when it is larger (centred when none is that large).
// White all over for -1.
void DrawSystemIcon(int index, int pixels, TBitmap* picture);

// Asks the shell for a path's large and small icons, 32 x 32 and 16 x 16 at 96 dpi; a path that is
// not there gets two white pictures of those sizes.
void MakeIconBitmaps(const std::string& path, TBitmap* large, TBitmap* small, TShellFolders* folders = nullptr,
                     int dpi = kDefaultDpi);

// The pictures of every path asked for so far, each asked of the shell once.
class TIconCache {
public:
    TIconCache();
    ~TIconCache();
    TIconCache(const TIconCache&) = delete;
    TIconCache& operator=(const TIconCache&) = delete;
    // The path's icon as a square of pixels: the shell is asked once a path, each size drawn once.
    const TBitmap& Picture(const std::string& path, int pixels);
    // The large and small icons at a DPI: 32 and 16 pixels at 96.
    const TBitmap& Large(const std::string& path, int dpi = kDefaultDpi) { return Picture(path, ScaleForDpi(32, dpi)); }
    const TBitmap& Small(const std::string& path, int dpi = kDefaultDpi) { return Picture(path, ScaleForDpi(16, dpi)); }
    // How many look-ups the shell was asked for.
    int Asked() const { return asked_; }
    // The path's icon is asked of the shell again when next read: a file put back, or replaced by
    // another version, shows as it is now. Forget() forgets every path.
    void Forget(const std::string& path) { kept_.erase(path); }
    void Forget() { kept_.clear(); }

private:
    struct TKept {
        int Index = -1;
        std::map<int, TBitmap> Pictures;  // by size
    };
    std::map<std::string, TKept> kept_;
    int asked_ = 0;
    std::unique_ptr<TShellFolders> folders_;
};

// One size of the pictures of a list of paths (the registration list), in its order: an entry's
// picture is made from the cache when it is first read.
class TIconList {
public:
    TIconList(TIconCache& cache, bool large) : cache_(&cache), large_(large) {}
    // The paths the entries stand for; the list is kept as long as they are.
    void SetPaths(const TStrings* paths) { paths_ = paths; }
    TIconCache& Cache() const { return *cache_; }
    // The DPI the pictures are made for; at another one each is made again when next read.
    void SetDpi(int dpi);
    int Dpi() const { return dpi_; }

    size_t size() const { return pictures_.size(); }
    bool empty() const { return pictures_.empty(); }
    void clear() { pictures_.clear(); }
    // A place for the entry at index (of the paths) or at the end; its picture comes when read.
    void insert(size_t index) { pictures_.insert(pictures_.begin() + static_cast<ptrdiff_t>(index), nullptr); }
    void push_back() { pictures_.emplace_back(); }
    // The entry's picture, made now when it never was.
    const std::unique_ptr<TBitmap>& operator[](size_t index);
    // The entry's picture as it is: empty until it is read, and filled in by whoever reads it.
    TBitmap* Peek(size_t index);

private:
    TIconCache* cache_;
    bool large_;
    int dpi_ = kDefaultDpi;
    const TStrings* paths_ = nullptr;
    std::vector<std::unique_ptr<TBitmap>> pictures_;
};
