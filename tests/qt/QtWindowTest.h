#pragma once
// What every Qt window test shares: the real window system installed over a memory store, and the
// hook through which a test drives each window once it is on screen.

#include "Guards.h"
#include "platform/qt/QtWindowSystem.h"
#include "settings/Store.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
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

/// Answers the next modal message box raised while `act` runs with `button` and returns its
/// text; an empty text when none came. A box that should not appear cannot block the test.
inline QString answerNextBox(const std::function<void()>& act, QMessageBox::StandardButton button = QMessageBox::Ok)
{
    QString text;
    QTimer answer;
    answer.setSingleShot(true);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            if (QAbstractButton* b = box->button(button))
                b->click();
            else
                box->reject();
        }
    });
    answer.start(0);
    act();
    QApplication::processEvents();
    return text;
}

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
