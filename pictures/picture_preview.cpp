#include <QBuffer>
#include <QImageReader>

#include "pictures/web_picture.h"

namespace pictures {

std::optional<TWebPicture> PreviewForWeb(std::string_view original, int previewSide) {
    std::optional<TWebPicture> preview = RebuildForWeb(original, kWebSide);
    if (!preview) return std::nullopt;
    QByteArray bytes = QByteArray::fromRawData(preview->bytes.data(), static_cast<qsizetype>(preview->bytes.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (size.isValid() && (size.width() > previewSide || size.height() > previewSide)) {
        size.scale(previewSide, previewSide, Qt::KeepAspectRatio);
        reader.setScaledSize(size);
    }
    QImage image = reader.read().convertToFormat(QImage::Format_RGBA8888);
    // Turned upright only now: fitted again, the turn may have made it too tall.
    if (image.width() > previewSide || image.height() > previewSide)
        image = image.scaled(previewSide, previewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    preview->bytes.clear();
    preview->width = image.width();
    preview->height = image.height();
    for (int y = 0; y < image.height(); ++y)
        preview->bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)),
                              static_cast<std::size_t>(image.width()) * 4);
    return preview;
}

}  // namespace pictures
