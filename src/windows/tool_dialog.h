#pragma once

#include <QDialog>

class QFrame;
class QLabel;

namespace vellumo {

// A small dialog: fixed-size tool window with a close box and no minimise
// or maximise button, no taskbar entry, no owner, centred on the screen
// when first shown. Closing it with its close box destroys it; hiding keeps
// it. It has no cancel button, so Escape does nothing.
class ToolDialog : public QDialog {
    Q_OBJECT
public:
    // clientWidth, clientHeight in twips.
    ToolDialog(const QString &title, int clientWidthTwips, int clientHeightTwips);

    // What Escape would do; nothing here.
    void reject() override {}

protected:
    // A sunken horizontal line, the dialogs' separator.
    QFrame *separatorLine(const QRect &geometry);
    // A label whose text starts at its top left corner.
    QLabel *label(const QString &text, const QRect &geometry, bool wordWrap = false);

    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool placed_ = false;
};

} // namespace vellumo
