#pragma once

#include <QLabel>

namespace vellumo {

// A label that reports mouse movement over it and clicks on it.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

    bool isUnderlined() const;
    void setUnderlined(bool underlined);

signals:
    void mouseMoved();
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace vellumo
