// Private to the window layer: the pictures of an image list.
#pragma once

#include <QImage>
#include <vector>

struct CImageListImpl {
    int cx = 16;
    int cy = 16;
    std::vector<QImage> images;
};
