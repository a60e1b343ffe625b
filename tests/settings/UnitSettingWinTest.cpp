// The real settings dialog, modal, driven from inside its loop: pages, OK, Cancel and the close
// box, the keys, the values and their controls, and what a drop elsewhere on it meets.
#include "settings/UnitSetting.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include "settings/SettingsFixture.h"

namespace {

using TSteps = std::vector<TDialogScript::TStep>;

// Chooses an item of a drop-down list as the user does: the list's selection and its notice.
void Choose(TComboBox* combo, const std::string& text) {
    HWND h = combo->Handle();
    std::wstring wide = SjisToWide(text);
    LRESULT i = SendMessageW(h, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str()));
    ASSERT_NE(i, CB_ERR) << text;
    SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    SendMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(combo->Id(), CBN_SELCHANGE), reinterpret_cast<LPARAM>(h));
}

TTabSheet* VisiblePage(TfrmSetting* d) {
    TTabSheet* shown = nullptr;
    int visible = 0;
    for (TTabSheet* page : {d->tbsRegist, d->tbsLaunchBtn, d->tbsShowType})
        if (IsWindowVisible(page->Handle())) {
            shown = page;
            ++visible;
        }
    return visible == 1 ? shown : nullptr;
}

}  // namespace

TEST(SettingDialog, OpensOnTheIndexedPageWithTheFocusOnOK) {
    for (int32_t index : {0, 1, 2, 7}) {
        TSettingsFixture f({"A"});
        f.page = index;
        std::string shown, active;
        bool focusOnOK = false;
        bool ok = f.Edit([&](TfrmSetting* d) {
            return TSteps{WaitShown(d), Do([&, d] {
                              shown = VisiblePage(d) != nullptr ? VisiblePage(d)->Name : "none or several";
                              active = d->pgcSetting->ActivePage() != nullptr ? d->pgcSetting->ActivePage()->Name : "";
                              focusOnOK = GetFocus() == d->bbnOK->Handle();
                              Press(d->bbnCancel->Handle());
                          })};
        });
        EXPECT_FALSE(ok);
        EXPECT_EQ(f.page, index);  // Cancel keeps it
        EXPECT_EQ(shown, index == 1 ? "tbsLaunchBtn" : index == 2 ? "tbsShowType" : "tbsRegist") << index;
        EXPECT_EQ(active, shown) << index;
        EXPECT_TRUE(focusOnOK) << index;
    }
}

TEST(SettingDialog, OkStoresTheShowingPageAndTheNextOpeningShowsIt) {
    TSettingsFixture f({"A"});
    TLauncherSettings before = f.settings;
    ASSERT_TRUE(f.Edit([](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([d] { ClickTab(d->pgcSetting->Handle(), 1); }),
                      Do([d] { EXPECT_EQ(VisiblePage(d), d->tbsLaunchBtn); }), Do([d] { Press(d->bbnOK->Handle()); })};
    }));
    EXPECT_EQ(f.page, 1);
    before.ButtonsPerPage = before.PannelCol * before.PannelRow;
    EXPECT_EQ(f.settings, before);  // nothing else changed, Left and Top included
    std::string name;
    EXPECT_FALSE(f.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([&, d] {
                          name = VisiblePage(d) != nullptr ? VisiblePage(d)->Name : "";
                          ClickTab(d->pgcSetting->Handle(), 2);
                      }),
                      Do([d] { Press(d->bbnCancel->Handle()); })};
    }));
    EXPECT_EQ(name, "tbsLaunchBtn");
    EXPECT_EQ(f.page, 1);  // Cancel given on another page
}

