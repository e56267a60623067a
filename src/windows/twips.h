#pragma once

#include <QRect>
#include <QtMath>

namespace vellumo {

// Layouts are given in twips, at 15 twips to the pixel.
constexpr int twipsPerPixel = 15;

inline int px(int twips) { return qRound(double(twips) / twipsPerPixel); }

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

} // namespace vellumo
