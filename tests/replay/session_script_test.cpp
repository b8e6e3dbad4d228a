// Tick scripts: what the parser accepts, what it rejects with the line named, and which pointer
// holds at a tick.
#include <gtest/gtest.h>

#include "tools/session/session_script.h"

namespace {

TEST(SessionScript, ReadsTouchesReportsAndSettings) {
    SessionScript s;
    std::string error;
    ASSERT_TRUE(ParseSessionScript("# a game\nmode zen\nseed 42\ndisplay 320x480\nchallenges 10\n10 35 35 1\n"
                                   "14 85.5 35 1  # drag\n18 85 35 0\nreport 300\nreport 100\nreport 100\n\nticks 200\n",
                                   s, error))
        << error;
    EXPECT_EQ(s.mode, "zen");
    EXPECT_EQ(s.seed, 42);
    EXPECT_EQ(s.display, "320x480");
    EXPECT_EQ(s.challenges, 10);
    ASSERT_EQ(s.touches.size(), 3u);
    EXPECT_EQ(s.touches[1].x, 85.5f);
    EXPECT_EQ(s.reports, (std::vector<long long>{100, 300}));
    EXPECT_EQ(s.lastTick, 300);   // a report past the last tick extends the run
}

TEST(SessionScript, ThePointerHoldsFromItsTickUntilTheNext) {
    SessionScript s;
    std::string error;
    ASSERT_TRUE(ParseSessionScript("10 35 35 1\n18 85 35 0\n", s, error));
    EXPECT_EQ(TouchAt(s, 0).button, 0);
    EXPECT_EQ(TouchAt(s, 9).button, 0);
    EXPECT_EQ(TouchAt(s, 10).button, 1);
    EXPECT_EQ(TouchAt(s, 17).x, 35);
    EXPECT_EQ(TouchAt(s, 18).button, 0);
    EXPECT_EQ(TouchAt(s, 5000).x, 85);
    EXPECT_EQ(s.lastTick, 19);
}

TEST(SessionScript, RejectsMalformedLinesNamingThem) {
    const char* bad[] = {
        "10 35 35\n",          // no button
        "10 35 35 2\n",        // not 0 or 1
        "-4 35 35 1\n",        // negative tick
        "10x 35 35 1\n",       // not a number
        "10 35 35 1 9\n",      // trailing text
        "report\n",            // missing number
        "seed -1\n",
        "20 1 1 1\n10 1 1 0\n",   // going backwards
        "mode\n",
        "jump 5\n",
        "display 320*480\n",
        "display 0x480\n",
        "challenges 16\n",
        "10 3000000000 35 1\n",   // beyond any pixel position once scaled
        "10 35 -1e30 1\n",
        "10 inf 35 1\n",
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
