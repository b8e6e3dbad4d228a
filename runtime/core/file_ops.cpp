// Whole-file and folder operations: existence, size, removal, the working directory.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "runtime/core/error_state.h"
#include "runtime/core/files.h"

int FileExists(const KString& name) {
    char path[PATH_BUFFER];
    if (!MediaLookup(MediaFileTable(), name.c_str(), path, 0)) return 0;
    FILE* f = fopen(path, "rb");
    if (!f) return 0;
    fclose(f);
    return 1;
}

int FolderWritable(const KString& path) {
    struct stat info;
    if (path.Empty() || stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return 0;
    return access(path.c_str(), W_OK | X_OK) == 0 ? 1 : 0;
}

int FileSize(const KString& name) {
    char path[PATH_BUFFER];
    FILE* f = MediaLookup(MediaFileTable(), name.c_str(), path, 0) ? fopen(path, "rb") : nullptr;
    if (!f) {
        SetError(ERROR_NO_SUCH_FILE);
        return 0;
    }
    fseek(f, 0, SEEK_END);
    long size = ftell(f);
    fclose(f);
    return size < 0 ? 0 : static_cast<int>(size);
}

int DeleteFile(const KString& name) { return remove(name.c_str()) == 0 ? 1 : 0; }

float SetCurrentDir(const KString& path) {
    printf("set cdir to: %s\n", path.c_str());
    if (chdir(path.c_str()) != 0) {
        SetError(ERROR_NO_SUCH_FILE);
        return 0.0f;
    }
    return 1.0f;
}

KString GetCurrentDir() {
    char buffer[PATH_BUFFER + 2];
    if (!getcwd(buffer, PATH_BUFFER)) return KString();
    KString dir(buffer);
    for (int i = 0; i < dir.Length(); ++i) {
        if (dir.Data()[i] == '\\') dir.Data()[i] = '/';
    }
    if (dir.Length() == 0 || dir[dir.Length() - 1] != '/') dir += "/";
    return dir;
}
