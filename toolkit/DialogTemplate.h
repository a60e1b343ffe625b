// A form's stored layout: a DIALOGEX template read from the program's resources. No window
// system here: reading the bytes, dialog units to pixels, and which control holds which.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Classes.h"

struct TDialogItem {
    uint32_t ExStyle = 0;
    uint32_t Style = 0;
    int X = 0, Y = 0, Cx = 0, Cy = 0;  // dialog units
    int Id = 0;
    std::u16string ClassName;  // predefined ordinals come back as their names ("Button", ...)
    std::u16string Text;
};

struct TDialogTemplate {
    uint32_t ExStyle = 0;
    uint32_t Style = 0;
    int X = 0, Y = 0, Cx = 0, Cy = 0;
    std::u16string Caption;
    int PointSize = 0;  // 0: no font in the template
    int Weight = 0;
    int Charset = 0;
    std::u16string FontName;
    std::vector<TDialogItem> Items;
};

// Reads a DIALOGEX template; raises Exception on anything that does not fit the format.
TDialogTemplate ParseDialogTemplate(const uint8_t* data, size_t size);

// How a layout's dialog units become pixels: a length v is v * NumX / DenX across and
// v * NumY / DenY down, rounded to nearest.
struct TDialogScale {
    int NumX = 1, DenX = 1, NumY = 1, DenY = 1;
    bool operator==(const TDialogScale&) const = default;
};

// By the font, as the system's dialogs do: a dialog unit is a quarter of the average character
// width baseX and an eighth of the height baseY.
TDialogScale FontDialogScale(int baseX, int baseY);

// For a form that fixes its client area at width x height pixels: the layout's own size, cx x cy
// units, is mapped onto exactly that area, so every control stays inside whatever the font.
TDialogScale FixedClientDialogScale(int cx, int cy, int width, int height);

// The scale a layout measured at 96 dpi has at another DPI: its font grows with the DPI, and so
// does every length, as one fraction, so that rounding never makes a control differ from the others.
TDialogScale DialogScaleForDpi(const TDialogScale& at96, int dpi);

TRectI DialogUnitsToPixels(int x, int y, int cx, int cy, const TDialogScale& scale);

// The same by the font's base units.
TRectI DialogUnitsToPixels(int x, int y, int cx, int cy, int baseX, int baseY);

// For each item, the index of the last container before it whose rectangle holds the item's
// top-left corner (a tab sheet before its controls, a page control before its sheets), or -1
// for the form itself. A container never holds one of exactly its own place (the pages of a page
// control). isContainer[i] says whether item i holds other controls.
std::vector<int> ContainerIndices(const std::vector<TDialogItem>& items, const std::vector<bool>& isContainer);

// Whether the class name is a control that holds others in a stored layout.
bool IsContainerClass(const std::u16string& className);
