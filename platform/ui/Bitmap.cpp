#include "Bitmap.h"

#include <QFile>
#include <QImageWriter>
#include <cstring>

#include "DCImpl.h"
#include "platform/core/FileReplacement.h"

namespace {
bool g_failNextBitmap = false;
}

namespace kvtest {
void FailNextBitmap() { g_failNextBitmap = true; }
}  // namespace kvtest

CBitmap::CBitmap() : m_impl(new CBitmapImpl) {}

CBitmap::~CBitmap() { delete m_impl; }

BOOL CBitmap::CreateCompatibleBitmap(CDC* /*dc*/, int width, int height)
{
    DeleteObject();
    if (g_failNextBitmap) {
        g_failNextBitmap = false;
        return FALSE;
    }
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767)
        return FALSE;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return FALSE;
    image.fill(Qt::black);
    m_impl->image = std::move(image);
    MarkCreated();
    return TRUE;
}

BOOL CBitmap::DeleteObject()
{
    if (m_impl->selectedCount > 0)
        return FALSE;  // still drawn on; the context must let go first
    m_impl->image = QImage();
    return CGdiObject::DeleteObject();
}

CSize CBitmap::GetBitmapDimension() const { return CSize(m_impl->image.width(), m_impl->image.height()); }

BOOL CBitmap::SaveImage(const char* path) const
{
    if (!m_hObject || !path || !*path)
        return FALSE;
    QString target = QString::fromLocal8Bit(path);
    const QString suffix = target.section('.', -1).toLower();
    QByteArray format;
    if (suffix == "bmp") format = "BMP";
    else if (suffix == "png") format = "PNG";
    else if (suffix == "jpg" || suffix == "jpeg") format = "JPEG";
    else return FALSE;
    // Written beside the target and renamed over it, so a failure leaves no half file.
    CFileReplacement replacement;
    if (replacement.Begin(path) != 0)
        return FALSE;
    bool written = false;
    {
        QFile file;
        if (file.open(replacement.GetFd(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
            QImageWriter writer(&file, format);
            written = writer.write(m_impl->image) && file.flush();
        }
    }
    if (!written) {
        replacement.Discard();
        return FALSE;
    }
    return replacement.Commit() == 0 ? TRUE : FALSE;
}

COLORREF CBitmap::GetPixel(int x, int y) const
{
    if (!m_impl->image.valid(x, y))
        return 0xFFFFFFFFu;
    const QRgb p = m_impl->image.pixel(x, y);
    return RGB(static_cast<BYTE>(qRed(p)), static_cast<BYTE>(qGreen(p)), static_cast<BYTE>(qBlue(p)));
}

DWORD CBitmap::GetBitmapBits(DWORD count, void* bits) const
{
    if (!m_hObject || !bits)
        return 0;
    const QImage image = m_impl->image.convertToFormat(QImage::Format_RGB32);
    const DWORD rowBytes = static_cast<DWORD>(image.width()) * 4;
    DWORD copied = 0;
    for (int y = 0; y < image.height() && copied + rowBytes <= count; ++y) {
        std::memcpy(static_cast<BYTE*>(bits) + copied, image.constScanLine(y), rowBytes);
        copied += rowBytes;
    }
    return copied;
}

BOOL CBitmap::LoadImage(const char* path)
{
    DeleteObject();
    QImage image;
    if (!path || !image.load(QString::fromLocal8Bit(path)))
        return FALSE;
    m_impl->image = image.convertToFormat(QImage::Format_RGB32);
    MarkCreated();
    return TRUE;
}