TEST(SettingDialog, CancelAndTheCloseBoxChangeNothingAfterEditsOnEveryPage) {
    for (bool closeBox : {false, true}) {
        TSettingsFixture f({"A", "B", "C"});
        f.flags.Put(1, "True");
        f.settings.Animation = true;
        const TLauncherSettings settings = f.settings;
        const std::vector<std::string> files = Texts(f.files), flags = Texts(f.flags), hints = Texts(f.hints);
        std::vector<TBitmap*> icons;
        for (size_t i = 0; i < f.icons.size(); ++i) icons.push_back(f.icons[i].get());
        bool ok = f.Edit([&](TfrmSetting* d) {
            return TSteps{WaitShown(d), Do([d] {
                              d->lbxRegiApp->SetItemIndex(1);
                              Press(d->bbnUp->Handle());
                              Press(d->bbnDelete->Handle());
                              DropFiles(d->lbxRegiApp->Handle(), {ExeFolder() + "zumaro_wintests.exe"}, {5, 5});
                              ClickTab(d->pgcSetting->Handle(), 1);
                              Choose(d->cmbBtnCol, "5");
                              Choose(d->cmbButtonSize, "16");
                              ClickTab(d->pgcSetting->Handle(), 2);
                              Choose(d->cmbHotKey2, "Z");
                              Press(d->chbAnimation->Handle());
                              Press(d->chbAutoClose->Handle());
                              SendMessageA(d->trbSpeed->Handle(), TBM_SETPOS, TRUE, 9);
                              EXPECT_EQ(Rows(d).size(), 3u);
                          }),
                          Do([d, closeBox] {
                              if (closeBox)
                                  PostMessageA(d->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
                              else
                                  Press(d->bbnCancel->Handle());
                          })};
        });
        EXPECT_FALSE(ok) << closeBox;
        EXPECT_EQ(f.settings, settings);
        EXPECT_EQ(Texts(f.files), files);
        EXPECT_EQ(Texts(f.flags), flags);
        EXPECT_EQ(Texts(f.hints), hints);
        EXPECT_EQ(f.page, 0);
        ASSERT_EQ(f.icons.size(), icons.size());
        for (size_t i = 0; i < icons.size(); ++i) EXPECT_EQ(f.icons[i].get(), icons[i]);
    }
}

TEST(SettingDialog, EnterPressesOnlyTheFocusedButtonAndEscapeDoesNotClose) {
    TSettingsFixture f;
    // At once: the focus is on OK.
    EXPECT_TRUE(f.Edit([](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([] { PostKey(GetFocus(), VK_RETURN); })};
    }));
    bool stillOpen = false;
    EXPECT_FALSE(f.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([] { PostKey(GetFocus(), VK_ESCAPE); }), Pause(100),
                      Do([&, d] { stillOpen = IsWindowVisible(d->Handle()) != FALSE; }),
                      // Tab moves on to Cancel, where Enter cancels.
                      Do([] { PostKey(GetFocus(), VK_TAB); }), Pause(50),
                      Do([d] { EXPECT_EQ(GetFocus(), d->bbnCancel->Handle()); }),
                      Do([] { PostKey(GetFocus(), VK_RETURN); })};
    }));
    EXPECT_TRUE(stillOpen);
    // Enter on a drop-down list presses nothing.
    bool openAfterEnter = false;
    EXPECT_FALSE(f.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([d] { ClickTab(d->pgcSetting->Handle(), 1); }),
                      Do([d] {
                          d->cmbBtnRow->SetFocus();
                          PostKey(d->cmbBtnRow->Handle(), VK_RETURN);
                      }),
                      Pause(100), Do([&, d] { openAfterEnter = IsWindowVisible(d->Handle()) != FALSE; }),
                      Do([d] { Press(d->bbnCancel->Handle()); })};
    }));
    EXPECT_TRUE(openAfterEnter);
}

TEST(SettingDialog, TabOrderFollowsTheFormThenThePage) {
    TSettingsFixture f;
    f.page = 2;
    std::vector<HWND> seen;
    std::vector<HWND> want;
    f.Edit([&](TfrmSetting* d) {
        want = {d->bbnCancel->Handle(), d->pgcSetting->Handle(), d->cmbHotKey1->Handle(), d->cmbHotKey2->Handle(),
                d->chbAnimation->Handle(), d->trbSpeed->Handle(), d->chbAutoClose->Handle(), d->chbSound->Handle(),
                d->bbnOK->Handle()};
        TSteps steps{WaitShown(d)};
        for (size_t i = 0; i < want.size(); ++i) {
            steps.push_back(Do([] { PostKey(GetFocus(), VK_TAB); }));
            steps.push_back(Pause(30));
            steps.push_back(Do([&] { seen.push_back(GetFocus()); }));
        }
        steps.push_back(Do([d] { Press(d->bbnCancel->Handle()); }));
        return steps;
    });
    EXPECT_EQ(seen, want);
}

