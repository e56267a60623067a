// Loaded into the program with LD_PRELOAD: twice a second, writes the title
// of every window on screen and the rows of the lists in it to the file
// $VELLUMO_WINDOW_PROBE, so that a script can see what a program started
// on the offscreen platform shows.

#include <QAbstractItemView>
#include <QApplication>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

static void startWindowProbe()
{
    auto *timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [] {
        QByteArray text;
        for (const QWidget *window : QApplication::topLevelWidgets()) {
            if (!window->isVisible())
                continue;
            text += "window: " + window->windowTitle().toUtf8() + '\n';
            for (const QAbstractItemView *view : window->findChildren<QAbstractItemView *>())
                for (int row = 0; view->model() && row < view->model()->rowCount(); ++row)
                    text += "  row: " + view->model()->index(row, 0).data().toString().toUtf8() + '\n';
        }
        QSaveFile file(qEnvironmentVariable("VELLUMO_WINDOW_PROBE"));
        if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size())
            file.commit();
    });
    timer->start(500);
}
Q_COREAPP_STARTUP_FUNCTION(startWindowProbe)
