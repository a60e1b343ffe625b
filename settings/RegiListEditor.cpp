#include "settings/RegiListEditor.h"

#include "app/UnitUtils.h"

bool MoveUp(IRegiRows& rows) {
    int i = rows.Selected();
    if (i <= 0 || i >= rows.Count()) return false;
    rows.Exchange(i, i - 1);
    rows.Select(i - 1);
    return true;
}

bool MoveDown(IRegiRows& rows) {
    int i = rows.Selected();
    if (i < 0 || i >= rows.Count() - 1) return false;
    rows.Exchange(i, i + 1);
    rows.Select(i + 1);
    return true;
}

bool DeleteSelected(IRegiRows& rows) {
    int s = rows.Selected();
    bool deleted = false;
    // From the last row to the first, every selected one; the list lets one row be selected.
    for (int i = rows.Count() - 1; i >= 0; --i) {
        if (i == s) {
            rows.Delete(i);
            deleted = true;
        }
    }
    int count = rows.Count();
    if (count == 0 || s < 0)
        rows.Select(-1);
    else
        rows.Select(s < count ? s : count - 1);
    return deleted;
}

int DropInsertIndex(int rowUnderPoint, int count) {
    return rowUnderPoint >= 0 && rowUnderPoint < count ? rowUnderPoint : count;
}

std::string RowHint(const std::string& flag, const std::string& hint, const std::string& path) {
    return StrToBool(flag) ? hint : path;
}
