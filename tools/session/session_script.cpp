// Parsing tick scripts and looking up the pointer for a tick.
#include "tools/session/session_script.h"

#include <algorithm>
#include <sstream>

namespace {
const float MAX_SCRIPT_COORDINATE = 100000;

bool Fail(std::string& error, int line, const std::string& what) {
    error = "line " + std::to_string(line) + ": " + what;
    return false;
}
}  // namespace

bool ParseSessionScript(const std::string& text, SessionScript& out, std::string& error) {
    out = SessionScript();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) continue;
        std::string rest;
        if (first == "challenges") {
            int n = -1;
            if (!(words >> n) || n < 0 || n > 15) return Fail(error, number, "expected 0 to 15 after challenges");
            if (words >> rest) return Fail(error, number, "unexpected text: " + rest);
            out.challenges = n;
        } else if (first == "report" || first == "seed" || first == "ticks" || first == "pause" || first == "quit") {
            long long value = 0;
            if (!(words >> value) || value < 0) return Fail(error, number, "expected a number after " + first);
            if (words >> rest) return Fail(error, number, "unexpected text: " + rest);
            if (first == "report") out.reports.push_back(value);
            if (first == "seed") out.seed = value;
            if (first == "ticks") out.lastTick = std::max(out.lastTick, value);
            if (first == "report") out.lastTick = std::max(out.lastTick, value);
            if (first == "pause") out.pauses.push_back(value);
            if (first == "quit") out.quitAt = value;
        } else if (first == "mode") {
            if (!(words >> out.mode)) return Fail(error, number, "expected a mode name");
        } else if (first == "display") {
            int w = 0, h = 0;
            char x = 0;
            if (!(words >> w >> x >> h) || x != 'x' || w < 1 || h < 1)
                return Fail(error, number, "expected a display size such as 320x480");
            out.display = std::to_string(w) + "x" + std::to_string(h);
        } else {
            ScriptTouch touch;
            std::istringstream head(first);
            if (!(head >> touch.tick) || touch.tick < 0 || !head.eof())
                return Fail(error, number, "expected a tick number, found " + first);
            if (!(words >> touch.x >> touch.y >> touch.button) || (touch.button != 0 && touch.button != 1))
                return Fail(error, number, "expected: tick x y button(0/1)");
            // Scaled onto the largest display a point must still be a pixel position.
            for (float v : {touch.x, touch.y}) {
                if (!(v >= -MAX_SCRIPT_COORDINATE && v <= MAX_SCRIPT_COORDINATE))
                    return Fail(error, number, "x and y must lie within -100000 to 100000");
            }
            if (words >> rest) return Fail(error, number, "unexpected text: " + rest);
            if (!out.touches.empty() && touch.tick < out.touches.back().tick)
                return Fail(error, number, "ticks must not go backwards");
            out.touches.push_back(touch);
            out.lastTick = std::max(out.lastTick, touch.tick + 1);
        }
    }
    std::sort(out.reports.begin(), out.reports.end());
    out.reports.erase(std::unique(out.reports.begin(), out.reports.end()), out.reports.end());
    return true;
}

ScriptTouch TouchAt(const SessionScript& script, long long tick) {
    ScriptTouch current;
    current.tick = 0;
    for (const ScriptTouch& t : script.touches) {
        if (t.tick > tick) break;
        current = t;
    }
    return current;
}
