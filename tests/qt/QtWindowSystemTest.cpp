// The Qt window system's services outside the library's own windows: message boxes, and how any
// form model follows what the user does to its dialog.
#include "QtWindowTest.h"

#include <array>

using namespace Kor2_Sys;

namespace {

using QtWindowSystem = kor2test::QtWindows;

// The host's own boxes keep their language: the file chooser's test.
TEST_F(QtWindowSystem, MessageBoxCarriesTheApplicationTitleAndSpanishButtons)
{
    QStringList seen;
    whenShown([&](QWidget* shown) {
        auto* box = static_cast<QMessageBox*>(shown);
        seen = {box->windowTitle(), box->text(), box->button(QMessageBox::Ok)->text(), box->button(QMessageBox::Cancel)->text()};
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(m_ws->messageBox({u"¿Seguro?", platform::MessageButtons::OkCancel}), platform::MessageAnswer::Cancel);
    EXPECT_EQ(seen, QStringList({"Kor2_Sys", "¿Seguro?", "Aceptar", "Cancelar"}));
}

// A sizeable window that counts its layouts.
class CountedWindow final : public platform::FormEvents {
public:
    CountedWindow() : form("Contado", *this)
    {
        form.setResizable(true);
        form.setFrameSize(120, 450);
        form.move(1500, 1200);
        form.resize(4500, 3000);
        layouts = 0;
    }
    void onResize() override { ++layouts; }
    platform::Form form;
    int layouts = 0;
};

std::array<double, 4> outer(const platform::Form& f) { return {f.left(), f.top(), f.width(), f.height()}; }

TEST_F(QtWindowSystem, UserMovesAndResizesReachTheModelOncePerChange)
{
    CountedWindow window;
    const auto tx = [&](int pixels) { return pixels * m_ws->twipsPerPixelX(); };
    const auto ty = [&](int pixels) { return pixels * m_ws->twipsPerPixelY(); };
    showThen(window.form, [&](QWidget* dialog) {
        const int atShow = window.layouts;
        const auto shown = outer(window.form);
        EXPECT_EQ(dialog->frameGeometry(), QRect(100, 80, 300, 200)) << "the outer size the model holds";
        dialog->move(40, 30);
        EXPECT_EQ(outer(window.form), (std::array{tx(40), ty(30), shown[2], shown[3]}));
        EXPECT_EQ(window.layouts, atShow) << "a move is no resize";
        dialog->resize(dialog->width() + 20, dialog->height() + 10);
        EXPECT_EQ(window.layouts, atShow + 1);
        const QRect frame = dialog->frameGeometry();
        EXPECT_EQ(outer(window.form), (std::array{tx(40), ty(30), tx(frame.width()), ty(frame.height())}));
        EXPECT_EQ(window.form.innerWidth(), tx(dialog->width()));
        // What the model asks for is shown and not taken back as the user's: fractions of a pixel
        // stay in the model.
        window.form.move(1234.5, 987.25);
        window.form.resize(5001.5, 2999.5);
        EXPECT_EQ(dialog->frameGeometry().topLeft(), QPoint(pixelsX(1234.5), pixelsY(987.25)));
        EXPECT_EQ(dialog->width(), pixelsX(window.form.innerWidth()));
        EXPECT_EQ(outer(window.form), (std::array{1234.5, 987.25, 5001.5, 2999.5}));
        EXPECT_EQ(window.layouts, atShow + 2) << "one layout for the code's own resize";
    });
}

} // namespace
