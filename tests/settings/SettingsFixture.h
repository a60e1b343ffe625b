// The settings dialog as the panel hands it its data: a real main window (its icons, its hint
// window) in a temporary folder, and a record and lists of entries that exist.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "panel/UnitMain.h"
#include "settings/DialogDriver.h"
#include "settings/UnitSetting.h"
#include "support/WinTestSupport.h"

struct TSettingsFixture {
    TTempFolder dir;
    TfrmMain* main = nullptr;
    TLauncherSettings settings;
    TStringList files, flags, hints;
    TIconCache cache;
    TIconList icons{cache, false};  // made as the rows are drawn, as the panel's are
    int32_t page = 0;

    // Entries named by the texts ("A" gives A.txt in the folder); flag and hint per entry.
    explicit TSettingsFixture(const std::vector<std::string>& names = {}, const std::string& flag = "False");
    ~TSettingsFixture();
    std::string PathOf(const std::string& name) const { return dir / (name + ".txt"); }
    void AddEntry(const std::string& name, const std::string& flag, const std::string& hint);

    // Creates the dialog, runs EditSettings while the steps drive it, and releases it.
    bool Edit(const std::function<std::vector<TDialogScript::TStep>(TfrmSetting*)>& steps);
};

// The row texts of the dialog's list.
std::vector<std::string> Rows(TfrmSetting* f);
std::vector<std::string> Texts(const TStrings& list);
