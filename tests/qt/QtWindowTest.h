#pragma once
// What every Qt window test shares: the real window system installed over a memory store, and the
// hook through which a test drives each window once it is on screen.

#include "Guards.h"
#include "QtBoxes.h"
#include "platform/qt/QtWindowSystem.h"
#include "settings/Store.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

// Failures print Qt's texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace kor2test {

/// The widget of a control (widgets carry their controls' names).
inline QWidget* child(QWidget* dialog, const char* name) { return dialog->findChild<QWidget*>(name); }

class QtWindows : public ::testing::Test {
protected:
    QtWindows() : m_ws(std::make_shared<Kor2_Sys::platform::qt::QtWindowSystem>()), m_guard(m_ws) {}

    /// Runs `drive` on each window (dialog, message box, file dialog) right after it shows.
    void whenShown(std::function<void(QWidget*)> drive) { m_ws->setShownHook(std::move(drive)); }

    /// Pixels to twips on the test screen, as the window system converts them.
    double twipsX(int pixels) const { return pixels * m_ws->twipsPerPixelX(); }
    double twipsY(int pixels) const { return pixels * m_ws->twipsPerPixelY(); }
    int pixelsX(double twips) const { return static_cast<int>(twips / m_ws->twipsPerPixelX()); }
    int pixelsY(double twips) const { return static_cast<int>(twips / m_ws->twipsPerPixelY()); }


    Kor2_Sys::settings::ScopedStore m_store{":memory:"};
    std::shared_ptr<Kor2_Sys::platform::qt::QtWindowSystem> m_ws;
    Kor2_Sys::platform::ScopedWindowSystem m_guard;
};

} // namespace kor2test
