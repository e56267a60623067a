// Progress steps of the main window's progress bar.

#include "app/form1.h"

#include <QProgressBar>

namespace vellumo {

void Form1::add()
{
    // A step past the maximum is not taken; the bar keeps its value.
    const int next = ProgressBar1->value() + 10;
    if (next <= ProgressBar1->maximum())
        ProgressBar1->setValue(next);
}

void Form1::clear()
{
    ProgressBar1->setValue(0);
}

} // namespace vellumo
