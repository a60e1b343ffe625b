// An icon image: one owned icon handle, copied on assignment.
#pragma once

#include <windows.h>

#include "toolkit/Graphics.h"

class TIcon : public TObject {
public:
    TIcon() = default;
    bool Empty() const { return !icon_; }
    HICON Handle() const { return icon_.Get(); }
    // Takes a copy of the other icon's image (none when it is empty).
    void Assign(const TIcon* source);
    // The image of the program's icon resource nearest to the size; false when there is none.
    bool LoadFromResourceName(const char* name, int size);
    void Clear() { icon_.Reset(); }

private:
    TIconHandle icon_;
};
