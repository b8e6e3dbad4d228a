// The command line built from the arguments and the executable's folder.
#include <gtest/gtest.h>

#include "runtime/core/entry.h"

TEST(CommandLine, FirstAndSpacedArgumentsAreQuoted) {
    const char* argv[] = {"/opt/game/squibly", "a", "b c"};
    EXPECT_STREQ(BuildCommandLine(3, argv).c_str(), "\"/opt/game/squibly\" a \"b c\"");
    EXPECT_TRUE(BuildCommandLine(0, argv).Empty());
}

TEST(ExecutableFolder, CutAtTheLastSeparatorAndFoundThroughProc) {
    EXPECT_STREQ(DirectoryOfPath(KString("/opt/game/squibly")).c_str(), "/opt/game");
    EXPECT_STREQ(DirectoryOfPath(KString("C:\\games\\squibly.exe")).c_str(), "C:\\games");
    EXPECT_STREQ(DirectoryOfPath(KString("./")).c_str(), ".");
    EXPECT_STREQ(DirectoryOfPath(KString("squibly")).c_str(), "squibly");
    EXPECT_EQ(std::string(ExecutablePath().c_str()), std::string(ExecutableDirectory().c_str()) + "/core_platform_test");
    EXPECT_EQ(ExecutablePath().c_str()[0], '/');
}
