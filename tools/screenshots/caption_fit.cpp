#include "caption_fit.h"

#include "console.h"

#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/link_label.h"
#include "windows/tri_state_check_box.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

namespace screenshots {

namespace {

// Where the label's text puts ink when nothing stops it: the text is drawn
// as QLabel draws plain text, into a room as wide as the label's (when it
// wraps) or unbounded (when it does not), and as tall as it likes.
CaptionFit fitOf(const QLabel &label)
{
    const QRect room = label.contentsRect();
    // Measured from the top; the labels that matter are top-aligned.
    const int flags = int(label.alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop
                      | (label.wordWrap() ? int(Qt::TextWordWrap) : 0);
    const QFontMetrics metrics(label.font());
    const QRect free(0, 0, label.wordWrap() ? room.width() : 4 * metrics.horizontalAdvance(label.text()) + 100,
                     4 * metrics.boundingRect(QRect(0, 0, room.width(), 100000), flags, label.text()).height() + 100);
    QImage canvas(free.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setFont(label.font());
        painter.setPen(Qt::black);
        painter.drawText(free, flags, label.text());
    }
    QSize ink(0, 0);
    for (int y = 0; y < canvas.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(line[x]) != 0)
                ink = ink.expandedTo(QSize(x + 1, y + 1));
        }
    }
    // Text wrapped into one word per line can still run out to the right.
    if (label.wordWrap())
        ink.setWidth(qMax(ink.width(), metrics.boundingRect(free, flags, label.text()).width()));
    return {&label, label.text(), ink, room.size()};
}

CaptionFit fitOf(const QPushButton &button)
{
    // The label is drawn inside the bevel, less the style's button margin.
    QStyleOptionButton option;
    option.initFrom(&button);
    const int margin = button.style()->pixelMetric(QStyle::PM_ButtonMargin, &option, &button);
    const int bevel = button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &button);
    const QSize text = button.fontMetrics().size(Qt::TextShowMnemonic, button.text());
    return {&button, button.text(), text, button.size() - QSize(margin + 2 * bevel, 2 * bevel)};
}

CaptionFit fitOf(const QCheckBox &box)
{
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect label = box.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &box);
    return {&box, box.text(), box.fontMetrics().size(Qt::TextShowMnemonic, box.text()), label.size()};
}

} // namespace

QList<CaptionFit> captionFits(const QWidget &window)
{
    QList<CaptionFit> fits;
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (label->isVisibleTo(&window) && label->pixmap().isNull() && !label->text().isEmpty())
            fits.append(fitOf(*label));
    }
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(&window) || button->text().isEmpty())
            continue;
        if (const auto *push = qobject_cast<const QPushButton *>(button))
            fits.append(fitOf(*push));
        else if (const auto *check = qobject_cast<const QCheckBox *>(button))
            fits.append(fitOf(*check));
    }
    return fits;
}

// Prints one line per caption; answers how many do not fit.
int reportFits(const QString &windowName, const QWidget &window)
{
    int clipped = 0;
    for (const CaptionFit &fit : captionFits(window)) {
        if (!fit.fits())
            ++clipped;
        out() << "  " << windowName << " / " << fit.control->objectName() << " \"" << fit.text << "\": needs "
              << fit.needed.width() << 'x' << fit.needed.height() << ", has " << fit.available.width() << 'x'
              << fit.available.height() << (fit.fits() ? "" : "  <-- CLIPPED") << '\n';
    }
    return clipped;
}

// Design names make the report readable.
void nameControls(vellumo::Form1 &main)
{
    main.Command1->setObjectName(QStringLiteral("Command1"));
}

void nameControls(vellumo::Form2 &dialog)
{
    dialog.Check1->setObjectName(QStringLiteral("Check1"));
    dialog.Command1->setObjectName(QStringLiteral("Command1"));
}

void nameControls(vellumo::Form3 &dialog)
{
    dialog.Label1->setObjectName(QStringLiteral("Label1"));
    dialog.Label2->setObjectName(QStringLiteral("Label2"));
    dialog.Label3->setObjectName(QStringLiteral("Label3"));
    dialog.Label4->setObjectName(QStringLiteral("Label4"));
    dialog.Label5->setObjectName(QStringLiteral("Label5"));
    dialog.Command1->setObjectName(QStringLiteral("Command1"));
}

void nameControls(vellumo::Form4 &dialog)
{
    dialog.Label1->setObjectName(QStringLiteral("Label1"));
    dialog.Label2->setObjectName(QStringLiteral("Label2"));
    dialog.Label3->setObjectName(QStringLiteral("Label3"));
    dialog.Command1->setObjectName(QStringLiteral("Command1"));
}

} // namespace screenshots
