// Tick scripts: what the parser rejects, with the line named (what it accepts every replay reads).
#include <gtest/gtest.h>

#include "tools/session/session_script.h"

namespace {

TEST(SessionScript, RejectsMalformedLinesNamingThem) {
    const char* bad[] = {
        "10 35 35\n", "10 35 35 2\n", "-4 35 35 1\n", "10x 35 35 1\n", "10 35 35 1 9\n",  // touches
        "20 1 1 1\n10 1 1 0\n",                                                       // going backwards
        "report\n", "seed -1\n", "mode\n", "jump 5\n", "display 0x480\n", "challenges 16\n",  // settings
        "10 3000000000 35 1\n", "10 35 -1e30 1\n", "10 inf 35 1\n",  // beyond any pixel position once scaled
    };
    for (const char* text : bad) {
        SessionScript s;
        std::string error;
        EXPECT_FALSE(ParseSessionScript(text, s, error)) << text;
        EXPECT_NE(error.find("line "), std::string::npos) << text;
    }
    SessionScript s;
    std::string error;
    EXPECT_FALSE(ParseSessionScript("mode arcade\n\n10 1 1 1\nbad\n", s, error));
    EXPECT_EQ(error.rfind("line 4", 0), 0u) << error;
    EXPECT_FALSE(ParseSessionScript("10 1 1 1\n20 1 -2147483649 0\n", s, error));
    EXPECT_EQ(error, "line 2: x and y must lie within -100000 to 100000");
    EXPECT_TRUE(ParseSessionScript("10 -100000 100000 1\n", s, error)) << error;   // the limits themselves
}

}  // namespace
