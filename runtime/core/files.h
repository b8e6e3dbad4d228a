// File access: case-tolerant opening, the media lookup, eight numbered file channels with
// little-endian encodings, and file and folder operations.
#pragma once

#include <cstddef>
#include <cstdio>

#include "runtime/core/kstring.h"

const int FILE_CHANNELS = 8;
const int PATH_BUFFER = 1024;

// Opens path with mode; when the last path component does not exist as spelled, the folder
// is searched for a name that differs only in letter case.
FILE* fopen_case(const char* path, const char* mode);

// The virtual-file tables: the media lookup goes through the second one.
struct VirtualFileTable;
void CreateVirtualFileTables(const char* archiveName);
void ReleaseVirtualFileTables();
VirtualFileTable* MediaFileTable();
// Resolves name to a path to open into buffer (PATH_BUFFER bytes); 1 when found, else 0.
int MediaLookup(VirtualFileTable* table, const char* name, char* buffer, int memoryAllowed);

// Memory files: blocks the runtime itself hands out under a "mem://%8x.%8x" name (size, token).
// Only registered blocks are ever read through such a name.
KString RegisterMemoryFile(const void* data, size_t size);
void ReleaseMemoryFile(const void* data);
bool IsMemoryFileName(const char* name);
// True only for a name the runtime handed out for a block still registered, with its size.
bool ResolveMemoryFile(const char* name, const unsigned char*& data, size_t& size);

// Channels (numbers truncated to integers). mode > 0 read, 0 write (truncate), < 0 append.
int OpenFile(float channel, const KString& name, float mode);
void CloseFile(float channel);
void CloseAllFiles();
void WriteStr(float channel, const KString& text);
void WriteNum(float channel, float value);
void WriteByte(float channel, int value);
void ReadStr(float channel, KString& out, int count);
void ReadNum(float channel, float& out);
void ReadByte(float channel, int& out);
void ReadByte(float channel, float& out);
void ReadWord(float channel, int& out);
void ReadWord(float channel, float& out);
// mode 0 from the start, > 0 from the current position, < 0 from the end.
void SeekFile(float channel, int offset, float mode);
// Bytes in what the channel has open (0 when nothing): the size to read by, taken from the
// open file itself, so a file replaced meanwhile under the same name cannot differ from it.
long ChannelSize(float channel);

// Replacing a file safely. OpenFileReplacing opens channel for writing into a temporary file
// beside name (name + ".tmp"); the file called name is not touched. A write that fails on such a
// channel (disk full, file-size limit, I/O error) is remembered instead of ending the program.
// CommitFile flushes and syncs the temporary file, renames it over name and syncs the folder:
// 1 when name now holds everything written; 0 when anything failed, in which case the temporary
// file is removed, name is left as it was and LastWriteFailure says why. Closing such a channel
// without CommitFile (CloseFile, shut-down) throws the temporary file away.
int OpenFileReplacing(float channel, const KString& name);
int CommitFile(float channel);
// "name: reason" of the last failed OpenFileReplacing or CommitFile.
KString LastWriteFailure();

int FileExists(const KString& name);
int FileSize(const KString& name);
// 1 when path is a folder this process may create files in, else 0.
int FolderWritable(const KString& path);
int DeleteFile(const KString& name);
float SetCurrentDir(const KString& path);
// The working directory with '/' separators, always ending in '/'.
KString GetCurrentDir();
