// The entries' shell icons, as the panel and the settings dialog show them: asked of the shell the
// first time an entry's picture is read, both sizes from one look-up, and kept, shared by path.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

class TShellFolders;

// Asks the shell for a path's 32 x 32 and 16 x 16 icons; a path that is not there gets two white
// pictures of those sizes. With folders, the path's folder is parsed once for all its files.
void MakeIconBitmaps(const std::string& path, TBitmap* large, TBitmap* small, TShellFolders* folders = nullptr);

// The pictures of every path asked for so far, each asked of the shell once.
class TIconCache {
public:
    TIconCache();
    ~TIconCache();
    TIconCache(const TIconCache&) = delete;
    TIconCache& operator=(const TIconCache&) = delete;
    const TBitmap& Large(const std::string& path) { return Find(path).Large; }
    const TBitmap& Small(const std::string& path) { return Find(path).Small; }
    // How many look-ups the shell was asked for.
    int Asked() const { return static_cast<int>(kept_.size()); }

private:
    struct TPair {
        TBitmap Large, Small;
    };
    TPair& Find(const std::string& path);
    std::map<std::string, TPair> kept_;
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
    const TStrings* paths_ = nullptr;
    std::vector<std::unique_ptr<TBitmap>> pictures_;
};
