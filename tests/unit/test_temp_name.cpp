// The one form of the name a file has while it is written: a run that
// finds one knows it was left by an interrupted writer, and nothing else.
#include <gtest/gtest.h>

#include "files/temp_name.h"

TEST(TempName, OneFormKnownForWhatItIsAndNothingElse) {
    EXPECT_EQ("~zk00000001.tmp", TempFileName(1));
    EXPECT_EQ("~zkABCDEF12.tmp", TempFileName(0xABCDEF12u));
    EXPECT_TRUE(IsTempFileName("~zk0000ABCD.tmp"));
    for (const char* name : {"~zk0000abcd.tmp", "~zk0000ABCD.tmp.wav", "~zk000ABCD.tmp", "~zk0000ABCG.tmp",
                             "zk00000ABCD.tmp", "~zk0000ABCD.TMP", ""})
        EXPECT_FALSE(IsTempFileName(name)) << name;
}