TEST(SettingDialog, ValuesToControlsAndBack) {
    TSettingsFixture f;
    f.settings.PannelCol = 2;
    f.settings.PannelRow = 2;
    f.settings.BtnWidth = 32;
    f.settings.BtnHeight = 30;
    f.settings.HotKey1 = 2;
    f.settings.HotKey2 = "Q";
    f.settings.ZumaroSpeed = 0;
    f.settings.Left = -40;
    f.settings.Top = 9999;
    int hotKey2Index = -2, hotKey1Index = -2, speed = -1;
    ASSERT_TRUE(f.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([&, d] {
                          hotKey2Index = d->cmbHotKey2->ItemIndex();
                          hotKey1Index = d->cmbHotKey1->ItemIndex();
                          speed = d->trbSpeed->Position();
                          Choose(d->cmbBtnCol, "3");
                          Choose(d->cmbBtnRow, "4");
                          Choose(d->cmbButtonSize, "24");
                          Choose(d->cmbIconBound, "28");
                          Choose(d->cmbHotKey1, "CTRL+ALT");
                          Choose(d->cmbHotKey2, "Z");
                          Press(d->chbAutoClose->Handle());
                          Press(d->bbnOK->Handle());
                      })};
    }));
    EXPECT_EQ(hotKey2Index, 16);
    EXPECT_EQ(hotKey1Index, 2);
    EXPECT_EQ(speed, 1);
    const TLauncherSettings& s = f.settings;
    EXPECT_EQ(s.PannelCol, 3);
    EXPECT_EQ(s.PannelRow, 4);
    EXPECT_EQ(s.ButtonsPerPage, 12);
    EXPECT_EQ(s.BtnWidth, 24);
    EXPECT_EQ(s.BtnHeight, 24);
    EXPECT_EQ(s.SmallLargeBoundary, 28);
    EXPECT_EQ(s.HotKey1, 0);
    EXPECT_EQ(s.HotKey2, "Z");
    EXPECT_EQ(s.ZumaroSpeed, 1);
    EXPECT_TRUE(s.AutoClose);
    EXPECT_EQ(s.Left, -40);
    EXPECT_EQ(s.Top, 9999);

    f.settings.ZumaroSpeed = 15;
    ASSERT_TRUE(f.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([&, d] {
                          speed = d->trbSpeed->Position();
                          Press(d->bbnOK->Handle());
                      })};
    }));
    EXPECT_EQ(speed, 10);
    EXPECT_EQ(f.settings.ZumaroSpeed, 10);
}

TEST(SettingDialog, AnimationOffGreysFiveControlsAndTheGreyedSoundIsStillSaved) {
    TSettingsFixture f;
    f.settings.Animation = false;
    f.settings.ZumaroSound = true;
    f.page = 2;
    std::string caption, captionOn, captionOff;
    std::vector<BOOL> enabled, enabledOn;
    ASSERT_TRUE(f.Edit([&](TfrmSetting* d) {
        auto states = [d] {
            std::vector<BOOL> v;
            for (TSysControl* c : std::initializer_list<TSysControl*>{d->lblSpeed1, d->lblSpeed2, d->lblSpeed3, d->trbSpeed, d->chbSound})
                v.push_back(IsWindowEnabled(c->Handle()));
            return v;
        };
        return TSteps{WaitShown(d), Shot(d, "setting-plain-launcher"), Do([&, d, states] {
                          caption = WindowText(d->Handle());
                          enabled = states();
                          Press(d->chbAnimation->Handle());
                          captionOn = WindowText(d->Handle());
                          enabledOn = states();
                          EXPECT_TRUE(d->chbSound->Checked());
                          Press(d->chbSound->Handle());  // the sound box alone changes only itself
                          EXPECT_FALSE(d->chbSound->Checked());
                          EXPECT_EQ(states(), enabledOn);
                          Press(d->chbSound->Handle());
                          Press(d->chbAnimation->Handle());
                          captionOff = WindowText(d->Handle());
                          Press(d->bbnOK->Handle());
                      })};
    }));
    EXPECT_EQ(caption, "ただのランチャーの設定");
    EXPECT_EQ(enabled, std::vector<BOOL>(5, FALSE));
    EXPECT_EQ(captionOn, "ズマロランチャーの設定");
    EXPECT_EQ(enabledOn, std::vector<BOOL>(5, TRUE));
    EXPECT_EQ(captionOff, "ただのランチャーの設定");
    EXPECT_FALSE(f.settings.Animation);
    EXPECT_TRUE(f.settings.ZumaroSound);  // from the greyed box
}

