// The UI tests run on this thread, which owns every window they create,
// like the program's own user-interface thread.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/main_window.h"

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    StartUserInterface(GetModuleHandleW(nullptr));
    return RUN_ALL_TESTS();
}
