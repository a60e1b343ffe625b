// The registration list editor's moves without its windows: the list rows and the two working
// lists are reached through IRegiRows, which keeps them parallel.
#pragma once

#include <string>

class IRegiRows {
public:
    virtual int Count() const = 0;
    virtual int Selected() const = 0;  // -1 when no row is selected
    virtual void Select(int index) = 0;  // -1 clears the selection
    // Rows a and b swap, with their pictures and both working lists' entries.
    virtual void Exchange(int a, int b) = 0;
    virtual void Delete(int index) = 0;
    // A new row at index with its own flag and hint text (its picture is the implementer's).
    virtual void Insert(int index, const std::string& path, const std::string& flag, const std::string& hint) = 0;

protected:
    ~IRegiRows() = default;
};

// The selected row one up, still selected; false when there is nothing to move.
bool MoveUp(IRegiRows& rows);
// The selected row one down, still selected; false when there is nothing to move.
bool MoveDown(IRegiRows& rows);
// Deletes the selected row; the row that followed it is selected, or the new last row.
bool DeleteSelected(IRegiRows& rows);

// Where a dropped file goes: before the row under the point, else (below the last row, on an
// empty list, outside the rows altogether) at the end.
int DropInsertIndex(int rowUnderPoint, int count);

// The hint a row shows: its own text when its flag says so, else its path. The flag is read
// with StrToBool, so a flag that is neither "True" nor "False" raises EConvertError.
std::string RowHint(const std::string& flag, const std::string& hint, const std::string& path);
