// The main window's commands that install and remove Messenger's background.

#include "app/form1.h"

namespace vellumo {

void Form1::Command1_Click()
{
}

void Form1::skin_Click()
{
    Command1_Click();
}

void Form1::deleteskins_Click()
{
}

void Form1::manualskin_Click()
{
}

} // namespace vellumo
