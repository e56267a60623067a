#pragma once

#include <QCheckBox>

namespace vellumo {

// A check box whose value is 0 (clear), 1 (ticked) or 2 (grayed).
// The program may set any of the three; a click by the user only ticks or
// clears it.
class TriStateCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TriStateCheckBox(const QString &text, QWidget *parent = nullptr);

    int value() const;
    // Throws Failure InvalidPropertyValue (380) for a value other than 0, 1, 2.
    void setValue(int value);

signals:
    // Every change of the state, by the user or by the program.
    void valueChanged(int value);

protected:
    void nextCheckState() override;
};

} // namespace vellumo
