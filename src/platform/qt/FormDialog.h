#pragma once
// A form model rendered with Qt Widgets: one QDialog, one widget per control (named after it),
// kept in step with the model, and every user action sent back through the model's own paths.

#include "platform/Form.h"
#include "platform/FormView.h"

#include <QDialog>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class QIcon;
class QKeyEvent;
class QLineEdit;
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
    void focusChanged(const std::string& control) override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// How each control kind is made, kept in step and measured: one entry per kind (FormDialog.cpp).
    struct Kinds;

    int px(double twips) const { return view::toPixels(twips, m_tppX); }
    int py(double twips) const { return view::toPixels(twips, m_tppY); }
    /// Whether moves and resizes of the widget now come from the user or the window manager.
    bool placedByUser() const;
    void adoptFrame();
    QWidget* create(const Control& control);
    /// The control's widget, made (with its frame's) when it has none yet.
    QWidget* realise(const Control& control);
    std::vector<QWidget*> tabOrder() const;
    void sync(const Control& control);
    void syncWindow();
    /// What a screen reader reads for the control's widget: its name, description and label.
    void nameForReaders(QWidget* widget, const Control& c);
    void setTabOrderFromModel();
    /// Wipes and empties the widgets of the password boxes.
    void forgetPasswords();
    /// The control a watched widget renders (its object name), or empty for any other object.
    std::string nameOf(QObject* widget) const;
    /// The control a key that reached the dialog itself belongs to: the focused one.
    std::string keyTarget() const;
    /// A key the model answers on `control` (Tab, Enter, Escape, Space): sent there; false for others.
    bool keyToModel(const std::string& control, const QKeyEvent& key);
    /// Runs an edit the user made in `control`'s widget through the model; returns how many times
    /// the model told of a change to that control meanwhile (none of them synced).
    int userEdit(const std::string& control, const std::function<void()>& edit);
    /// A character typed into a line edit, through the model and back into the widget.
    void typed(QLineEdit* edit, const std::string& control, int key);
    /// Brings the line edit up to the model after one typed character (or backspace) the model
    /// took; false when the widget does not come out the same and needs a full sync.
    bool followTyped(QLineEdit* edit, const Control& box, qsizetype before, qsizetype selected);

    Form& m_form;
    double m_tppX, m_tppY;
    std::unordered_map<std::string, QWidget*> m_widgets;
    /// What the dialog applies from the model, and the user's edits the model tells back, are echoes.
    view::Echo m_echo;
    std::string m_icon;
    bool m_modal = false;
    bool m_detached = false;
    bool m_captionsFit = false;
    int m_lineSpacing = 13;
};

} // namespace Kor2_Sys::platform::qt
