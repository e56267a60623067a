#include "windows/form2.h"

#include "app/settings.h"
#include "localisation/text_table.h"
#include "windows/tri_state_check_box.h"
#include "windows/twips.h"

#include <QFrame>
#include <QPushButton>

namespace vellumo {

Form2::Form2(Settings &settings)
    : ToolDialog(builtInTexts().capSettings, 4200, 2400)
    , settings_(settings)
{
    Frame1 = separatorLine(twipsRect(120, 1680, 3975, 135));

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(twipsRect(3000, 1920, 1095, 375));

    Check1 = new TriStateCheckBox(builtInTexts().capUpdateOnStart, this);
    Check1->setGeometry(twipsRect(240, 240, 3855, 255));

    setTabOrder(Command1, Check1);

    connect(Check1, &TriStateCheckBox::valueChanged, this, &Form2::Check1_Click);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
}

void Form2::Check1_Click()
{
    settings_.setUpdateList(Check1->value());
}

void Form2::Command1_Click()
{
    hide();
}

void Form2::applyCaptions(const TextTable &captions)
{
    setWindowTitle(captions.capSettings);
    Check1->setText(captions.capUpdateOnStart);
}

} // namespace vellumo
