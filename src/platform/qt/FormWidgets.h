#pragma once
// The widgets a form dialog makes for the controls Qt has no widget of its own for (pictures,
// filled rectangles, buttons in a colour or with a picture), and the painter through which they
// draw what the form model says they show.

#include "platform/Form.h"
#include "platform/FormView.h"

#include <QPainter>
#include <QPushButton>
#include <QWidget>

#include <optional>
#include <string>

class QLineEdit;

namespace Kor2_Sys::platform::qt {

/// The colour of a colour number (red in the lowest byte).
QColor toQColor(Long colour);

/// The form view's painter on a Qt paint device.
class QtPainter final : public view::Painter {
public:
    explicit QtPainter(QPaintDevice* device) : m_painter(device) {}
    void rectangle(double x1, double y1, double x2, double y2, Long colour) override;
    void line(double x1, double y1, double x2, double y2, Long colour) override;
    void text(double x, double y, const Text& text, Long colour) override;
    QPainter& qt() { return m_painter; }

private:
    QPainter m_painter;
};

/// A picture or filled rectangle: paints what the model shows on every paint. A picture reports
/// mouse presses in its own scale units; a picture of swatches takes the focus and rings one cell.
class PictureWidget final : public QWidget {
public:
    PictureWidget(Form& form, std::string name, QWidget* parent);
    const Control& control() const { return m_form.control(m_name); }
    /// The choice of its palette that screen readers last heard of (`announceChoice`).
    std::optional<int>& heardChoice() { return m_heardChoice; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Form& m_form;
    std::string m_name;
    std::optional<int> m_heardChoice;
};

/// A button painted in its back colour when it has one (the layer-colour button), drawn flat so
/// that the colour reads exactly; otherwise an ordinary push button, with its picture over its face.
class ColourButton final : public QPushButton {
public:
    ColourButton(Form& form, std::string name, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Form& m_form;
    std::string m_name;
};

/// Overwrites a line edit's text where the widget keeps it, then empties the widget: Qt releases a
/// replaced text without overwriting it, and a password box must not leave one behind.
void forget(QLineEdit* edit);

} // namespace Kor2_Sys::platform::qt
