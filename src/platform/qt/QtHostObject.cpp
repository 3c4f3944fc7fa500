#include <Kor2_Sys/qt/QtHostObject.h>

#include "frame/Utf.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace Kor2_Sys::qt {
namespace {

double twipsPerPixel(bool horizontal)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? (horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY()) : 96;
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

// Pixels become twips by the factor and the nearest whole number (halves to even); twips become
// pixels by whole-number division.
Single toTwips(int pixels, bool horizontal) { return static_cast<Single>(std::nearbyint(pixels * twipsPerPixel(horizontal))); }
int toPixels(const Variant& twips, bool horizontal) { return static_cast<int>(twips.toDouble() / twipsPerPixel(horizontal)); }

class WidgetObject final : public Object {
public:
    explicit WidgetObject(QWidget* widget) : m_widget(widget) {}

    Variant invoke(std::string_view member, InvokeKind kind, std::span<Variant> args) override
    {
        if (!m_widget)
            throw errors::objectNotSet();
        const bool put = kind == InvokeKind::Put;
        if (put && args.empty())
            throw errors::wrongArgumentCount();
        const std::string name(member);
        const QRect outer = m_widget->frameGeometry();
        if (name == "Left") return put ? (m_widget->move(toPixels(args.back(), true), outer.y()), Variant{}) : Variant(toTwips(outer.x(), true));
        if (name == "Top") return put ? (m_widget->move(outer.x(), toPixels(args.back(), false)), Variant{}) : Variant(toTwips(outer.y(), false));
        if (name == "Width") {
            if (!put) return Variant(toTwips(outer.width(), true));
            m_widget->resize(toPixels(args.back(), true) - (outer.width() - m_widget->width()), m_widget->height());
            return {};
        }
        if (name == "Height") {
            if (!put) return Variant(toTwips(outer.height(), false));
            m_widget->resize(m_widget->width(), toPixels(args.back(), false) - (outer.height() - m_widget->height()));
            return {};
        }
        if (name == "ScaleWidth" && !put) return Variant(toTwips(m_widget->width(), true));
        if (name == "ScaleHeight" && !put) return Variant(toTwips(m_widget->height(), false));
        if (name == "WindowState") return put ? (setState(args.back().toInteger()), Variant{}) : Variant(state());
        if (name == "Visible") return put ? (m_widget->setVisible(args.back().toBoolean()), Variant{}) : Variant(m_widget->isVisible());
        if (name == "Caption") {
            if (!put) {
                const QString title = m_widget->windowTitle();
                return Variant(Text(reinterpret_cast<const char16_t*>(title.utf16()), static_cast<std::size_t>(title.size())));
            }
            const Text text = args.back().toText();
            m_widget->setWindowTitle(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
            return {};
        }
        if (name == "hWnd" && !put) return Variant(static_cast<Long>(m_widget->winId()));
        throw errors::memberNotSupported();
    }

private:
    Integer state() const
    {
        if (m_widget->isMinimized()) return 1;
        if (m_widget->isMaximized()) return 2;
        return 0;
    }
    void setState(Integer s)
    {
        if (s == 1) m_widget->showMinimized();
        else if (s == 2) m_widget->showMaximized();
        else m_widget->showNormal();
    }
    QPointer<QWidget> m_widget;
};

} // namespace

std::shared_ptr<Object> hostWindow(QWidget* widget)
{
    return std::make_shared<WidgetObject>(widget);
}

} // namespace Kor2_Sys::qt
