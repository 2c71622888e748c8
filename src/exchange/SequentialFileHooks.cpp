#include "exchange/SequentialFileHooks.h"

#include <cstdio>

namespace SequentialFileHooks {
namespace {

struct File
{
    enum class Last
    {
        None,
        Read,
        Write
    };
    std::FILE* fp = nullptr;
    SAOffset pos = 0;
    Last last = Last::None;
};

File* of(SAFile f)
{
    return reinterpret_cast<File*>(f);
}

SAFile open(const char* name, const char* access)
{
    std::FILE* fp = std::fopen(name, access);
    if (!fp)
        return nullptr;
    auto* file = new File;
    file->fp = fp;
    return reinterpret_cast<SAFile>(file);
}

// Switching between reading and writing needs a real seek in between.
bool turn(File* file, File::Last next)
{
    if (file->last != File::Last::None && file->last != next && std::fseek(file->fp, long(file->pos), SEEK_SET) != 0)
        return false;
    file->last = next;
    return true;
}

// Reads or writes `count` items of `size` bytes (fread or fwrite) and keeps the position.
template <class Items> SAOffset transfer(SAFile f, File::Last direction, SAOffset size, Items items)
{
    File* file = of(f);
    if (!turn(file, direction))
        return 0;
    const std::size_t n = items(file->fp);
    file->pos += SAOffset(n) * size;
    return SAOffset(n);
}

SAOffset read(void* p, SAOffset size, SAOffset count, SAFile f)
{
    return transfer(f, File::Last::Read, size, [&](std::FILE* fp) { return std::fread(p, size, count, fp); });
}

SAOffset write(void* p, SAOffset size, SAOffset count, SAFile f)
{
    return transfer(f, File::Last::Write, size, [&](std::FILE* fp) { return std::fwrite(p, size, count, fp); });
}

SAOffset seek(SAFile f, SAOffset offset, int whence)
{
    File* file = of(f);
    if (whence == SEEK_SET && offset == file->pos)
        return 0;
    if (std::fseek(file->fp, long(offset), whence) != 0)
        return SAOffset(-1);
    const long at = std::ftell(file->fp);
    if (at < 0)
        return SAOffset(-1);
    file->pos = SAOffset(at);
    file->last = File::Last::None; // a real seek allows either direction next
    return 0;
}

SAOffset tell(SAFile f)
{
    return of(f)->pos;
}

int flush(SAFile f)
{
    return std::fflush(of(f)->fp);
}

int close(SAFile f)
{
    File* file = of(f);
    const int rc = std::fclose(file->fp);
    delete file;
    return rc;
}

} // namespace

SAHooks hooks()
{
    SAHooks h;
    SASetupDefaultHooks(&h);
    h.FOpen = open;
    h.FRead = read;
    h.FWrite = write;
    h.FSeek = seek;
    h.FTell = tell;
    h.FFlush = flush;
    h.FClose = close;
    return h;
}

} // namespace SequentialFileHooks
