// CGdiObject: the base of pens, brushes, fonts, bitmaps and regions. An object
// is usable once created; DeleteObject returns it to the uncreated state.
#pragma once

#include "UiTypes.h"

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    // Non-null while the object holds a created pen, brush, font, bitmap or region.
    void* m_hObject = nullptr;
    void* GetSafeHandle() const { return m_hObject; }
    virtual BOOL DeleteObject()
    {
        const BOOL had = m_hObject != nullptr;
        m_hObject = nullptr;
        return had;
    }

protected:
    void MarkCreated() { m_hObject = this; }
};

constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int DEFAULT_GUI_FONT = 17;
