#pragma once

#include <QLabel>

namespace vellumo {

// A label that reports mouse movement over it and clicks on it.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

    // The label keeps its position and height and takes the width of its
    // text, within its minimum and maximum width.
    void setText(const QString &text);

    bool isUnderlined() const;
    void setUnderlined(bool underlined);

signals:
    void mouseMoved();
    void clicked();

protected:
    void fitToText();
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace vellumo
