#include "panel/IconCache.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/UnitUtils.h"
#include "toolkit/Forms.h"

// The shell finds a file by parsing its path from the desktop down, folder by folder, each time it
// is asked by path, and binds the item's folder again (under Wine that searches all of the folder).
// The folders of the entries are parsed and bound once here, and each file's icon is asked of its
// folder, as the shell's own views do: the same icon, found faster.
class TShellFolders {
public:
    ~TShellFolders() {
        for (auto& [name, folder] : folders_)
            if (folder != nullptr) folder->Release();
    }
    // The place of the path's icon in the system's image lists; false where the folder cannot be
    // parsed or has no icon for it (the path is asked for as it is then).
    bool IconIndex(const std::string& path, int& index) {
        TMap map = MapToSystemList();
        std::string folderPath = ExtractFilePath(path), name = ExtractFileName(path);
        if (map == nullptr || folderPath.empty() || name.empty()) return false;
        auto [found, added] = folders_.try_emplace(folderPath, nullptr);
        if (added) found->second = Bind(folderPath);
        IShellFolder* folder = found->second;
        if (folder == nullptr) return false;
        std::wstring wide = SjisToWide(name);
        LPITEMIDLIST child = nullptr;
        if (FAILED(folder->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &child, nullptr))) return false;
        int openIndex = -1;
        index = map(folder, child, &openIndex);
        CoTaskMemFree(child);
        return index >= 0;
    }

private:
    // The folder's shell object, or null where the shell cannot parse or bind it.
    static IShellFolder* Bind(const std::string& folderPath) {
        IShellFolder* desktop = nullptr;
        if (FAILED(SHGetDesktopFolder(&desktop))) return nullptr;
        std::wstring wide = SjisToWide(folderPath);
        LPITEMIDLIST pidl = nullptr;
        IShellFolder* folder = nullptr;
        if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &pidl, nullptr)) &&
            FAILED(desktop->BindToObject(pidl, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder))))
            folder = nullptr;
        CoTaskMemFree(pidl);
        desktop->Release();
        return folder;
    }

    std::map<std::string, IShellFolder*> folders_;

    // The shell's look-up of an item's icon within its folder; looked for by name, since not every
    // version of the shell names it.
    using TMap = int(WINAPI*)(IShellFolder*, LPCITEMIDLIST, int*);
    static TMap MapToSystemList() {
        static TMap map = reinterpret_cast<TMap>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"shell32.dll"), "SHMapPIDLToSystemImageListIndex")));
        return map;
    }
};

namespace {

// IImageList's interface identifier; the import libraries lack it.
constexpr GUID kIImageList = {0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};

// The shell's image lists of every size it keeps (small, large, extra large, jumbo), with their
// sizes as this process sees them: at a DPI other than 96 the small and large ones are the
// system's icon sizes for it.
struct TSystemList {
    HIMAGELIST List = nullptr;
    int Size = 0;
};

const std::vector<TSystemList>& SystemLists() {
    static const std::vector<TSystemList> lists = [] {
        std::vector<TSystemList> found;
        for (int which : {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE, SHIL_JUMBO}) {
            HIMAGELIST list = nullptr;
            if (FAILED(SHGetImageList(which, kIImageList, reinterpret_cast<void**>(&list))) || list == nullptr)
                continue;
            int cx = 0, cy = 0;
            if (ImageList_GetIconSize(list, &cx, &cy) && cx > 0) found.push_back({list, cx});
        }
        return found;
    }();
    return lists;
}

// The list whose icons are the smallest not smaller than pixels, else the largest there is: an
// icon is drawn down to its place, never up.
const TSystemList* ListFor(int pixels) {
    const TSystemList* best = nullptr;
    for (const TSystemList& l : SystemLists()) {
        bool fits = l.Size >= pixels;
        if (best == nullptr || (fits && (best->Size < pixels || l.Size < best->Size)) ||
            (!fits && best->Size < pixels && l.Size > best->Size))
            best = &l;
    }
    return best;
}

}  // namespace

