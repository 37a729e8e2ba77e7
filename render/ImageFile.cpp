#include "render/ImageFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <string_view>

#include "core/platform/AtomicReplace.h"
#include "core/platform/Path.h"

bool SaveImageFile(const QImage& image, const std::string& storedPath, const char* format, std::string* error) {
    if (error) error->clear();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format)) return false;
    return platform::ReplaceFile(platform::MapPath(storedPath), platform::kPictureTag,
                                 std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), error);
}
