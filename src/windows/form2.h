#pragma once

#include "windows/tool_dialog.h"

class QFrame;
class QPushButton;

namespace vellumo {

class Settings;
struct TextTable;
class TriStateCheckBox;

// The settings dialog: whether the skin list is fetched at every start.
class Form2 : public ToolDialog {
    Q_OBJECT
public:
    explicit Form2(Settings &settings);
    // The captions of a language file.
    void applyCaptions(const TextTable &captions);

    TriStateCheckBox *Check1;
    QFrame *Frame1;
    QPushButton *Command1;

private:
    void Check1_Click();
    void Command1_Click();

    Settings &settings_;
};

} // namespace vellumo
