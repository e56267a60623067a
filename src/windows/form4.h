#pragma once

#include "windows/tool_dialog.h"

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace vellumo {

class Form1;

// The language chooser, the first window of the program. Its load step
// loads the remembered language into the main window.
class Form4 : public ToolDialog {
    Q_OBJECT
public:
    explicit Form4(Form1 &mainWindow);

    QLabel *Label2;
    QFrame *Line1;
    QLabel *Label3;
    QListWidget *File1;
    QFrame *Frame1;
    QLabel *Label1;
    QPushButton *Command1;

    void Form_Load();
    // True when the load step found a language chosen on an earlier run
    // and hid the chooser.
    bool hiddenByLoadStep() const { return hidOnLoad_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void fillFileList();
    void Command1_Click();

    Form1 &main_;
    bool hidOnLoad_ = false;
    bool closingByOk_ = false;
};

} // namespace vellumo
