// Start-up in a folder with no font picture: the built-in letters stand in (the save-error screen
// must stay legible).
#include <gtest/gtest.h>

#include "core_test_util.h"
#include "runtime/core/entry.h"
#include "runtime/core/files.h"
#include "runtime/graphics/font.h"
#include "runtime/platform/null_platform.h"

TEST(Startup, BuiltInLettersStandInForAMissingFont) {
    ScratchDir dir;
    NullPlatform::SetDisplaySize(768, 1024);
    RuntimeInit(0, 0, "start-up test");
    ASSERT_FALSE(FileExists(KString("Media/smalfont.png")) || FileExists(KString("smalfont.png")));
    EXPECT_TRUE(GetFont(0).loaded);
    DrawFontText(KString("SAVE"), 10, 10, 0);
    EXPECT_FALSE(LastTextVertices().empty());
}
