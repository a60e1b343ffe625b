#include "settings/SettingsFixture.h"

#include <gtest/gtest.h>

TSettingsFixture::TSettingsFixture(const std::vector<std::string>& names, const std::string& flag) {
    WriteFileBytes(dir / "Zumaro.ini", "[Initialize]\r\n[Registered Files]\r\n");
    main = new TfrmMain(Application, dir.Path());
    frmMain = main;
    settings = main->LauncherSettings;
    icons.SetPaths(&files);
    for (const std::string& name : names) AddEntry(name, flag, "ヒント" + name);
}

TSettingsFixture::~TSettingsFixture() {
    frmMain = nullptr;
    TComponent::Free(main);
    Application->ProcessMessages();
}

void TSettingsFixture::AddEntry(const std::string& name, const std::string& flag, const std::string& hint) {
    std::string path = PathOf(name);
    WriteFileBytes(path, name);
    files.Add(path);
    flags.Add(flag);
    hints.Add(hint);
    icons.push_back();
    settings.NumOfRegi = files.Count();
}

bool TSettingsFixture::Edit(const std::function<std::vector<TDialogScript::TStep>(TfrmSetting*)>& steps) {
    auto* form = new TfrmSetting(Application);
    bool ok = false;
    {
        TDialogScript script(steps(form));
        ok = form->EditSettings(settings, files, flags, hints, icons, page);
    }
    form->Release();
    Application->ProcessMessages();
    return ok;
}

std::vector<std::string> Rows(TfrmSetting* f) {
    std::vector<std::string> rows;
    for (int i = 0; i < f->lbxRegiApp->Count(); ++i) rows.push_back(f->lbxRegiApp->Item(i));
    return rows;
}

std::vector<std::string> Texts(const TStrings& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}
