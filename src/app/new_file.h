#pragma once

#include <QFile>
#include <QString>

namespace vellumo {

// Opens file, for writing, as a new file of a name of its own
// (".vellumo-<random>.part") in the folder of target: never a file that is
// there already (a link above all), and made as any other file would be.
// False when none could be made; file then has no name and its error().
bool openNewFileBeside(QFile &file, const QString &target);

} // namespace vellumo