TEST(SettingDialog, HandEditedValuesOutsideTheListsSurviveOK) {
    TSettingsFixture f;
    f.settings.PannelCol = 8;
    f.settings.PannelRow = 2;
    f.settings.BtnWidth = 22;
    f.settings.BtnHeight = 23;
    f.settings.SmallLargeBoundary = 40;
    f.settings.HotKey1 = 5;
    f.settings.ButtonsPerPage = 0;
    int col = 0, size = 0, hotKey1 = 0;
    ASSERT_TRUE(f.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([&, d] {
                          col = d->cmbBtnCol->ItemIndex();
                          size = d->cmbButtonSize->ItemIndex();
                          hotKey1 = d->cmbHotKey1->ItemIndex();
                          Press(d->bbnOK->Handle());
                      })};
    }));
    EXPECT_EQ(col, -1);
    EXPECT_EQ(size, -1);
    EXPECT_EQ(hotKey1, -1);
    EXPECT_EQ(f.settings.PannelCol, 8);
    EXPECT_EQ(f.settings.ButtonsPerPage, 16);
    EXPECT_EQ(f.settings.BtnWidth, 22);
    EXPECT_EQ(f.settings.BtnHeight, 23);
    EXPECT_EQ(f.settings.SmallLargeBoundary, 40);
    EXPECT_EQ(f.settings.HotKey1, 5);
}

TEST(SettingDialog, OwnedByTheApplicationAndOnlyTheListTakesDrops) {
    TSettingsFixture f({"A"});
    f.main->Show();
    bool panelDisabled = false, panelBack = false;
    ASSERT_FALSE(f.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([&, d] {
                          // No owner window: the shell's walk up from a control ends at the dialog.
                          EXPECT_EQ(GetWindow(d->Handle(), GW_OWNER), nullptr);
                          EXPECT_EQ(GetParent(d->Handle()), nullptr);
                          panelDisabled = !IsWindowEnabled(f.main->Handle());
                          // Above the stay-on-top panel, which would otherwise cover its middle.
                          EXPECT_TRUE(GetWindowLongA(d->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
                          for (TSysControl* c : std::initializer_list<TSysControl*>{d->bbnOK, d->bbnUp, d->pgcSetting, d->tbsRegist}) {
                              for (HWND h = c->Handle(); h != nullptr; h = GetParent(h))
                                  EXPECT_FALSE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << c->Name;
                          }
                          EXPECT_TRUE(GetWindowLongA(d->lbxRegiApp->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
                          Press(d->bbnCancel->Handle());
                      })};
    }));
    panelBack = IsWindowEnabled(f.main->Handle()) != FALSE;
    EXPECT_TRUE(panelDisabled);
    EXPECT_TRUE(panelBack);
}

TEST(SettingDialog, Screenshots) {
    TSettingsFixture f({"A", "B", "C"});
    f.flags.Put(2, "True");
    ASSERT_TRUE(f.Edit([](TfrmSetting* d) {
        auto enable = [d](bool on) {
            for (TSysControl* c : std::initializer_list<TSysControl*>{d->bbnUp, d->bbnDown, d->bbnAdd, d->bbnDetail}) c->SetEnabled(on);
        };
        return TSteps{WaitShown(d), Do([d] { d->lbxRegiApp->SetItemIndex(1); }), Shot(d, "setting-regist"),
                      // The greyed glyphs, which the program itself never needs.
                      Do([enable] { enable(false); }), Shot(d, "setting-regist-greyed"), Do([enable] { enable(true); }),
                      Do([d] { ClickTab(d->pgcSetting->Handle(), 1); }), Shot(d, "setting-launchbtn"),
                      Do([d] { ClickTab(d->pgcSetting->Handle(), 2); }), Shot(d, "setting-showtype"),
                      Do([d] { SendMessageA(d->cmbHotKey1->Handle(), CB_SHOWDROPDOWN, TRUE, 0); }),
                      Shot(d, "setting-showtype-dropdown"),
                      Do([d] { SendMessageA(d->cmbHotKey1->Handle(), CB_SHOWDROPDOWN, FALSE, 0); }),
                      Do([d] { Press(d->bbnOK->Handle()); })};
    }));
}

// The list's rows show the panel's pictures, made from its cache when a row is first drawn.
TEST(SettingDialog, ARowsPictureIsMadeWhenTheRowIsFirstDrawn) {
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i) names.push_back("row" + std::to_string(i));
    TSettingsFixture f(names);
    int inView = -1, afterScroll = -1;
    bool lastBefore = true, lastAfter = false;
    f.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Pause(100), Do([&, d] {
                          inView = f.cache.Asked();
                          lastBefore = !f.icons.Peek(39)->Empty();
                          d->lbxRegiApp->SetItemIndex(39);  // scrolls the last row into view
                          UpdateWindow(d->lbxRegiApp->Handle());
                          afterScroll = f.cache.Asked();
                          lastAfter = !f.icons.Peek(39)->Empty();
                          Press(d->bbnCancel->Handle());
                      })};
    });
    EXPECT_GT(inView, 0);
    EXPECT_LT(inView, 40) << "only the rows in view";
    EXPECT_FALSE(lastBefore);
    EXPECT_GT(afterScroll, inView);
    EXPECT_TRUE(lastAfter);
    int nonWhite = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) nonWhite += f.icons.Peek(39)->Pixel(x, y) != RGB(255, 255, 255);
    EXPECT_GT(nonWhite, 0) << "the shell's small icon of row39.txt";
}

