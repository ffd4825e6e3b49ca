#pragma once

class QImage;

// Gaussian-like blur (three box passes) of a premultiplied ARGB32 image, in
// place. A radius of 0 or less leaves the image as it is.
namespace ImageBlur {

void blur(QImage &image, int radius);

} // namespace ImageBlur
