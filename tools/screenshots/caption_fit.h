// Whether the captions of a window fit their controls: for every label, push
// button and check box, the room its text needs against the room it has.

#pragma once

#include <QString>

class QWidget;

namespace vellumo {
class Form1;
class Form2;
class Form3;
class Form4;
} // namespace vellumo

namespace screenshots {

// Prints one line per caption; answers how many do not fit.
int reportFits(const QString &windowName, const QWidget &window);

// Gives the controls their design names, which make the report readable.
void nameControls(vellumo::Form1 &main);
void nameControls(vellumo::Form2 &dialog);
void nameControls(vellumo::Form3 &dialog);
void nameControls(vellumo::Form4 &dialog);

} // namespace screenshots
