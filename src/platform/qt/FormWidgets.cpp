#include "platform/qt/FormWidgets.h"

#include <QLineEdit>
#include <QMouseEvent>

#include "frame/Wipe.h"
#include "platform/qt/QtText.h"

#include <utility>

namespace Kor2_Sys::platform::qt {

QColor toQColor(Long colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

void QtPainter::rectangle(double x1, double y1, double x2, double y2, Long colour)
{
    m_painter.fillRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)), toQColor(colour));
}

void QtPainter::line(double x1, double y1, double x2, double y2, Long colour)
{
    m_painter.setPen(toQColor(colour));
    m_painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void QtPainter::text(double x, double y, const Text& text, Long colour)
{
    m_painter.setPen(toQColor(colour));
    m_painter.drawText(QPointF(x, y), toQString(text));
}

PictureWidget::PictureWidget(Form& form, std::string name, QWidget* parent)
    : QWidget(parent), m_form(form), m_name(std::move(name))
{
}

void PictureWidget::paintEvent(QPaintEvent*)
{
    QtPainter painter(this);
    view::paintControl(painter, control(), width(), height(), hasFocus());
}

void PictureWidget::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();  // the focus ring
}

void PictureWidget::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void PictureWidget::mousePressEvent(QMouseEvent* event)
{
    const Control& c = control();
    if (c.kind != ControlKind::Picture) {
        QWidget::mousePressEvent(event);  // a filled rectangle takes no mouse
        return;
    }
    const auto [x, y] = view::pictureUnits(c, width(), height(), event->position().x(), event->position().y());
    const Qt::MouseButton b = event->button();
    const view::MouseButton button = b == Qt::RightButton    ? view::MouseButton::Right
                                     : b == Qt::MiddleButton ? view::MouseButton::Middle
                                                             : view::MouseButton::Left;
    const Qt::KeyboardModifiers m = event->modifiers();
    m_form.userMouseDown(m_name, view::buttonCode(button),
                         view::shiftCode(m & Qt::ShiftModifier, m & Qt::ControlModifier, m & Qt::AltModifier), x, y);
}

void PictureWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (control().kind == ControlKind::Picture)
        m_form.userDoubleClick(m_name);
    else
        QWidget::mouseDoubleClickEvent(event);
}

ColourButton::ColourButton(Form& form, std::string name, QWidget* parent)
    : QPushButton(parent), m_form(form), m_name(std::move(name))
{
}

void ColourButton::paintEvent(QPaintEvent* event)
{
    const Control& c = m_form.control(m_name);
    if (!c.backColour) {
        QPushButton::paintEvent(event);
        if (!c.picture.empty()) {
            QtPainter painter(this);
            view::paintDisplayList(painter, c, width(), height());
        }
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(*c.backColour));
    painter.setPen(isDown() ? Qt::black : QColor(0x80, 0x80, 0x80));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!text().isEmpty()) {
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
}

// A text Qt holds in read-only data (a literal) has no writable buffer and is only cleared.
void forget(QLineEdit* edit)
{
    const QString kept = edit->text();  // shares the widget's buffer
    if (kept.data_ptr().isMutable())
        wipe::bytes(const_cast<QChar*>(kept.constData()), static_cast<std::size_t>(kept.size()) * sizeof(QChar));
    edit->setText(QString());  // unlike clear(), drops the undo history that could bring the text back
}

} // namespace Kor2_Sys::platform::qt
