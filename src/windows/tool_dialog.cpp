#include "windows/tool_dialog.h"

#include "windows/twips.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QScreen>

namespace vellumo {

ToolDialog::ToolDialog(const QString &title, int clientWidthTwips, int clientHeightTwips)
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           | Qt::MSWindowsFixedSizeDialogHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setSizeGripEnabled(false);
    setWindowTitle(title);
    setFixedSize(px(clientWidthTwips), px(clientHeightTwips));
}

QFrame *ToolDialog::separatorLine(const QRect &geometry)
{
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(geometry);
    return line;
}

QLabel *ToolDialog::label(const QString &text, const QRect &geometry, bool wordWrap)
{
    auto *l = new QLabel(text, this);
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(wordWrap);
    return l;
}

void ToolDialog::closeEvent(QCloseEvent *event)
{
    // Closing a dialog unloads it; QDialog's own handling would only hide it.
    event->accept();
}

void ToolDialog::showEvent(QShowEvent *event)
{
    if (!placed_) {
        placed_ = true;
        if (const QScreen *s = screen())
            move(s->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

} // namespace vellumo
