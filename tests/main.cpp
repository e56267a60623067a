// One test program for everything: the widget tests need a QApplication,
// on the offscreen platform unless the caller chose another.

#include "windows/message_box.h"

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // No test ever waits for a person to close a message box.
    vellumo::MessageBox::answerAutomatically(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
