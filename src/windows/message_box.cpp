#include "windows/message_box.h"

#include <QMessageBox>

namespace vellumo {

namespace {
bool automatic = false;
QList<MessageBox::Shown> &shownBoxes()
{
    static QList<MessageBox::Shown> boxes;
    return boxes;
}
} // namespace

void MessageBox::show(Icon icon, const QString &title, const QString &text, QWidget *parent)
{
    if (automatic) {
        shownBoxes().append({icon, title, text});
        return;
    }
    QString shownText = text;
    shownText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::Information, title, shownText,
                    QMessageBox::Ok, parent);
    box.exec();
}

void MessageBox::answerAutomatically(bool enabled)
{
    automatic = enabled;
    shownBoxes().clear();
}

QList<MessageBox::Shown> MessageBox::takeShown()
{
    return std::exchange(shownBoxes(), {});
}

} // namespace vellumo
