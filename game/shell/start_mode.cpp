// The test switch that starts straight into a game: SQUIBLY_START_MODE names the mode.
#include <cctype>
#include <cstdlib>
#include <string>

#include "game/shell/main_routine.h"

float StartModeFromText(const KString& text) {
    std::string name;
    for (int i = 0; i < text.Length(); ++i) {
        char c = text[i];
        if (c == ' ' || c == '_' || c == '-') continue;
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (name == "arcade") return 1;
    if (name == "puzzle") return 2;
    if (name == "timetrial") return 3;
    if (name == "zen") return 4;
    if (name == "tutorial") return 5;
    return 0;
}

float StartModeFromEnvironment() {
    const char* text = std::getenv("SQUIBLY_START_MODE");
    if (!text) return 0;
    return StartModeFromText(text);
}
