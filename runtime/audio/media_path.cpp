// Media names resolve through the media file table, files only (the mixer opens them by path).
#include "runtime/audio/media_path.h"

#include "runtime/core/files.h"

bool FindMediaPath(const KString& name, KString& path) {
    char buffer[PATH_BUFFER] = {};
    if (!MediaLookup(MediaFileTable(), name.c_str(), buffer, 0)) return false;
    path = KString(buffer);
    return true;
}
