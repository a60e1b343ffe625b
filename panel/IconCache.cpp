#include "panel/IconCache.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/UnitUtils.h"
#include "toolkit/Forms.h"

// The shell finds a file by parsing its path from the desktop down, folder by folder, each time it
// is asked by path (under Wine that is most of an icon's cost). The folders of the entries are
// parsed once here, and each file is found within its folder: the same item, found faster.
class TShellFolders {
public:
    ~TShellFolders() {
        for (auto& [name, f] : folders_) {
            if (f.Folder != nullptr) f.Folder->Release();
            CoTaskMemFree(f.Pidl);
        }
    }
    // The item's whole identifier list, for the caller to free; null where the folder cannot be
    // parsed (the path is asked for as it is then).
    LPITEMIDLIST Find(const std::string& path) {
        std::string folderPath = ExtractFilePath(path), name = ExtractFileName(path);
        if (folderPath.empty() || name.empty()) return nullptr;
        TFolder& f = folders_[folderPath];
        if (!f.Tried) {
            f.Tried = true;
            IShellFolder* desktop = nullptr;
            if (FAILED(SHGetDesktopFolder(&desktop))) return nullptr;
            std::wstring wide = AnsiToWide(folderPath);
            if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &f.Pidl, nullptr)) &&
                FAILED(desktop->BindToObject(f.Pidl, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&f.Folder))))
                f.Folder = nullptr;
            desktop->Release();
        }
        if (f.Folder == nullptr) return nullptr;
        std::wstring wide = AnsiToWide(name);
        LPITEMIDLIST child = nullptr;
        if (FAILED(f.Folder->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &child, nullptr))) return nullptr;
        LPITEMIDLIST whole = ILCombine(f.Pidl, child);
        CoTaskMemFree(child);
        return whole;
    }

private:
    struct TFolder {
        bool Tried = false;
        IShellFolder* Folder = nullptr;
        LPITEMIDLIST Pidl = nullptr;
    };
    std::map<std::string, TFolder> folders_;
};

void MakeIconBitmaps(const std::string& path, TBitmap* large, TBitmap* small, TShellFolders* folders) {
    large->SetSize(32, 32);
    small->SetSize(16, 16);
    // Only a path that is there is shown to the shell: for a vanished one some shells still hand
    // out a generic icon, and the entry must look empty.
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    // One look-up gives the icon's place in the system's image lists, which hold both sizes.
    SHFILEINFOA info{};
    HIMAGELIST largeList = nullptr;
    if (LPITEMIDLIST item = folders != nullptr ? folders->Find(path) : nullptr) {
        largeList = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoA(reinterpret_cast<const char*>(item), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_SYSICONINDEX));
        CoTaskMemFree(item);
    } else {
        largeList = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX));
    }
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

TIconCache::TIconCache() : folders_(std::make_unique<TShellFolders>()) {}

TIconCache::~TIconCache() = default;

TIconCache::TPair& TIconCache::Find(const std::string& path) {
    auto found = kept_.find(path);
    if (found != kept_.end()) return found->second;
    auto made = kept_.try_emplace(path).first;
    try {
        MakeIconBitmaps(path, &made->second.Large, &made->second.Small, folders_.get());
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
