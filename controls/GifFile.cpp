#include "GifFile.h"

#include <gif_lib.h>

#include <unistd.h>
#include <vector>

#include "platform/core/FileReplacement.h"

namespace {
struct GifCloser {
    GifFileType* gif;
    ~GifCloser()
    {
        if (gif) {
            int error = 0;
            EGifCloseFile(gif, &error);
        }
    }
};

bool WriteQuantised(int fd, int width, int height, std::vector<GifByteType>& red,
                    std::vector<GifByteType>& green, std::vector<GifByteType>& blue)
{
    int colours = 256;
    ColorMapObject* map = GifMakeMapObject(colours, nullptr);
    if (!map)
        return false;
    std::vector<GifByteType> indices(static_cast<size_t>(width) * height);
    if (GifQuantizeBuffer(static_cast<unsigned>(width), static_cast<unsigned>(height), &colours, red.data(),
                          green.data(), blue.data(), indices.data(), map->Colors) == GIF_ERROR) {
        GifFreeMapObject(map);
        return false;
    }
    int error = 0;
    // The library closes the descriptor it is given; the replacement keeps its own.
    const int own = dup(fd);
    GifCloser file{own < 0 ? nullptr : EGifOpenFileHandle(own, &error)};
    if (!file.gif && own >= 0)
        close(own);
    bool ok = file.gif && EGifPutScreenDesc(file.gif, width, height, 8, 0, map) != GIF_ERROR &&
              EGifPutImageDesc(file.gif, 0, 0, width, height, false, nullptr) != GIF_ERROR;
    for (int y = 0; ok && y < height; ++y)
        ok = EGifPutLine(file.gif, indices.data() + static_cast<size_t>(y) * width, width) != GIF_ERROR;
    GifFreeMapObject(map);
    if (file.gif) {
        ok = EGifCloseFile(file.gif, &error) != GIF_ERROR && ok;
        file.gif = nullptr;
    }
    return ok;
}
}  // namespace

BOOL WriteGifFile(const CBitmap& bitmap, const char* path)
{
    if (!bitmap.GetSafeHandle() || !path || !*path)
        return FALSE;
    const CSize size = bitmap.GetBitmapDimension();
    const size_t pixels = static_cast<size_t>(size.cx) * size.cy;
    std::vector<BYTE> bits(pixels * 4);
    if (bitmap.GetBitmapBits(static_cast<DWORD>(bits.size()), bits.data()) != bits.size())
        return FALSE;
    std::vector<GifByteType> red(pixels), green(pixels), blue(pixels);
    for (size_t i = 0; i < pixels; ++i) {
        blue[i] = bits[i * 4];
        green[i] = bits[i * 4 + 1];
        red[i] = bits[i * 4 + 2];
    }
    CFileReplacement replacement;
    if (replacement.Begin(path) != 0)
        return FALSE;
    if (!WriteQuantised(replacement.GetFd(), size.cx, size.cy, red, green, blue)) {
        replacement.Discard();
        return FALSE;
    }
    return replacement.Commit() == 0;
}
