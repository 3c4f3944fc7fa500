#include "platform/qt/PaletteAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include "platform/FormView.h"
#include "platform/qt/FormWidgets.h"
#include "platform/qt/PaletteReading.h"
#include "platform/qt/QtText.h"

#include <typeinfo>
#include <vector>

namespace Kor2_Sys::platform::qt {
namespace {

// One cell of a swatch picture as a screen reader meets it: a list item with the cell's name,
// selected when it is the window's choice, focused when it has the ring.
class SwatchAccessible final : public QAccessibleInterface {
public:
    SwatchAccessible(PictureWidget* picture, int cell) : m_picture(picture), m_cell(cell) {}

    bool isValid() const override { return !m_picture.isNull() && m_picture->control().swatches.has_value(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_picture ? m_picture->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_picture.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !isValid())
            return {};
        return toQString(reading().name);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const view::PixelRect cell = view::swatchCell(*m_picture->control().swatches, m_cell, m_picture->width(), m_picture->height());
        return QRect(m_picture->mapToGlobal(QPoint(cell.left, cell.top)), QSize(cell.width, cell.height));
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        const view::SwatchReading read = reading();
        state.focusable = state.selectable = true;
        state.focused = read.focused;
        state.selected = read.selected;
        return state;
    }

private:
    view::SwatchReading reading() const
    {
        return view::readSwatch(*m_picture->control().swatches, m_cell, m_picture->hasFocus());
    }

    QPointer<PictureWidget> m_picture;
    int m_cell;
};

// A swatch picture as a list of its cells. The cells' interfaces live as long as the picture's.
class PaletteAccessible final : public QAccessibleWidget {
public:
    explicit PaletteAccessible(PictureWidget* picture) : QAccessibleWidget(picture, QAccessible::List) {}
    QString text(QAccessible::Text kind) const override
    {
        const QString own = QAccessibleWidget::text(kind);
        const Control& c = picture()->control();
        return kind == QAccessible::Name && c.swatches ? paletteEntryName(own, *c.swatches, picture()->hasFocus()) : own;
    }
    ~PaletteAccessible() override
    {
        for (const QAccessible::Id id : m_cells)
            if (id != 0)
                QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override
    {
        const Control& c = picture()->control();
        return c.swatches ? static_cast<int>(c.swatches->names.size()) : 0;
    }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        m_cells.resize(static_cast<std::size_t>(childCount()), 0);
        QAccessible::Id& id = m_cells[static_cast<std::size_t>(index)];
        if (id == 0)
            id = QAccessible::registerAccessibleInterface(new SwatchAccessible(picture(), index));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < static_cast<int>(m_cells.size()); ++i)
            if (m_cells[static_cast<std::size_t>(i)] != 0 && QAccessible::accessibleInterface(m_cells[static_cast<std::size_t>(i)]) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y))
                return child(i);
        return nullptr;
    }

private:
    PictureWidget* picture() const { return static_cast<PictureWidget*>(widget()); }
    mutable std::vector<QAccessible::Id> m_cells;
};

// Qt asks the factory for every widget it shows, readers or not: a type comparison answers the
// other widgets at a fraction of a cast's cost.
QAccessibleInterface* paletteAccessible(const QString&, QObject* object)
{
    if (object == nullptr || typeid(*object) != typeid(PictureWidget))
        return nullptr;
    auto* picture = static_cast<PictureWidget*>(object);
    return picture->control().swatches ? new PaletteAccessible(picture) : nullptr;
}

} // namespace

void readPalettesAsLists()
{
    static const bool installed = [] {
        QAccessible::installFactory(paletteAccessible);
        return true;
    }();
    (void)installed;
}

void announceRing(QWidget* widget, const Control& picture)
{
    if (!picture.swatches || picture.swatches->ringed() < 0 || !widget->hasFocus() || !QAccessible::isActive())
        return;
    QAccessibleEvent moved(widget, QAccessible::Focus);
    moved.setChild(picture.swatches->ringed());
    QAccessible::updateAccessibility(&moved);
}

} // namespace Kor2_Sys::platform::qt
