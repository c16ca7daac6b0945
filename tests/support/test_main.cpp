#include <gtest/gtest.h>

#include "services/msgbox.h"

int main(int argc, char** argv) {
    // No test may wait on a real message box nobody answers.
    g_pfnMessageBox = [](HWND__*, const std::string& text, const std::string&, unsigned) -> int {
        ADD_FAILURE() << "unexpected message box: " << text;
        return 1;
    };
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
