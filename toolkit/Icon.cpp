#include "toolkit/Icon.h"

#include "toolkit/WideText.h"

void TIcon::Assign(const TIcon* source) {
    if (source == this) return;
    icon_.Reset(source != nullptr && !source->Empty() ? CopyIcon(source->Handle()) : nullptr);
}

bool TIcon::LoadFromResourceName(const char* name, int size) {
    auto icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), TResName(name), IMAGE_ICON, size, size, 0));
    icon_.Reset(icon);
    return icon != nullptr;
}
