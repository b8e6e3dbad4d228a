// Start-up without any font picture: the built-in letters must still be there, so messages
// the runtime draws itself (the save-error screen) stay legible.
#include <gtest/gtest.h>

#include "runtime/core/entry.h"
#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/graphics/font.h"
#include "runtime/platform/null_platform.h"

namespace {

TEST(StartupFont, BuiltInLettersStandInWhenNoFontPictureExists) {
    NullPlatform::SetDisplaySize(768, 1024);
    RuntimeInit(0, 0, "font test");
    // The test's own folder (the executable's) holds no smalfont picture.
    ASSERT_FALSE(FileExists(KString("Media/smalfont.png")));
    ASSERT_FALSE(FileExists(KString("smalfont.png")));

    const FontRecord& font = GetFont(0);
    EXPECT_TRUE(font.loaded);
    EXPECT_EQ(CurrentFont(), 0);
    DrawFontText(KString("SAVE"), 10, 10, 0);
    EXPECT_FALSE(LastTextVertices().empty());
}

}  // namespace
