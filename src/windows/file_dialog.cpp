#include "windows/file_dialog.h"

#include <QFileDialog>

namespace vellumo {

namespace {
std::optional<QString> &nextFileName()
{
    static std::optional<QString> answer;
    return answer;
}
} // namespace

QString FileDialog::getOpenFileName(QWidget *parent, const QString &filter)
{
    if (auto answer = std::exchange(nextFileName(), std::nullopt))
        return *answer;
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

void FileDialog::setNextFileName(const QString &fileName)
{
    nextFileName() = fileName;
}

} // namespace vellumo
