// The registration list editor's moves on stand-in rows: the rows and both working lists move
// together, the selection follows the rules, drops and hints.
#include "settings/RegiListEditor.h"

#include <gtest/gtest.h>

#include <vector>

#include "toolkit/Classes.h"

namespace {

using TList = std::vector<std::string>;

struct TFakeRows : IRegiRows {
    TList paths, flags, hints;
    int selected = -1;

    explicit TFakeRows(const TList& names) {
        for (const std::string& n : names) {
            paths.push_back("C:\\" + n);
            flags.push_back(n == "B" ? "True" : "False");
            hints.push_back("hint " + n);
        }
    }
    int Count() const override { return static_cast<int>(paths.size()); }
    int Selected() const override { return selected; }
    void Select(int index) override { selected = index; }
    void Exchange(int a, int b) override {
        std::swap(paths.at(static_cast<size_t>(a)), paths.at(static_cast<size_t>(b)));
        std::swap(flags.at(static_cast<size_t>(a)), flags.at(static_cast<size_t>(b)));
        std::swap(hints.at(static_cast<size_t>(a)), hints.at(static_cast<size_t>(b)));
    }
    void Delete(int index) override {
        paths.erase(paths.begin() + index);
        flags.erase(flags.begin() + index);
        hints.erase(hints.begin() + index);
    }
    void Insert(int index, const std::string& path, const std::string& flag, const std::string& hint) override {
        paths.insert(paths.begin() + index, path);
        flags.insert(flags.begin() + index, flag);
        hints.insert(hints.begin() + index, hint);
    }
};

}  // namespace

TEST(RegiListEditor, UpAndDownMoveTheSelectedEntryWithItsFlagAndHint) {
    TFakeRows rows({"A", "B", "C"});
    rows.selected = 1;
    EXPECT_TRUE(MoveUp(rows));
    EXPECT_EQ(rows.paths, (TList{"C:\\B", "C:\\A", "C:\\C"}));
    EXPECT_EQ(rows.flags, (TList{"True", "False", "False"}));
    EXPECT_EQ(rows.hints, (TList{"hint B", "hint A", "hint C"}));
    EXPECT_EQ(rows.selected, 0);
    EXPECT_FALSE(MoveUp(rows));  // already first
    EXPECT_EQ(rows.paths[0], "C:\\B");
    EXPECT_TRUE(MoveDown(rows));
    EXPECT_EQ(rows.paths, (TList{"C:\\A", "C:\\B", "C:\\C"}));
    EXPECT_EQ(rows.selected, 1);
    rows.selected = 2;
    EXPECT_FALSE(MoveDown(rows));  // already last
    rows.selected = -1;
    EXPECT_FALSE(MoveUp(rows));
    EXPECT_FALSE(MoveDown(rows));
    EXPECT_EQ(rows.paths, (TList{"C:\\A", "C:\\B", "C:\\C"}));
    EXPECT_EQ(rows.selected, -1);
}

TEST(RegiListEditor, DeleteSelectsTheFollowingRowOrTheNewLastOne) {
    TFakeRows rows({"A", "B", "C"});
    EXPECT_FALSE(DeleteSelected(rows));  // nothing selected
    EXPECT_EQ(rows.Count(), 3);
    EXPECT_EQ(rows.selected, -1);
    rows.selected = 1;
    EXPECT_TRUE(DeleteSelected(rows));
    EXPECT_EQ(rows.paths, (TList{"C:\\A", "C:\\C"}));
    EXPECT_EQ(rows.flags, (TList{"False", "False"}));
    EXPECT_EQ(rows.hints, (TList{"hint A", "hint C"}));
    EXPECT_EQ(rows.selected, 1);  // C
    EXPECT_TRUE(DeleteSelected(rows));
    EXPECT_EQ(rows.paths, (TList{"C:\\A"}));
    EXPECT_EQ(rows.selected, 0);
    EXPECT_TRUE(DeleteSelected(rows));
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_EQ(rows.selected, -1);
    EXPECT_FALSE(DeleteSelected(rows));
}

TEST(RegiListEditor, WhereDropsLand) {
    TFakeRows rows({"A", "B"});
    rows.Insert(DropInsertIndex(1, rows.Count()), "C:\\Tools\\edit.exe", "False", "edit.exe");
    rows.Insert(DropInsertIndex(-1, rows.Count()), "D:\\表示\\ソフト.exe", "False", "ソフト.exe");  // below the rows
    rows.Insert(DropInsertIndex(9, rows.Count()), "E:", "False", "");  // a row that is not there
    EXPECT_EQ(rows.paths, (TList{"C:\\A", "C:\\Tools\\edit.exe", "C:\\B", "D:\\表示\\ソフト.exe", "E:"}));
    EXPECT_EQ(DropInsertIndex(0, 0), 0);
    EXPECT_EQ(DropInsertIndex(-1, 0), 0);
}

TEST(RegiListEditor, TheHintIsTheOwnTextOnlyWhenTheFlagSaysSo) {
    EXPECT_EQ(RowHint("True", "Editor", "C:\\e.exe"), "Editor");
    EXPECT_EQ(RowHint("tRUE", "Editor", "C:\\e.exe"), "Editor");
    EXPECT_EQ(RowHint("False", "Editor", "C:\\e.exe"), "C:\\e.exe");
    EXPECT_EQ(RowHint("True", "", "C:\\e.exe"), "");
    EXPECT_THROW(RowHint("yes", "Editor", "C:\\e.exe"), EConvertError);
    EXPECT_THROW(RowHint("", "Editor", "C:\\e.exe"), EConvertError);
}
