#pragma once

#include "windows/tool_dialog.h"

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vellumo {

class LinkLabel;
struct TextTable;

// The about box, with the link to the maker's web site.
class Form3 : public ToolDialog {
    Q_OBJECT
public:
    Form3();
    // The captions of a language file.
    void applyCaptions(const TextTable &captions);

    QLabel *Label1;
    QLabel *Label4;
    QLabel *Label2;
    QLabel *Label5;
    QPlainTextEdit *Text1;
    QFrame *Frame1;
    LinkLabel *Label3;
    QPushButton *Command1;

signals:
    // The link was clicked: open the maker's web site.
    void visitRequested();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void Label3_MouseMove();
    void Form_MouseMove();
    void Label3_Click();
    void Command1_Click();
};

} // namespace vellumo
