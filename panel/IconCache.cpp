#include "panel/IconCache.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

void MakeIconBitmaps(const std::string& path, TBitmap* large, TBitmap* small) {
    large->SetSize(32, 32);
    small->SetSize(16, 16);
    // Only a path that is there is shown to the shell: for a vanished one some shells still hand
    // out a generic icon, and the entry must look empty.
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    // One look-up gives the icon's place in the system's image lists, which hold both sizes.
    SHFILEINFOA info{};
    auto largeList = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX));
    static HIMAGELIST smallList = nullptr;
    if (largeList != nullptr && smallList == nullptr) {
        SHFILEINFOA first{};
        smallList = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoA(path.c_str(), 0, &first, sizeof first, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    }
    for (auto [bitmap, list] : {std::pair{large, largeList}, std::pair{small, smallList}}) {
        if (list == nullptr) continue;  // no icon from the shell: the bitmap stays white
        TBitmapCanvas canvas(*bitmap);
        ImageList_Draw(list, info.iIcon, canvas.Handle(), 0, 0, ILD_NORMAL);
    }
}

TIconCache::TPair& TIconCache::Find(const std::string& path) {
    auto found = kept_.find(path);
    if (found != kept_.end()) return found->second;
    auto made = kept_.try_emplace(path).first;
    try {
        MakeIconBitmaps(path, &made->second.Large, &made->second.Small);
    } catch (...) {
        kept_.erase(made);  // asked again next time
        throw;
    }
    return made->second;
}

const std::unique_ptr<TBitmap>& TIconList::operator[](size_t index) {
    std::unique_ptr<TBitmap>& picture = pictures_.at(index);
    if (!picture) picture = std::make_unique<TBitmap>();
    if (picture->Empty() && paths_ != nullptr && index < static_cast<size_t>(paths_->Count())) {
        const std::string& path = (*paths_)[static_cast<int>(index)];
        picture->Assign(large_ ? &cache_->Large(path) : &cache_->Small(path));
    }
    return picture;
}

TBitmap* TIconList::Peek(size_t index) {
    std::unique_ptr<TBitmap>& picture = pictures_.at(index);
    if (!picture) picture = std::make_unique<TBitmap>();
    return picture.get();
}
