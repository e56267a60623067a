#include "app/appearance.h"

#include <QApplication>

namespace vellumo {

QFont programFont()
{
    QFont font = QApplication::font();
    font.setPixelSize(11);
    return font;
}

} // namespace vellumo
