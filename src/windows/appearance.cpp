#include "windows/appearance.h"

#include <QApplication>

namespace vellumo {

QFont programFont()
{
    // Liberation Sans has the letter widths of Arial, which the layouts were
    // measured with; on Windows, Arial itself.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), font.family()});
    font.setPixelSize(11);
    return font;
}

} // namespace vellumo
