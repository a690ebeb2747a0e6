#pragma once

// Turning the X server's pixels into the opaque 32-bit picture the board
// takes: reading any channel layout through its masks, making the pad byte
// the server leaves undefined opaque, and copying into a QImage.

class QImage;
typedef struct _XImage XImage;

namespace x11 {

// Whether the X image's own buffer can serve as an opaque 32-bit picture
// (QImage::Format_RGB32) once its pad bytes are set.
bool adoptable(const XImage& image);

// Sets the pad byte of every pixel in rows [firstRow, firstRow + rows)
// opaque, in place; only for an adoptable image.
void makeOpaque(XImage& image, int firstRow, int rows);

// Copies the X image into `target` (Format_RGB32) at (dx, dy), every pixel
// fully opaque; the image must fit there.
void copyOpaque(const XImage& source, QImage& target, int dx, int dy);

} // namespace x11
