#include "windows/link_label.h"

#include <QMouseEvent>

namespace vellumo {

LinkLabel::LinkLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    fitToText();
}

bool LinkLabel::isUnderlined() const
{
    return font().underline();
}

void LinkLabel::setText(const QString &text)
{
    QLabel::setText(text);
    fitToText();
}

void LinkLabel::fitToText()
{
    const int wanted = fontMetrics().horizontalAdvance(text()) + 2 * margin() + 2;
    resize(qBound(minimumWidth(), wanted, maximumWidth()), height());
}

void LinkLabel::setUnderlined(bool underlined)
{
    QFont f = font();
    if (f.underline() == underlined)
        return;
    f.setUnderline(underlined);
    setFont(f);
}

void LinkLabel::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved();
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    event->accept();
}

} // namespace vellumo
