// The save folder: every save file's path is made here, so where saves live is decided in one
// place (start-up sets saveDir).
#include "game/shell/save_files.h"
#include "game/state/globals.h"

KString SaveFilePath(const KString& name) {
    if (saveDir.Empty()) return name;
    KString path = saveDir;
    char last = path[path.Length() - 1];
    if (last != '/' && last != '\\') path += "/";
    path += name;
    return path;
}
