// The command line built from the arguments and the executable's folder.
#include <gtest/gtest.h>

#include "runtime/core/entry.h"

TEST(CommandLine, FirstAndSpacedArgumentsAreQuoted) {
    const char* argv[] = {"/opt/game/squibly", "a", "b c"};
    EXPECT_STREQ(BuildCommandLine(3, argv).c_str(), "\"/opt/game/squibly\" a \"b c\"");
    EXPECT_STREQ(BuildCommandLine(1, argv).c_str(), "\"/opt/game/squibly\"");
    EXPECT_TRUE(BuildCommandLine(0, argv).Empty());
}

TEST(ExecutableFolder, CutAtTheLastSeparator) {
    EXPECT_STREQ(DirectoryOfPath(KString("/opt/game/squibly")).c_str(), "/opt/game");
    EXPECT_STREQ(DirectoryOfPath(KString("C:\\games\\squibly.exe")).c_str(), "C:\\games");
    EXPECT_STREQ(DirectoryOfPath(KString("./")).c_str(), ".");
    EXPECT_STREQ(DirectoryOfPath(KString("squibly")).c_str(), "squibly");
}

TEST(ExecutableFolder, FoundThroughProc) {
    KString dir = ExecutableDirectory();
    KString path = ExecutablePath();
    EXPECT_EQ(path.c_str()[0], '/');
    EXPECT_EQ(std::string(path.c_str()), std::string(dir.c_str()) + "/core_platform_test");
}
