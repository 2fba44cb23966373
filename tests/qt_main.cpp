// GoogleTest with a QApplication around it; the tests run offscreen.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/fonts.h"

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    suelvan::fonts::LoadBundled();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
