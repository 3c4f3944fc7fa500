#pragma once
// What every Qt window test shares: the real window system installed over a memory store, and the
// hook through which a test drives each window once it is on screen.

#include "Guards.h"
#include "QtBoxes.h"
#include "platform/qt/QtWindowSystem.h"
#include "settings/Store.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

extern "C" Kor2_Sys::platform::WindowSystem* kor2_create_qt_window_system();

// Failures print Qt's texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace kor2test {

class QtWindows : public ::testing::Test {
protected:
    // Made as a host gets it, through the module's entry point: an application the host made itself
    // has someone watching, even on a platform that draws nowhere.
    QtWindows() : m_ws(static_cast<Kor2_Sys::platform::qt::QtWindowSystem*>(kor2_create_qt_window_system())), m_guard(m_ws) {}

    /// The widget of a control (widgets carry their controls' names).
    static QWidget* child(QWidget* dialog, const char* name) { return dialog->findChild<QWidget*>(name); }

    /// Runs `drive` on each window (dialog, message box, file dialog) right after it shows.
    void whenShown(std::function<void(QWidget*)> drive) { m_ws->setShownHook(std::move(drive)); }

    /// Shows the form modally, runs `drive` on it once it is on screen, then hides it.
    void showThen(Kor2_Sys::platform::Form& form, const std::function<void(QWidget*)>& drive)
    {
        bool driven = false;
        whenShown([&](QWidget* dialog) {
            driven = true;
            drive(dialog);
            form.hide();
        });
        m_ws->showModal(form);
        EXPECT_TRUE(driven) << "the window was never shown";
    }

    /// Twips to pixels on the test screen, as the window system converts them.
    int pixelsX(double twips) const { return static_cast<int>(twips / m_ws->twipsPerPixelX()); }
    int pixelsY(double twips) const { return static_cast<int>(twips / m_ws->twipsPerPixelY()); }

    Kor2_Sys::settings::ScopedStore m_store{":memory:"};
    std::shared_ptr<Kor2_Sys::platform::qt::QtWindowSystem> m_ws;
    Kor2_Sys::platform::ScopedWindowSystem m_guard;
};

} // namespace kor2test
