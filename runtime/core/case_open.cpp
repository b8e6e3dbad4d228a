// Case-tolerant opening and the media lookup through the virtual-file tables,
// with memory files limited to blocks the runtime registered itself.
#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "runtime/core/files.h"

struct VirtualFileTable {
    bool enabled = true;
    char archive[PATH_BUFFER] = {0};
    char lastTempFile[PATH_BUFFER] = {0};
    void* lastBlock = nullptr;
};

namespace {
VirtualFileTable* tables[2] = {nullptr, nullptr};

// Memory blocks handed out by the runtime. The name's second field is the block's token in
// this table, never an address, so no name can point the reader at memory of its choosing.
struct MemoryBlock {
    const unsigned char* data;
    size_t size;
};
std::map<uint32_t, MemoryBlock>& MemoryBlocks() {
    static std::map<uint32_t, MemoryBlock> blocks;
    return blocks;
}
uint32_t nextToken = 1;

bool CanRead(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    fclose(f);
    return true;
}

// Finds the last component of path ignoring case; fills corrected and returns true on a match.
bool FindIgnoringCase(const char* path, std::string& corrected) {
    const char* slash = strrchr(path, '/');
    std::string folder = slash ? std::string(path, slash - path) : std::string(".");
    const char* name = slash ? slash + 1 : path;
    if (slash && folder.empty()) folder = "/";
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    bool found = false;
    while (dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, name) == 0) {
            if (folder == ".") {
                corrected = entry->d_name;
            } else if (folder == "/") {
                corrected = std::string("/") + entry->d_name;
            } else {
                corrected = folder + "/" + entry->d_name;
            }
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}
}  // namespace

FILE* fopen_case(const char* path, const char* mode) {
    if (!path || !mode) return nullptr;
    if (CanRead(path)) {
        FILE* f = fopen(path, mode);
        if (!f) printf("request: fopen_case(\"%s\", \"%s\") opens \"%s\": %s\n", path, mode, path, "failed");
        return f;
    }
    std::string corrected;
    if (FindIgnoringCase(path, corrected)) {
        FILE* f = fopen(corrected.c_str(), mode);
        if (!f) printf("request: fopen_case(\"%s\", \"%s\") opens \"%s\": %s\n", path, mode, corrected.c_str(), "failed");
        return f;
    }
    if (!strchr(mode, 'w') && !strchr(mode, 'a')) {
        printf("request: fopen(\"%s\", \"%s\") failed\n", path, mode);
        return nullptr;
    }
    FILE* f = fopen(path, mode);
    if (!f) printf("wrt-request: fopen(\"%s\", \"%s\") failed\n\n", path, mode);
    return f;
}

void CreateVirtualFileTables(const char* archiveName) {
    ReleaseVirtualFileTables();
    tables[0] = new VirtualFileTable();
    tables[1] = new VirtualFileTable();
    if (archiveName) snprintf(tables[1]->archive, sizeof tables[1]->archive, "%s", archiveName);
}

static void ForgetLastExtraction(VirtualFileTable* table) {
    if (table->lastBlock) {
        ReleaseMemoryFile(table->lastBlock);
        delete[] static_cast<char*>(table->lastBlock);
        table->lastBlock = nullptr;
    }
    if (table->lastTempFile[0]) {
        remove(table->lastTempFile);
        table->lastTempFile[0] = 0;
    }
}

void ReleaseVirtualFileTables() {
    for (VirtualFileTable*& table : tables) {
        if (!table) continue;
        ForgetLastExtraction(table);
        delete table;
        table = nullptr;
    }
}

VirtualFileTable* MediaFileTable() { return tables[1]; }

int MediaLookup(VirtualFileTable* table, const char* name, char* buffer, int memoryAllowed) {
    (void)memoryAllowed;  // only archive entries are ever served from memory
    if (table) ForgetLastExtraction(table);
    buffer[0] = 0;
    if (!name || !*name) return 0;
    if (CanRead(name)) {
        snprintf(buffer, PATH_BUFFER, "%s", name);
        return 1;
    }
    std::string corrected;
    if (FindIgnoringCase(name, corrected)) {
        snprintf(buffer, PATH_BUFFER, "%s", corrected.c_str());
        return 1;
    }
    // The game ships its media as plain files; no resource archive is ever carried, so an
    // archive search could only fail.
    return 0;
}

KString RegisterMemoryFile(const void* data, size_t size) {
    if (!data || size > 0xffffffffu) return KString();
    uint32_t token = nextToken++;
    if (nextToken == 0) nextToken = 1;
    MemoryBlocks()[token] = MemoryBlock{static_cast<const unsigned char*>(data), size};
    char name[64];
    snprintf(name, sizeof name, "mem://%8x.%8x", static_cast<unsigned>(size), static_cast<unsigned>(token));
    return KString(name);
}

void ReleaseMemoryFile(const void* data) {
    for (auto it = MemoryBlocks().begin(); it != MemoryBlocks().end();) {
        if (it->second.data == data) {
            it = MemoryBlocks().erase(it);
        } else {
            ++it;
        }
    }
}

bool IsMemoryFileName(const char* name) { return name && strncmp(name, "mem://", 6) == 0; }

bool ResolveMemoryFile(const char* name, const unsigned char*& data, size_t& size) {
    if (!IsMemoryFileName(name)) return false;
    unsigned parsedSize = 0, parsedToken = 0;
    char tail = 0;
    if (sscanf(name + 6, "%8x.%8x%c", &parsedSize, &parsedToken, &tail) != 2) return false;
    auto it = MemoryBlocks().find(parsedToken);
    if (it == MemoryBlocks().end() || it->second.size != parsedSize) return false;
    data = it->second.data;
    size = it->second.size;
    return true;
}