// The list draws its rows itself but keeps their texts: a screen reader reads each row as its path,
// the selected one selected.
TEST(SettingDialog, AScreenReaderReadsEachRowAsItsPath) {
    TSettingsFixture f({"メモ", "b"}, "True");
    std::vector<std::string> read;
    long selected = 0;
    f.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([&, d] {
                          d->lbxRegiApp->SetItemIndex(1);
                          IAccessible* acc = nullptr;
                          if (SUCCEEDED(AccessibleObjectFromWindow(d->lbxRegiApp->Handle(), static_cast<DWORD>(OBJID_CLIENT),
                                                                   IID_IAccessible, reinterpret_cast<void**>(&acc)))) {
                              long count = 0;
                              acc->get_accChildCount(&count);
                              for (long id = 1; id <= count; ++id) {
                                  VARIANT child, state;
                                  VariantInit(&child);
                                  child.vt = VT_I4;
                                  child.lVal = id;
                                  BSTR name = nullptr;
                                  acc->get_accName(child, &name);
                                  read.push_back(name != nullptr ? WideToSjis(name) : "");
                                  SysFreeString(name);
                                  if (SUCCEEDED(acc->get_accState(child, &state)) && (state.lVal & STATE_SYSTEM_SELECTED))
                                      selected = id;
                              }
                              acc->Release();
                          }
                          Press(d->bbnCancel->Handle());
                      })};
    });
    EXPECT_EQ(read, (std::vector<std::string>{f.PathOf("メモ"), f.PathOf("b")}));
    EXPECT_EQ(selected, 2);
}

// Moved to a monitor of 144 dpi and back: the layout and its font, the rows and the glyphs grow one and
// a half times; the panel's pictures stay those of its own DPI.
TEST(SettingDialog, ADpiChangeLaysTheDialogOutAgainAtTheNewScale) {
    TSettingsFixture f({"A", "B"});
    TDpiTrip trip;
    int dpi = 0, row96 = 0, row = 0, glyph96 = 0, glyph = 0, panelPicture = 0;
    auto rowHeight = [](TfrmSetting* d) { return SendMessageA(d->lbxRegiApp->Handle(), LB_GETITEMHEIGHT, 0, 0); };
    ASSERT_TRUE(f.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Pause(100), Do([&, d] {
                          row96 = static_cast<int>(rowHeight(d));
                          glyph96 = d->bbnUp->Glyph.Height();
                      }),
                      DpiTrip([d] { return d->Handle(); }, 144, trip, "setting-regist-144",
                              [&, d] {
                                  dpi = d->Dpi();
                                  row = static_cast<int>(rowHeight(d));
                                  glyph = d->bbnUp->Glyph.Height();
                                  panelPicture = f.icons.Peek(0)->Width();
                              }),
                      Do([d] { Press(d->bbnOK->Handle()); })};
    }));
    ExpectDpiTrip(trip, 144);
    EXPECT_EQ(dpi, 144);
    EXPECT_EQ(2 * row, 3 * row96);
    EXPECT_EQ(glyph, 2 * glyph96);
    EXPECT_EQ(panelPicture, 16) << "drawn by the panel at 96 dpi";
}
