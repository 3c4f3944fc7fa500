#pragma once
// What every Qt window test shares: the real window system installed over a memory store, and the
// hook through which a test drives each window once it is on screen.

#include "Guards.h"
#include "platform/qt/QtWindowSystem.h"
#include "settings/Store.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QRect>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

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

/// One way for the user to end a window: a button, a key, the close box.
struct WindowEnd {
    const char* label;
    std::function<void(QWidget*)> end;
};

inline WindowEnd clicking(const char* label, const char* button)
{
    return {label, [button](QWidget* dialog) { QTest::mouseClick(child(dialog, button), Qt::LeftButton); }};
}
/// The key goes to `control` (the dialog itself when none).
inline WindowEnd pressing(const char* label, Qt::Key key, const char* control = nullptr)
{
    return {label, [key, control](QWidget* dialog) { QTest::keyClick(control ? child(dialog, control) : dialog, key); }};
}
inline WindowEnd closeBox() { return {"closeBox", [](QWidget* dialog) { dialog->close(); }}; }
inline std::string endName(const ::testing::TestParamInfo<WindowEnd>& info) { return info.param.label; }

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

    /// A window as the user left it after moving and sizing it.
    struct Placed {
        QRect opened;                           ///< outer geometry, pixels, as the window opened
        QRect outer;                            ///< outer geometry after the move and the resize
        std::map<std::string, QRect> controls;  ///< geometry of the named controls then
    };

    /// Has the next window shown moved to `at` (outer) and sized to `inner`, notes `controls`, then
    /// ends it by `end`; `placed` is filled once the window has been shown.
    void placeThenEnd(Placed& placed, QPoint at, QSize inner, std::vector<std::string> controls, WindowEnd end)
    {
        whenShown([&placed, at, inner, controls = std::move(controls), end = std::move(end)](QWidget* dialog) {
            placed.opened = dialog->frameGeometry();
            dialog->resize(inner);
            dialog->move(at);
            placed.outer = dialog->frameGeometry();
            for (const std::string& name : controls)
                placed.controls[name] = child(dialog, name.c_str())->geometry();
            end.end(dialog);
        });
    }

    /// Expects a window first used under its title to have opened at `defaults` (left, top, width,
    /// height in twips) and the store to hold where the user left it, under `section`.
    void expectOpenedThenSaved(const Placed& placed, std::array<double, 4> defaults, std::u16string_view section) const
    {
        EXPECT_EQ(placed.opened, QRect(pixelsX(defaults[0]), pixelsY(defaults[1]), pixelsX(defaults[2]), pixelsY(defaults[3])))
            << "a new title";
        expectStoredGeometry(section, placed.outer);
    }

    /// A stored geometry value as a number; nullopt when the key is absent.
    static std::optional<double> stored(std::u16string_view section, std::u16string_view key)
    {
        const auto text = Kor2_Sys::settings::store().find(u"Vesolar", Kor2_Sys::Text(section), Kor2_Sys::Text(key));
        if (!text)
            return std::nullopt;
        return Kor2_Sys::Variant(*text).toDouble();
    }

    /// Expects the four geometry keys of `section` to hold `outer` (pixels) in twips.
    void expectStoredGeometry(std::u16string_view section, const QRect& outer) const
    {
        EXPECT_EQ(stored(section, u"Left"), twipsX(outer.x()));
        EXPECT_EQ(stored(section, u"Top"), twipsY(outer.y()));
        EXPECT_EQ(stored(section, u"Width"), twipsX(outer.width()));
        EXPECT_EQ(stored(section, u"Height"), twipsY(outer.height()));
    }

    Kor2_Sys::settings::ScopedStore m_store{":memory:"};
    std::shared_ptr<Kor2_Sys::platform::qt::QtWindowSystem> m_ws;
    Kor2_Sys::platform::ScopedWindowSystem m_guard;
};

} // namespace kor2test
