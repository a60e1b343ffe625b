#include "toolkit/Classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

class TLogged : public TComponent {
public:
    TLogged(TComponent* owner, std::string name) : TComponent(owner) { Name = std::move(name); }
    ~TLogged() override { g_log.push_back("~" + Name); }
    void Loaded() override { g_log.push_back("Loaded " + Name); }
    void BeforeDestruction() override { g_log.push_back("before " + Name); }
};

class TWatcher : public TComponent {
public:
    using TComponent::TComponent;
    TComponent* Watched = nullptr;
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == TOperation::opRemove && c == Watched) Watched = nullptr;
    }
};

}  // namespace

TEST(Component, OwnerDestroysOwnedLastFirstAfterTheirLastWords) {
    g_log.clear();
    auto* root = new TLogged(nullptr, "root");
    new TLogged(root, "a");
    auto* b = new TLogged(root, "b");
    new TLogged(b, "b1");
    EXPECT_EQ(root->ComponentCount(), 2);
    root->LoadedAll();
    TComponent::Free(root);
    std::vector<std::string> want = {"Loaded a", "Loaded b", "before root", "before b", "before b1",
                                     "~b1",      "~b",       "before a",    "~a",       "~root"};
    EXPECT_EQ(g_log, want);
}

TEST(Component, FreeingOneOwnedComponentLeavesTheOthers) {
    g_log.clear();
    auto* root = new TLogged(nullptr, "root");
    auto* a = new TLogged(root, "a");
    new TLogged(root, "b");
    TComponent::Free(a);
    ASSERT_EQ(root->ComponentCount(), 1);
    EXPECT_EQ(root->Components(0)->Name, "b");
    TComponent::Free(root);
}

TEST(Component, RemovalNoticeClearsTheReference) {
    TWatcher watcher(nullptr);
    auto* watched = new TLogged(nullptr, "w");
    watcher.Watched = watched;
    watcher.FreeNotification(watched);
    TComponent::Free(watched);
    EXPECT_EQ(watcher.Watched, nullptr);

    // And the other way round: a watcher that goes first is not called later.
    auto* early = new TWatcher(nullptr);
    auto* later = new TLogged(nullptr, "later");
    early->Watched = later;
    early->FreeNotification(later);
    TComponent::Free(early);
    TComponent::Free(later);  // must not touch the freed watcher (ASan would say)
}

TEST(StringList, EditingOperationsAndBounds) {
    TStringList list;
    list.Add("a");
    list.Add("b");
    list.Add("c");
    list.Insert(0, "z");
    list.Move(0, 3);  // a b c z
    list.Exchange(0, 2);  // c b a z
    list.Delete(1);  // c a z
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0], "c");
    EXPECT_EQ(list[1], "a");
    EXPECT_EQ(list[2], "z");
    EXPECT_EQ(list.IndexOf("z"), 2);
    EXPECT_EQ(list.IndexOf("q"), -1);
    EXPECT_THROW(list.Get(3), Exception);
    EXPECT_THROW(list.Delete(-1), Exception);
    EXPECT_THROW(list.Insert(5, "x"), Exception);
    list.Insert(3, "end");
    EXPECT_EQ(list[3], "end");
}
