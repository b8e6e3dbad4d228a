// The eight numbered file channels: opening, closing, little-endian reads and writes, seeking.
// Any failure on an open channel is fatal (error 3), as is a channel number above 7 (error 7);
// only a channel that replaces a file safely remembers a failed write instead.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/core/lifecycle.h"
#include "runtime/platform/platform.h"

namespace {
struct Channel {
    FILE* stream = nullptr;
    const unsigned char* block = nullptr;
    long size = 0;
    long position = 0;
    // Set while the channel writes the temporary file that CommitFile puts in place of target.
    bool replacing = false;
    int writeError = 0;   // errno of the first failed write, 0 while all went well
    std::string target, temporary;
};
Channel channels[FILE_CHANNELS];
std::string lastWriteFailure;

[[noreturn]] void Fatal(int code) {
    SetError(code);
    EndProgram();
}

Channel& Checked(float number) {
    int n = static_cast<int>(number);
    if (n < 0 || n >= FILE_CHANNELS) Fatal(ERROR_OUT_OF_MEMORY);
    return channels[n];
}

void Reset(Channel& ch) {
    if (ch.stream) fclose(ch.stream);
    if (ch.replacing) remove(ch.temporary.c_str());
    ch = Channel();
}

long StreamLength(FILE* f) {
    long here = ftell(f);
    if (fseek(f, 0, SEEK_END) != 0) return 0;
    long length = ftell(f);
    fseek(f, here, SEEK_SET);
    return length < 0 ? 0 : length;
}

void ReadBytes(float number, unsigned char* out, size_t n) {
    Channel& ch = Checked(number);
    memset(out, 0, n);
    if (ch.stream) {
        if (fread(out, 1, n, ch.stream) == n) {
            ch.position += static_cast<long>(n);
            return;
        }
    }
    if (!ch.block || ch.position < 0 || ch.position >= ch.size) Fatal(ERROR_NO_SUCH_FILE);
    size_t left = static_cast<size_t>(ch.size - ch.position);
    size_t take = n < left ? n : left;
    memcpy(out, ch.block + ch.position, take);
    ch.position += static_cast<long>(take);
}

void WriteBytes(float number, const unsigned char* data, size_t n) {
    Channel& ch = Checked(number);
    if (!ch.stream) Fatal(ERROR_NO_SUCH_FILE);
    if (n > 0 && fwrite(data, 1, n, ch.stream) != n) {
        if (!ch.replacing) Fatal(ERROR_NO_SUCH_FILE);
        if (ch.writeError == 0) ch.writeError = errno != 0 ? errno : EIO;
    }
    ch.position += static_cast<long>(n);
}

void NoteFailure(const std::string& name, int error) {
    lastWriteFailure = name + ": " + strerror(error != 0 ? error : EIO);
}

// The folder entry of a rename is only durable once the folder itself is synced.
void SyncFolderOf(const std::string& path) {
    size_t cut = path.rfind('/');
    std::string folder = cut == std::string::npos ? "." : cut == 0 ? "/" : path.substr(0, cut);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    Platform::SyncToStorage(fd);
    close(fd);
}

uint64_t LoadLittle(const unsigned char* b, int n) {
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[i];
    return v;
}

void StoreLittle(unsigned char* b, uint64_t v, int n) {
    for (int i = 0; i < n; ++i) {
        b[i] = static_cast<unsigned char>(v & 0xff);
        v >>= 8;
    }
}
// The channel numbered `number`, emptied for a new open; null (and the error set) when there is none.
Channel* ClaimChannel(float number) {
    ClearError();
    int n = static_cast<int>(number);
    if (n < 0 || n >= FILE_CHANNELS) {
        SetError(ERROR_OUT_OF_MEMORY);
        return nullptr;
    }
    Reset(channels[n]);
    return &channels[n];
}
}  // namespace

int OpenFile(float number, const KString& name, float mode) {
    Channel* claimed = ClaimChannel(number);
    if (!claimed) return 0;
    Channel& ch = *claimed;
    bool ok = false;
    if (mode > 0) {
        char path[PATH_BUFFER];
        const char* target = path;
        if (!MediaLookup(MediaFileTable(), name.c_str(), path, 1)) {
            SetError(ERROR_NO_SUCH_FILE);
            target = name.c_str();
        }
        if (!*target) {
            ok = false;
        } else if (IsMemoryFileName(target)) {
            size_t size = 0;
            const unsigned char* data = nullptr;
            ok = ResolveMemoryFile(target, data, size);
            if (ok) {
                ch.block = data;
                ch.size = static_cast<long>(size);
            }
        } else if ((ch.stream = fopen_case(target, "rb")) != nullptr) {
            ch.size = StreamLength(ch.stream);
            ok = true;
        }
    } else if (mode == 0) {
        if (!IsMemoryFileName(name.c_str()) && !name.Empty()) {
            remove(name.c_str());
            ch.stream = fopen_case(name.c_str(), "wb");
            if (!ch.stream) ch.stream = fopen(name.c_str(), "wb");
            if (!ch.stream) printf("can't write to file: %s\n", name.c_str());
            ok = ch.stream != nullptr;
        }
    } else {
        if (!IsMemoryFileName(name.c_str()) && !name.Empty()) {
            ch.stream = fopen_case(name.c_str(), "ab");
            ok = ch.stream != nullptr;
            if (ok) ch.position = ch.size = StreamLength(ch.stream);
        }
    }
    if (!ok) {
        Reset(ch);
        SetError(ERROR_NO_SUCH_FILE);
        return 0;
    }
    return 1;
}

