// CSaveWindowImageCB: a window that must look different while its image is
// captured (a printing colour scheme) is told before and after.
#pragma once

class CSaveWindowImageCB {
public:
    virtual ~CSaveWindowImageCB() = default;
    virtual void BeginImageCapture(int x, int y, int width, int height, int forPrinting) = 0;
    virtual void EndImageCapture() = 0;
};
