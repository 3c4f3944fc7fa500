// The host kit on real widgets: a host's main windows, their status bars and controls, handed to
// the library through the Qt module's adapters.
#include "Hosts.h"

#include <Kor2_Sys/qt/QtHostObject.h>

#include <QtTest>
#include <QtWidgets>

#include <map>

namespace kor2test {
namespace {

namespace Ks = Kor2_Sys;
namespace kq = Kor2_Sys::qt;

class QtHosts final : public Hosts {
public:
    ~QtHosts() override
    {
        for (const QPointer<QWidget>& form : m_forms)
            delete form.data();
    }

    Variant form(std::vector<DropDown> menus) override
    {
        auto* window = new QMainWindow;
        m_forms.emplace_back(window);
        window->resize(400, 300);
        for (const DropDown& dropDown : menus) {
            QMenu* menu = window->menuBar()->addMenu(QString::fromStdU16String(dropDown.caption));
            for (const Ks::Text& item : dropDown.items)
                item == u"-" ? menu->addSeparator() : menu->addAction(QString::fromStdU16String(item));
        }
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        return keep(window, "Form", kq::hostWindow(window));
    }
    Variant statusBar(const Variant& form, std::vector<int> widths) override
    {
        QStatusBar* bar = static_cast<QMainWindow*>(widget(form))->statusBar();
        // A hidden panel is no part, and the last part is a permanent one, laid out last.
        auto* hidden = new QLabel(QStringLiteral("oculto"));
        bar->addWidget(hidden);
        hidden->hide();
        for (std::size_t i = 0; i < widths.size(); ++i) {
            auto* part = new QLabel(QStringLiteral("Listo"));
            part->setFixedWidth(widths[i]);
            i + 1 < widths.size() ? bar->addWidget(part) : bar->addPermanentWidget(part);
            m_parts[bar].push_back(part);
        }
        bar->show();
        QApplication::processEvents();
        return keep(bar, "StatusBar", kq::hostStatusBar(bar));
    }
    Variant progressBar(const Variant& form) override
    {
        auto* bar = new QProgressBar(widget(form));
        bar->setValue(40);
        bar->hide();
        return keep(bar, "ProgressBar", kq::hostProgressBar(bar));
    }
    // A picture box as a host paints one: red, with a blue square near its corner.
    Variant picture(const Variant& form, float width, float height) override
    {
        const Ks::platform::WindowSystem& ws = Ks::platform::windowSystem();
        QPixmap drawing(static_cast<int>(width / ws.twipsPerPixelX()), static_cast<int>(height / ws.twipsPerPixelY()));
        drawing.fill(Qt::red);
        QPainter(&drawing).fillRect(QRect(5, 5, 10, 10), Qt::blue);
        auto* picture = new QLabel(widget(form));
        picture->setPixmap(drawing);
        picture->setGeometry(QRect(QPoint(10, 10), drawing.size()));
        picture->show();
        QApplication::processEvents();
        return keep(picture, "Picture", kq::hostPicture(picture));
    }
    Variant control(const Variant& form, PixelPoint at) override
    {
        auto* label = new QLabel(QStringLiteral("P1"), widget(form));
        label->setGeometry(at.x, at.y, 60, 24);
        label->show();
        return keep(label, "Label", kq::hostControl(label));
    }
    Variant bitmap() override
    {
        QPixmap red(16, 16);
        red.fill(Qt::red);
        return m_bitmap.isEmpty() ? m_bitmap = kq::hostBitmap(red) : m_bitmap;
    }

    PixelRect part(const Variant& statusBar, int index) override
    {
        QWidget* bar = widget(statusBar);
        bar->layout()->activate();
        const QRect r = m_parts.at(bar).at(index)->geometry();
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    void widen(const Variant& statusBar, int index, int pixels) override
    {
        QLabel* part = m_parts.at(widget(statusBar)).at(index);
        part->setFixedWidth(part->width() + pixels);
        QApplication::processEvents();
    }
    std::string parentOf(const Variant& host) override
    {
        const QWidget* parent = widget(host)->parentWidget();
        return parent ? parent->objectName().toStdString() : std::string();
    }
    void destroy(const Variant& host) override { delete widget(host); }
    void setCursor(PixelPoint at) override { QCursor::setPos(at.x, at.y); }
    std::optional<PixelPoint> clipboardBitmap() override
    {
        const QImage image = QGuiApplication::clipboard()->image();
        if (image.isNull())
            return std::nullopt;
        EXPECT_EQ(std::tuple(image.pixelColor(0, 0), image.pixelColor(9, 9), image.pixelColor(image.width() / 2, image.height() / 2)),
                  std::tuple(QColor(Qt::red), QColor(Qt::blue), QColor(Qt::red)))
            << "the copy is what the picture shows, from its corner";
        return PixelPoint{image.width(), image.height()};
    }
    std::vector<std::pair<bool, bool>> pictures(const Variant& form, int menu) override
    {
        const auto shows = [](const QAction* item, QIcon::State state) {
            return !item->icon().isNull() &&
                   item->icon().pixmap(QSize(16, 16), 1.0, QIcon::Normal, state).toImage().pixelColor(8, 8) == Qt::red;
        };
        std::vector<std::pair<bool, bool>> out;
        for (const QAction* item : static_cast<QMainWindow*>(widget(form))->menuBar()->actions().at(menu)->menu()->actions())
            out.emplace_back(shows(item, QIcon::Off), shows(item, QIcon::On));
        return out;
    }
    std::vector<std::pair<Ks::Text, Ks::Long>> systemMenu(const Variant& form) override
    {
        std::vector<std::pair<Ks::Text, Ks::Long>> out;
        for (const QAction* item : kq::systemMenu(widget(form))->actions()) {
            const QString text = item->isSeparator() ? QStringLiteral("-") : item->text();
            out.emplace_back(text.toStdU16String(), item->property("kor2Command").toInt());
        }
        return out;
    }

private:
    // Objects are named after their kind and a count, as the headless kit names them.
    Variant keep(QWidget* widget, const std::string& kind, std::shared_ptr<Ks::Object> host)
    {
        widget->setObjectName(QString::fromStdString(kind + std::to_string(++m_count[kind])));
        m_widgets[host.get()] = widget;
        return host;
    }
    QWidget* widget(const Variant& host) const { return m_widgets.at(host.toObject().get()).data(); }

    std::vector<QPointer<QWidget>> m_forms;
    std::map<const Ks::Object*, QPointer<QWidget>> m_widgets;
    std::map<const QWidget*, std::vector<QLabel*>> m_parts;
    std::map<std::string, int> m_count;
    Variant m_bitmap;
};

} // namespace

std::unique_ptr<Hosts> makeQtHosts() { return std::make_unique<QtHosts>(); }

} // namespace kor2test