int SystemIconIndex(const std::string& path, TShellFolders* folders) {
    // Only a path that is there is shown to the shell: for a vanished one some shells still hand
    // out a generic icon, and the entry must look empty.
    if (PathAttributes(path) == INVALID_FILE_ATTRIBUTES) return -1;
    std::wstring wide = SjisToWide(path);
    // One look-up gives the icon's place in the system's image lists, which hold every size.
    int index = -1;
    if (folders != nullptr && folders->IconIndex(path, index)) return index;
    SHFILEINFOW info{};
    auto list = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(wide.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX));
    return list != nullptr ? info.iIcon : -1;
}

void DrawSystemIcon(int index, int pixels, TBitmap* picture) {
    picture->SetSize(pixels, pixels);
    const TSystemList* l = index >= 0 ? ListFor(pixels) : nullptr;
    if (l == nullptr) return;  // no icon from the shell: the picture stays white
    if (l->Size <= pixels) {
        // Whole, or centred where even the largest is smaller: never blurred by drawing it up.
        TBitmapCanvas canvas(*picture);
        int at = (pixels - l->Size) / 2;
        ImageList_Draw(l->List, index, canvas.Handle(), at, at, ILD_NORMAL);
        return;
    }
    // Drawn whole at its own size on the same white ground, then made smaller with every pixel
    // of it averaged in.
    TBitmap whole;
    whole.SetSize(l->Size, l->Size);
    TBitmapCanvas from(whole);
    ImageList_Draw(l->List, index, from.Handle(), 0, 0, ILD_NORMAL);
    TBitmapCanvas to(*picture);
    SetStretchBltMode(to.Handle(), HALFTONE);
    SetBrushOrgEx(to.Handle(), 0, 0, nullptr);
    StretchBlt(to.Handle(), 0, 0, pixels, pixels, from.Handle(), 0, 0, l->Size, l->Size, SRCCOPY);
}

void MakeIconBitmaps(const std::string& path, TBitmap* large, TBitmap* small, TShellFolders* folders, int dpi) {
    int index = SystemIconIndex(path, folders);
    DrawSystemIcon(index, ScaleForDpi(32, dpi), large);
    DrawSystemIcon(index, ScaleForDpi(16, dpi), small);
}

TIconCache::TIconCache() : folders_(std::make_unique<TShellFolders>()) {}

TIconCache::~TIconCache() = default;

const TBitmap& TIconCache::Picture(const std::string& path, int pixels) {
    auto found = kept_.find(path);
    if (found == kept_.end()) {
        // Asked again next time when the look-up throws.
        int index = SystemIconIndex(path, folders_.get());
        ++asked_;
        found = kept_.try_emplace(path).first;
        found->second.Index = index;
    }
    auto& pictures = found->second.Pictures;
    auto made = pictures.find(pixels);
    if (made != pictures.end()) return made->second;
    made = pictures.try_emplace(pixels).first;
    try {
        DrawSystemIcon(found->second.Index, pixels, &made->second);
    } catch (...) {
        pictures.erase(made);
        throw;
    }
    return made->second;
}

const std::unique_ptr<TBitmap>& TIconList::operator[](size_t index) {
    std::unique_ptr<TBitmap>& picture = pictures_.at(index);
    if (!picture) picture = std::make_unique<TBitmap>();
    if (picture->Empty() && paths_ != nullptr && index < static_cast<size_t>(paths_->Count())) {
        const std::string& path = (*paths_)[static_cast<int>(index)];
        picture->Assign(large_ ? &cache_->Large(path, dpi_) : &cache_->Small(path, dpi_));
    }
    return picture;
}

TBitmap* TIconList::Peek(size_t index) {
    std::unique_ptr<TBitmap>& picture = pictures_.at(index);
    if (!picture) picture = std::make_unique<TBitmap>();
    return picture.get();
}

void TIconList::SetDpi(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    // Emptied, not dropped: whoever holds a picture keeps it, and it is made again when read.
    for (auto& picture : pictures_)
        if (picture) picture->Clear();
}
