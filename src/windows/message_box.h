#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace vellumo {

// The program's message boxes: a text, a title, an icon and an OK button,
// shown modally. Tests can have every box answered at once; the boxes
// are then recorded instead of shown.
class MessageBox {
public:
    enum class Icon { Information, Critical };

    struct Shown {
        Icon icon;
        QString title;
        QString text;
    };

    // text may hold CR LF line breaks; they are shown as line breaks.
    static void show(Icon icon, const QString &title, const QString &text, QWidget *parent = nullptr);

    // Test seam: from now on every box is answered with OK without being shown.
    static void answerAutomatically(bool enabled);
    // The boxes answered automatically since the last call, oldest first.
    static QList<Shown> takeShown();
};

} // namespace vellumo
