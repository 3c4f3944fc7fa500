#include "platform/qt/PaletteReading.h"

#include <QAccessible>
#include <QWidget>

#include "platform/qt/QtText.h"

#include <utility>

namespace Kor2_Sys::platform::qt {
namespace {

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

void announceChoice(QWidget* palette, std::optional<int>& heard, const Swatches& swatches)
{
    const std::optional<int> was = std::exchange(heard, swatches.selected);
    if (!was || *was == swatches.selected || !QAccessible::isActive())
        return;
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(palette);
    if (list == nullptr)
        return;
    selectedChanged(list, *was);
    if (swatches.selected < 0 || swatches.selected >= list->childCount())
        return;
    QAccessibleEvent chosen(palette, QAccessible::Selection);
    chosen.setChild(swatches.selected);
    QAccessible::updateAccessibility(&chosen);
    selectedChanged(list, swatches.selected);
}

} // namespace Kor2_Sys::platform::qt
