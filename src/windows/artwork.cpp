#include "artwork.h"

#include <QSize>
#include <QString>

// The resource may sit in a static library, whose registration the linker
// would otherwise leave out. Q_INIT_RESOURCE must be used outside any
// namespace.
static void registerArtworkResource()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(artwork);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace vellumo {

QPixmap defaultPreviewPicture()
{
    registerArtworkResource();
    return QPixmap(QStringLiteral(":/artwork/preview.png"));
}

QIcon programIcon()
{
    registerArtworkResource();
    QIcon icon;
    icon.addFile(QStringLiteral(":/artwork/icon-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/artwork/icon-48.png"), QSize(48, 48));
    return icon;
}

} // namespace vellumo
