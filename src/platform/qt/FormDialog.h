#pragma once
// A form model rendered with Qt Widgets: one QDialog, one widget per control (named after it),
// kept in step with the model, and every user action sent back through the model's own paths.

#include "platform/Form.h"

#include <QDialog>

#include <map>
#include <string>
#include <vector>

class QIcon;
class QWidget;

namespace Kor2_Sys::platform::qt {

/// The picture of a window icon by its freedesktop name: the desktop theme's, else the module's
/// own; a null icon for the empty name.
QIcon windowIconNamed(const std::string& name);

class FormDialog final : public QDialog, public FormObserver {
public:
    /// `twipsPerPixel` converts the model's twips (whole-number division).
    FormDialog(Form& form, double twipsPerPixelX, double twipsPerPixelY);
    ~FormDialog() override;

    /// Shows the dialog modally; returns once the model hides or unloads the window.
    void runModal();
    /// The widget of a control, or null.
    QWidget* widgetOf(const std::string& control) const;

    void formChanged() override;
    void controlChanged(const std::string& control) override;
    void visibilityChanged(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int px(double twips) const { return toPixels(twips, m_tppX); }
    int py(double twips) const { return toPixels(twips, m_tppY); }
    static int toPixels(double twips, double twipsPerPixel);
    /// Whether moves and resizes of the widget now come from the user or the window manager.
    bool placedByUser() const;
    void adoptFrame();
    QWidget* create(const Control& control);
    /// The control's widget, made (with its frame's) when it has none yet.
    QWidget* realise(const Control& control);
    std::vector<QWidget*> tabOrder() const;
    QWidget* firstInTabOrder() const;
    void sync(const Control& control);
    void syncWindow();
    void setTabOrderFromModel();
    std::string nameOf(QObject* widget) const;

    Form& m_form;
    double m_tppX, m_tppY;
    std::map<std::string, QWidget*> m_widgets;
    bool m_syncing = false;
    bool m_placing = false;  // the model's geometry is being applied: the widget's events echo it
    std::string m_icon;
    bool m_modal = false;
    bool m_detached = false;
    bool m_captionsFit = false;
    int m_lineSpacing = 13;
};

} // namespace Kor2_Sys::platform::qt
