// The Windows test program: one application object for the whole run, as in the launcher.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "toolkit/Forms.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    CoInitialize(nullptr);
    auto* app = new TApplication();
    app->Title = "ズマロランチャー";
    int result = RUN_ALL_TESTS();
    TComponent::Free(app);
    CoUninitialize();
    return result;
}
