#include "platform/qt/PaletteReading.h"

#include <QAccessible>
#include <QVariant>
#include <QWidget>

#include "platform/qt/QtText.h"

namespace Kor2_Sys::platform::qt {
namespace {

// The choice readers last heard of, kept on the widget itself: it goes with the widget.
constexpr char kHeardChoice[] = "kor2HeardChoice";

void selectedChanged(QAccessibleInterface* palette, int cell)
{
    QAccessibleInterface* item = cell >= 0 && cell < palette->childCount() ? palette->child(cell) : nullptr;
    if (item == nullptr)
        return;
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(item, changed);
    QAccessible::updateAccessibility(&event);
}

} // namespace

QString paletteEntryName(const QString& own, const Swatches& swatches, bool focused)
{
    if (!focused || swatches.ringed() < 0)
        return own;
    const QString ringed = toQString(swatches.names[static_cast<std::size_t>(swatches.ringed())]);
    return own.isEmpty() ? ringed : own + QStringLiteral(": ") + ringed;
}

void announceChoice(QWidget* palette, const Swatches& swatches)
{
    const QVariant heard = palette->property(kHeardChoice);
    palette->setProperty(kHeardChoice, swatches.selected);
    if (!heard.isValid() || heard.toInt() == swatches.selected || !QAccessible::isActive())
        return;
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(palette);
    if (list == nullptr)
        return;
    selectedChanged(list, heard.toInt());
    if (swatches.selected < 0 || swatches.selected >= list->childCount())
        return;
    QAccessibleEvent chosen(palette, QAccessible::Selection);
    chosen.setChild(swatches.selected);
    QAccessible::updateAccessibility(&chosen);
    selectedChanged(list, swatches.selected);
}

} // namespace Kor2_Sys::platform::qt
