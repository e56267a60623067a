// Whether the captions of a window fit their controls: for every label, push
// button and check box, the room its text needs against the room it has.

#pragma once

#include <QList>
#include <QSize>
#include <QString>

class QWidget;

namespace vellumo {
class Form1;
class Form2;
class Form3;
class Form4;
} // namespace vellumo

namespace screenshots {

// The room a caption needs in its control against the room it has.
struct CaptionFit {
    const QWidget *control = nullptr;
    QString text;
    QSize needed;
    QSize available;
    bool fits() const { return needed.width() <= available.width() && needed.height() <= available.height(); }
};

// Every caption of a label, push button or check box that shows in window.
QList<CaptionFit> captionFits(const QWidget &window);

// Prints one line per caption; answers how many do not fit.
int reportFits(const QString &windowName, const QWidget &window);

// Gives the controls their design names, which make the report readable.
void nameControls(vellumo::Form1 &main);
void nameControls(vellumo::Form2 &dialog);
void nameControls(vellumo::Form3 &dialog);
void nameControls(vellumo::Form4 &dialog);

} // namespace screenshots
