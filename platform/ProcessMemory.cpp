// Taking the pages of a window's fresh buffer ahead of its first paint.

#include "platform/ProcessMemory.h"

#include <QImage>
#include <QPaintDevice>

std::unique_ptr<PageTaker> PageTaker::lowerHalfOf(QPaintDevice* device)
{
    if (!device || device->devType() != QInternal::Image) {
        return nullptr;
    }
    const auto* image = static_cast<const QImage*>(device);
    const size_t bytes = static_cast<size_t>(image->sizeInBytes());
    auto* bits = const_cast<uchar*>(image->constBits());
    return std::make_unique<PageTaker>(bits + bytes / 2, bytes - bytes / 2);
}
