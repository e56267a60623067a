// The main window's catalogue procedures: loading the skin list, the list
// update and the preview of a clicked skin.

#include "app/form1.h"

#include <QTimer>

namespace vellumo {

void Form1::loading_Timer()
{
    loading->stop();
}

void Form1::update_Click()
{
}

void Form1::TV1_NodeClick(QTreeWidgetItem *node)
{
    Q_UNUSED(node);
}

} // namespace vellumo
