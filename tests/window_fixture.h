// The window with a substitute world, and ways to reach its controls by name.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QTimer>

#include "tests/fake_services.h"
#include "ui/main_window.h"

namespace suelvan::test {

class Window : public ::testing::Test {
   protected:
    template <typename T = QWidget>
    T* Find(const char* name) const {
        T* widget = window_.findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QAbstractButton* Option(int index) const {
        return window_.findChild<QButtonGroup*>(QStringLiteral("optLautstaerke"))->button(index);
    }
    QWidget* Control(const char* name, int optionIndex) const {
        return optionIndex >= 0 ? Option(optionIndex) : Find(name);
    }
    // What the timer does each second, without waiting for it.
    void Tick() { QMetaObject::invokeMethod(Find<QTimer>("Timer1"), "timeout"); }

    test::FakeServices services_;
    frmSuelvan window_{services_};
};

}  // namespace suelvan::test
