// What ships is lean: a stripped Zekerpad.exe whose debug information lies
// beside it in Zekerpad.debug, and a version resource with the project's
// version.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/driver.h"
#include "support/test_support.h"

TEST(Release, TheProgramIsStrippedAndNamesItsDebugFile) {
    const std::string exe = ReadWholeFile(ProgramFolder() + "\\Zekerpad.exe");
    const std::string debug = ReadWholeFile(ProgramFolder() + "\\Zekerpad.debug");
    ASSERT_FALSE(exe.empty());
    EXPECT_LT(exe.size(), 1500000u) << "no debug information inside";
    EXPECT_NE(exe.find(".gnu_debuglink"), std::string::npos);
    EXPECT_NE(exe.find(std::string("Zekerpad.debug\0", 15)), std::string::npos);
    EXPECT_EQ(exe.find(".debug_info"), std::string::npos);
    EXPECT_GT(debug.size(), 1000000u);
    EXPECT_NE(debug.find(".debug_info"), std::string::npos);
}

TEST(Release, TheVersionResourceCarriesTheProjectsVersion) {
    const std::string exe = ProgramFolder() + "\\Zekerpad.exe";
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    char* text = nullptr;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\StringFileInfo\\041304E4\\FileVersion",
                                 reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, "1.0.0.0");
}