int OpenFileReplacing(float number, const KString& name) {
    Channel* claimed = ClaimChannel(number);
    if (!claimed) return 0;
    Channel& ch = *claimed;
    if (name.Empty() || IsMemoryFileName(name.c_str())) {
        SetError(ERROR_NO_SUCH_FILE);
        return 0;
    }
    // A file-size limit must fail the write, not end the process with a signal.
    signal(SIGXFSZ, SIG_IGN);
    // An existing file spelled in another letter case is the one replaced, as a plain write
    // would have opened it.
    char found[PATH_BUFFER];
    ch.target = MediaLookup(nullptr, name.c_str(), found, 0) ? found : name.c_str();
    ch.temporary = ch.target + ".tmp";
    ch.stream = fopen(ch.temporary.c_str(), "wb");
    if (!ch.stream) {
        NoteFailure(ch.target, errno);
        printf("can't write to file: %s\n", name.c_str());
        ch = Channel();
        SetError(ERROR_NO_SUCH_FILE);
        return 0;
    }
    ch.replacing = true;
    return 1;
}

int CommitFile(float number) {
    ClearError();
    Channel& ch = Checked(number);
    if (!ch.replacing || !ch.stream) {
        Reset(ch);
        SetError(ERROR_NO_SUCH_FILE);
        return 0;
    }
    int error = ch.writeError;
    if (error == 0 && fflush(ch.stream) != 0) error = errno;
    if (error == 0) error = Platform::SyncToStorage(fileno(ch.stream));
    if (fclose(ch.stream) != 0 && error == 0) error = errno;
    ch.stream = nullptr;
    if (error == 0 && rename(ch.temporary.c_str(), ch.target.c_str()) != 0) error = errno;
    if (error != 0) {
        NoteFailure(ch.target, error);
        Reset(ch);   // removes the temporary file; the target keeps its old contents
        SetError(ERROR_NO_SUCH_FILE);
        return 0;
    }
    SyncFolderOf(ch.target);
    ch = Channel();
    return 1;
}

KString LastWriteFailure() { return KString(lastWriteFailure.c_str()); }

void CloseFile(float number) {
    ClearError();
    Reset(Checked(number));
}

void CloseAllFiles() {
    for (Channel& ch : channels) Reset(ch);
}

void WriteStr(float number, const KString& text) {
    WriteBytes(number, reinterpret_cast<const unsigned char*>(text.c_str()), static_cast<size_t>(text.Length()));
}

void WriteNum(float number, float value) {
    double wide = value;
    uint64_t bits;
    memcpy(&bits, &wide, sizeof bits);
    unsigned char bytes[8];
    StoreLittle(bytes, bits, 8);
    WriteBytes(number, bytes, 8);
}

void WriteByte(float number, int value) {
    unsigned char byte = static_cast<unsigned char>(value & 0xff);
    WriteBytes(number, &byte, 1);
}

void ReadStr(float number, KString& out, int count) {
    if (count <= 0) {
        Checked(number);
        out = KString();
        return;
    }
    KString text;
    text.Reserve(count + 31, false);
    memset(text.Data(), 0, static_cast<size_t>(count) + 32);
    ReadBytes(number, reinterpret_cast<unsigned char*>(text.Data()), static_cast<size_t>(count));
    text.SetLength(count);
    out.Swap(text);
}

void ReadNum(float number, float& out) {
    unsigned char bytes[8];
    ReadBytes(number, bytes, 8);
    uint64_t bits = LoadLittle(bytes, 8);
    double wide;
    memcpy(&wide, &bits, sizeof wide);
    out = static_cast<float>(wide);
}

void ReadByte(float number, int& out) {
    unsigned char byte;
    ReadBytes(number, &byte, 1);
    out = byte;
}

void ReadByte(float number, float& out) {
    int value;
    ReadByte(number, value);
    out = static_cast<float>(value);
}

void ReadWord(float number, int& out) {
    unsigned char bytes[2];
    ReadBytes(number, bytes, 2);
    out = static_cast<int>(LoadLittle(bytes, 2));
}

void ReadWord(float number, float& out) {
    int value;
    ReadWord(number, value);
    out = static_cast<float>(value);
}

long ChannelSize(float number) {
    Channel& ch = Checked(number);
    if (ch.stream) ch.size = StreamLength(ch.stream);
    return ch.stream || ch.block ? ch.size : 0;
}

void SeekFile(float number, int offset, float mode) {
    Channel& ch = Checked(number);
    if (!ch.stream && !ch.block) return;
    if (ch.stream) ch.size = StreamLength(ch.stream);
    if (mode == 0) {
        ch.position = offset;
    } else if (mode > 0) {
        ch.position += offset;
    } else {
        ch.position = ch.size + offset;
    }
    if (ch.stream) fseek(ch.stream, ch.position, SEEK_SET);
}
