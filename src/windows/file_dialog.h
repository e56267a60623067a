#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace vellumo {

// The open-file dialog. Tests give the next answer in advance.
class FileDialog {
public:
    // The chosen file's full path, or "" when the dialog was cancelled.
    static QString getOpenFileName(QWidget *parent, const QString &filter);

    // Test seam: the next call answers fileName at once, without a dialog
    // ("" answers as a cancelled dialog).
    static void setNextFileName(const QString &fileName);
};

} // namespace vellumo
