#include "platform/qt/FormDialog.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/FormView.h"
#include "platform/qt/DialogFonts.h"
#include "platform/qt/FormWidgets.h"
#include "platform/qt/PaletteAccessible.h"
#include "platform/qt/PaletteReading.h"
#include "platform/qt/QtText.h"

#include <iterator>
#include <optional>
#include <vector>

namespace Kor2_Sys::platform::qt {
namespace {

// The model's access key for a key pressed with Alt: its text, or for a key without one (a letter
// beyond the basic keys, on some keyboards) the character Qt names it by.
std::optional<view::ModelKey> accessKeyPressed(const QKeyEvent& event)
{
    const QString text = event.text();
    const char32_t character = text.size() == 1 ? text[0].unicode()
                               : event.key() > 0 && event.key() <= 0xFFFF ? static_cast<char32_t>(event.key())
                                                                          : 0;
    return view::accessKey(character, event.modifiers() & Qt::AltModifier, event.modifiers() & Qt::ControlModifier);
}

// A caption is never clipped: a label whose text does not fit its place (in as many lines as its
// height holds) grows to the right just enough.
void fitLabel(QLabel* label, const Control& c)
{
    const QtMeasure measure(label->font());
    label->setWordWrap(view::labelWraps(label->height(), measure.lineSpacing()));
    label->setText(toQString(c.caption));
    if (const int width = view::fittedLabelWidth(c, measure, label->width(), label->height()); width != label->width())
        label->resize(width, label->height());
}

} // namespace

// Each control kind is one entry: how its widget is made, how it follows its control, and how its
// caption is measured when the dialog font is chosen. Geometry, visibility, enabling, tool tip,
// focus policy and bold text are the same for every kind and stay with FormDialog.
struct FormDialog::Kinds {
    struct Binding {
        QWidget* (*create)(FormDialog& dialog, const Control& c, QWidget* parent);
        void (*sync)(FormDialog& dialog, QWidget* widget, const Control& c);
        bool clickOnRelease;     // the widget has no click of its own: a released button is one
    };

    static QWidget* createLabel(FormDialog&, const Control&, QWidget* parent)
    {
        auto* label = new QLabel(parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    static void syncLabel(FormDialog& dialog, QWidget* widget, const Control& c)
    {
        auto* label = static_cast<QLabel*>(widget);
        if (!dialog.m_captionsFit) {
            fitLabel(label, c);
            return;
        }
        label->setWordWrap(view::labelWraps(label->height(), dialog.m_lineSpacing));
        label->setText(toQString(c.caption));
    }

    static QWidget* createFrame(FormDialog&, const Control&, QWidget* parent) { return new QGroupBox(parent); }
    static void syncFrame(FormDialog&, QWidget* widget, const Control& c)
    {
        static_cast<QGroupBox*>(widget)->setTitle(toQString(c.caption));
    }

    static QWidget* createTextBox(FormDialog& dialog, const Control& c, QWidget* parent)
    {
        if (c.multiline) {
            auto* area = new QPlainTextEdit(parent);
            area->setLineWrapMode(QPlainTextEdit::NoWrap);
            area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            if (c.fixedPitch) {
                QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
                fixed.setPointSizeF(8.25);
                area->setFont(fixed);
            }
            area->setTabChangesFocus(true);  // Tab belongs to the model's tab order
            connect(area, &QPlainTextEdit::textChanged, &dialog, [&dialog, area, name = c.name] {
                if (!dialog.m_echo.applying() &&
                    dialog.userEdit(name, [&] { dialog.m_form.userEdited(name, toText(area->toPlainText())); }) > 1)
                    dialog.sync(dialog.m_form.control(name));
            });
            return area;
        }
        auto* edit = new QLineEdit(parent);
        connect(edit, &QLineEdit::textEdited, &dialog, [&dialog, name = c.name](const QString& text) {
            if (!dialog.m_echo.applying() && dialog.userEdit(name, [&] { dialog.m_form.userEdited(name, toText(text)); }) > 1)
                dialog.sync(dialog.m_form.control(name));
        });
        connect(edit, &QLineEdit::selectionChanged, &dialog, [&dialog, edit, name = c.name] {
            if (!dialog.m_echo.applying())
                dialog.m_form.userSelected(name, edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition(),
                                           static_cast<Long>(edit->selectionLength()));
        });
        connect(edit, &QLineEdit::cursorPositionChanged, &dialog, [&dialog, edit, name = c.name](int, int now) {
            if (!dialog.m_echo.applying() && !edit->hasSelectedText())
                dialog.m_form.userSelected(name, now, 0);
        });
        return edit;
    }
    static void syncTextBox(FormDialog&, QWidget* widget, const Control& c)
    {
        // Compared in place: a password box's text is copied only when the widget takes the copy.
        const QStringView model(c.caption.data(), static_cast<qsizetype>(c.caption.size()));
        if (auto* area = qobject_cast<QPlainTextEdit*>(widget)) {
            // Only a change made by the model is written back: the user's own edits are already there.
            if (area->toPlainText() != model)
                area->setPlainText(model.toString());
            return;
        }
        auto* edit = static_cast<QLineEdit*>(widget);
        if (edit->text() != model) {
            if (c.passwordChar != 0)
                forget(edit);
            edit->setText(model.toString());
        }
        if (const auto echo = c.passwordChar ? QLineEdit::Password : QLineEdit::Normal; edit->echoMode() != echo) {
            edit->setEchoMode(echo);
            // No input method may learn, predict or offer a password again, nor keep it in a
            // clipboard history (Qt's password echo asks the same; said here so that it stays so).
            if (c.passwordChar != 0)
                edit->setInputMethodHints(edit->inputMethodHints() | Qt::ImhHiddenText | Qt::ImhSensitiveData |
                                          Qt::ImhNoPredictiveText);
            // Each character shows as the model's own password character, not the style's.
            edit->setStyleSheet(c.passwordChar ? QStringLiteral("lineedit-password-character: %1").arg(int{c.passwordChar})
                                               : QString());
        }
        if (c.selLength > 0)
            edit->setSelection(c.selStart, c.selLength);
        else
            edit->setCursorPosition(c.selStart);
    }

    static QWidget* createButton(FormDialog& dialog, const Control& c, QWidget* parent)
    {
        auto* button = new ColourButton(dialog.m_form, c.name, parent);
        button->setAutoDefault(false);  // Enter belongs to the model's default button only
        connect(button, &QPushButton::clicked, &dialog, [&dialog, name = c.name] { dialog.m_form.userClick(name); });
        return button;
    }
    static void syncButton(FormDialog& dialog, QWidget* widget, const Control& c)
    {
        auto* button = static_cast<ColourButton*>(widget);
        button->setText(toQString(c.caption));
        button->setDefault(dialog.m_form.defaultButton() == c.name);  // readers hear it is the default
        button->update();  // its colour and picture are painted from the model
    }

    static QWidget* createPicture(FormDialog& dialog, const Control& c, QWidget* parent)
    {
        auto* picture = new PictureWidget(dialog.m_form, c.name, parent);
        if (c.swatches && c.tabIndex >= 0)
            picture->setFocusPolicy(Qt::StrongFocus);
        return picture;
    }
    // A picture paints its display list from the model on every paint; a screen reader hears the
    // ring move from cell to cell.
    static void syncPicture(FormDialog&, QWidget* widget, const Control& c)
    {
        widget->update();
        announceRing(widget, c);
        if (c.swatches)
            announceChoice(widget, static_cast<PictureWidget*>(widget)->heardChoice(), *c.swatches);
    }

    static QWidget* createFilledRect(FormDialog& dialog, const Control& c, QWidget* parent)
    {
        return new PictureWidget(dialog.m_form, c.name, parent);
    }

    // In the order of ControlKind.
    static constexpr Binding kTable[] = {
        {createLabel, syncLabel, true},
        {createFrame, syncFrame, false},
        {createTextBox, syncTextBox, false},
        {createButton, syncButton, false},
        {createPicture, syncPicture, false},
        {createFilledRect, syncPicture, false},
    };
    static_assert(std::size(kTable) == static_cast<std::size_t>(ControlKind::Count), "one entry per control kind");

    static const Binding& of(ControlKind kind) { return kTable[static_cast<std::size_t>(kind)]; }
};

QIcon windowIconNamed(const std::string& name)
{
    if (name.empty())
        return {};
    // The desktop's own picture when its theme has one; the module's bundled drawing otherwise,
    // so that a machine without an icon theme still tells the windows apart.
    const QString themed = QString::fromStdString(name);
    if (QIcon::hasThemeIcon(themed))
        return QIcon::fromTheme(themed);
    QIcon bundled;
    for (int size : {16, 32, 48})
        bundled.addFile(QStringLiteral(":/kor2/icons/%1-%2.png").arg(themed).arg(size), QSize(size, size));
    return bundled;
}

FormDialog::FormDialog(Form& form, double twipsPerPixelX, double twipsPerPixelY)
    : m_form(form), m_tppX(twipsPerPixelX > 0 ? twipsPerPixelX : 15), m_tppY(twipsPerPixelY > 0 ? twipsPerPixelY : 15)
{
    setObjectName(QString::fromStdString(form.name()));
    readPalettesAsLists();
    const DialogFont font = dialogFont(form, m_tppX, m_tppY);
    setFont(font.font);
    m_captionsFit = font.captionsFit;
    m_lineSpacing = QFontMetrics(font.font).lineSpacing();
    if (form.toolWindow())
        setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // The native window first: the controls then find their screen through it, instead of each
    // searching the desktop for where the window will be.
    QWidget::create();
    // A control gets its widget when it first shows: the controls a window keeps hidden (error
    // labels, optional buttons) cost nothing until they are needed.
    for (const Control& c : form.controls())
        if (c.visible)
            realise(c);
    syncWindow();
    setTabOrderFromModel();
    form.setObserver(this);
    // A window shown again, or given a focus by its code before the show, keeps it; otherwise the
    // model chooses one when it is marked shown.
    if (!form.focus().empty())
        focusChanged(form.focus());
}

QWidget* FormDialog::realise(const Control& c)
{
    if (QWidget* existing = widgetOf(c.name))
        return existing;
    if (!c.container.empty() && m_form.has(c.container))
        realise(m_form.control(c.container));
    QWidget* widget = create(c);
    m_widgets[c.name] = widget;
    // Siblings overlap in the order of the model (a later control is drawn over an earlier one),
    // whatever order their widgets were made in.
    if (const Control* above = view::stackedAbove(m_form, c, [&](const Control& o) { return widgetOf(o.name) != nullptr; }))
        widget->stackUnder(widgetOf(above->name));
    sync(c);
    return widget;
}

FormDialog::~FormDialog()
{
    // A detached dialog forgot its passwords when its model let it go, and the model may be gone.
    if (m_detached)
        return;
    forgetPasswords();
    m_form.setObserver(nullptr);
}

void FormDialog::forgetPasswords()
{
    const view::Echo::Applying applying(m_echo);
    for (const Control& c : m_form.controls())
        if (auto* edit = qobject_cast<QLineEdit*>(widgetOf(c.name)); edit && c.passwordChar != 0)
            forget(edit);
}

QWidget* FormDialog::create(const Control& c)
{
    QWidget* parent = this;
    if (auto it = m_widgets.find(c.container); !c.container.empty() && it != m_widgets.end())
        parent = it->second;
    QWidget* widget = Kinds::of(c.kind).create(*this, c, parent);
    widget->setObjectName(QString::fromStdString(c.name));
    widget->installEventFilter(this);
    // A control without a place in the tab order never has the focus, not even from a click.
    if (c.tabIndex < 0)
        widget->setFocusPolicy(Qt::NoFocus);
    return widget;
}

void FormDialog::sync(const Control& c)
{
    QWidget* widget = widgetOf(c.name);
    if (widget == nullptr)
        return;
    // The widget already shows the user's edit: writing the whole text back for every typed
    // character would make typing a long text quadratic.
    if (m_echo.absorbed(c.name))
        return;
    const view::Echo::Applying applying(m_echo);
    widget->setGeometry(px(c.left), py(c.top), px(c.width), py(c.height));
    widget->setVisible(c.visible);
    widget->setEnabled(c.enabled);
    Kinds::of(c.kind).sync(*this, widget, c);
    nameForReaders(widget, c);
    if (const QString tip = toQString(c.toolTip); widget->toolTip() != tip)
        widget->setToolTip(tip);
    // A widget takes its font from its parent: a control inside a bold frame says it is not bold,
    // so that only the frame's title is.
    if (c.bold || widget->font().bold()) {
        QFont font = widget->font();
        font.setBold(c.bold);
        widget->setFont(font);
    }
}

void FormDialog::nameForReaders(QWidget* widget, const Control& c)
{
    if (const QString name = toQString(platform::accessibleName(m_form, c)); widget->accessibleName() != name)
        widget->setAccessibleName(name);
    // Most controls have no description: nothing to convert and compare.
    if (!c.accessibleDescription.empty() || !widget->accessibleDescription().isEmpty()) {
        if (const QString description = toQString(c.accessibleDescription); widget->accessibleDescription() != description)
            widget->setAccessibleDescription(description);
    }
    if (c.labelledBy.empty())
        return;
    if (auto* label = qobject_cast<QLabel*>(widgetOf(c.labelledBy)); label && label->buddy() != widget)
        label->setBuddy(widget);
}

void FormDialog::syncWindow()
{
    const view::Echo::Applying applying(m_echo);
    setWindowTitle(toQString(m_form.caption()));
    if (m_form.icon() != m_icon) {
        m_icon = m_form.icon();
        setWindowIcon(windowIconNamed(m_icon));
    }
    move(px(m_form.left()), py(m_form.top()));
    const QSize inner(px(m_form.innerWidth()), py(m_form.innerHeight()));
    if (m_form.resizable())
        resize(inner);
    else
        setFixedSize(inner);
}

// The controls that have widgets, in their tab order.
std::vector<QWidget*> FormDialog::tabOrder() const
{
    std::vector<QWidget*> widgets;
    for (const Control* c : view::tabOrder(m_form, [&](const Control& o) { return widgetOf(o.name) != nullptr; }))
        widgets.push_back(widgetOf(c->name));
    return widgets;
}

// Tab moves through the controls in their tab order.
void FormDialog::setTabOrderFromModel()
{
    const std::vector<QWidget*> ordered = tabOrder();
    for (std::size_t i = 1; i < ordered.size(); ++i)
        QWidget::setTabOrder(ordered[i - 1], ordered[i]);
}

QWidget* FormDialog::widgetOf(const std::string& control) const
{
    const auto it = m_widgets.find(control);
    return it == m_widgets.end() ? nullptr : it->second;
}

std::string FormDialog::nameOf(QObject* widget) const
{
    std::string name = widget->objectName().toStdString();
    return widgetOf(name) == widget ? name : std::string();
}

void FormDialog::formChanged() { syncWindow(); }

void FormDialog::controlChanged(const std::string& control)
{
    if (!m_form.has(control))
        return;
    const Control& c = m_form.control(control);
    if (widgetOf(c.name)) {
        sync(c);
    } else if (c.visible) {
        realise(c);
        setTabOrderFromModel();
    }
}

void FormDialog::visibilityChanged(bool visible)
{
    if (visible)
        return;
    // The model keeps a password for its window's code to read; the screen keeps none.
    forgetPasswords();
    if (m_modal) {
        if (isVisible())
            done(0);
        return;
    }
    // A modeless window lets go of its model at once: the model may be gone before Qt deletes us.
    m_form.setObserver(nullptr);
    m_detached = true;
    hide();
    deleteLater();
}

void FormDialog::focusChanged(const std::string& control)
{
    const view::Echo::Applying applying(m_echo);
    if (QWidget* widget = widgetOf(control))
        widget->setFocus(Qt::OtherFocusReason);
    else if (QWidget* focused = focusWidget(); control.empty() && focused)
        focused->clearFocus();
}

void FormDialog::runModal()
{
    m_modal = true;
    setModal(true);
    m_form.markShown();
    exec();
    m_form.hide();  // a dialog closed behind the model's back still ends the modal show
}

bool FormDialog::placedByUser() const
{
    // Before the window shows, Qt replays the geometry the model gave it; a minimised window keeps
    // its normal place; and what the model itself applies only echoes back.
    return isVisible() && !isMinimized() && !m_echo.applying() && !m_detached;
}

// The model's frame is the design one; once the window shows, the real frame is known. A sizeable
// window keeps its outer size and takes the inner size that frame leaves, running its layout.
void FormDialog::adoptFrame()
{
    const QRect outer = frameGeometry(), inner = geometry();
    view::adoptFrame(m_form, outer.width(), outer.height(), inner.width(), inner.height(), m_tppX, m_tppY);
}

void FormDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (placedByUser())
        adoptFrame();
}

// A window manager frames the window after it shows, without necessarily moving it; by the time
// the window is activated its frame is known.
void FormDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && placedByUser())
        adoptFrame();
}

// Moves and resizes that the model did not ask for are the user's (or the window manager's): they
// reach the model as the outer position and size, once per change.
void FormDialog::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    if (!placedByUser())
        return;
    adoptFrame();  // a window manager that frames the window may move it doing so
    const QPoint at = frameGeometry().topLeft();
    if (at != QPoint(px(m_form.left()), py(m_form.top())))
        m_form.userMoved(at.x() * m_tppX, at.y() * m_tppY);
}

void FormDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!placedByUser() || !m_form.resizable())
        return;
    adoptFrame();
    if (size() == QSize(px(m_form.innerWidth()), py(m_form.innerHeight())))
        return;
    const QRect outer = frameGeometry();
    m_form.userResized(outer.width() * m_tppX, outer.height() * m_tppY);
}

void FormDialog::closeEvent(QCloseEvent* event)
{
    // The close box asks the window; a refused close keeps it open unless the window hid itself.
    if (m_form.visible() && !m_form.requestClose(true) && m_form.visible())
        event->ignore();
    else
        event->accept();
}

std::string FormDialog::keyTarget() const
{
    if (!m_form.focus().empty())
        return m_form.focus();
    return m_form.controls().empty() ? std::string() : m_form.controls().front().name;
}

bool FormDialog::keyToModel(const std::string& control, const QKeyEvent& event)
{
    if (control.empty())
        return false;
    if (const auto access = accessKeyPressed(event)) {
        m_form.userKey(control, access->key, access->shift);
        return true;
    }
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    view::NativeKey native = view::NativeKey::Other;
    switch (event.key()) {
    case Qt::Key_Tab: native = view::NativeKey::Tab; break;
    case Qt::Key_Backtab: native = view::NativeKey::BackTab; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: native = view::NativeKey::Enter; break;
    case Qt::Key_Escape: native = view::NativeKey::Escape; break;
    case Qt::Key_Space: native = view::NativeKey::Space; break;
    case Qt::Key_Left: native = view::NativeKey::Left; break;
    case Qt::Key_Right: native = view::NativeKey::Right; break;
    case Qt::Key_Up: native = view::NativeKey::Up; break;
    case Qt::Key_Down: native = view::NativeKey::Down; break;
    case Qt::Key_Home: native = view::NativeKey::Home; break;
    case Qt::Key_End: native = view::NativeKey::End; break;
    default: return false;
    }
    const auto key = view::modelKey(m_form, m_form.control(control), native, event.modifiers() & Qt::ShiftModifier, false);
    if (!key)
        return false;
    m_form.userKey(control, key->key, key->shift);
    return true;
}

// Keys that no control's widget took: the focused control's.
void FormDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab && keyToModel(keyTarget(), *event))
        return;
    event->ignore();
}

// Qt asks here for the next widget when Tab reaches a widget that is no control, for arrow keys on
// buttons, and when the focused widget is hidden or disabled. The model's tab order answers: it
// moves the focus itself (or already did, for a control it hid) and the widget follows.
bool FormDialog::focusNextPrevChild(bool next)
{
    if (!m_echo.applying() && !m_detached && m_form.visible() && !m_form.focus().empty())
        m_form.userKey(std::string(m_form.focus()), keys::Tab, next ? 0 : keys::ShiftDown);
    return true;
}

void FormDialog::reject()
{
    // Escape without a cancel button does nothing: only the model closes its window.
}

bool FormDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Only key presses, mouse releases and focus changes are the model's; every other event passes
    // untouched.
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonRelease && type != QEvent::FocusIn &&
        type != QEvent::ShortcutOverride)
        return QDialog::eventFilter(watched, event);
    const std::string name = nameOf(watched);
    if (name.empty())
        return QDialog::eventFilter(watched, event);
    if (type == QEvent::ShortcutOverride) {
        // Qt's own mnemonics (a button's "&Cancelar", a group box's title) would answer Alt+letter
        // before the model hears of it: claimed here, the key comes back as a key press.
        if (accessKeyPressed(*static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (type == QEvent::FocusIn) {
        // Qt moved the focus on its own (a click, the window activated): the model follows.
        if (!m_echo.applying() && !m_detached && m_form.visible() && m_form.focus() != name &&
            m_form.takesFocus(name))
            m_form.setFocus(name);
        return QDialog::eventFilter(watched, event);
    }
    if (type == QEvent::MouseButtonRelease) {
        // Filters see the events of a disabled widget before it drops them: a disabled control has no click.
        if (!Kinds::of(m_form.control(name).kind).clickOnRelease ||
            !static_cast<QWidget*>(watched)->isEnabled())
            return QDialog::eventFilter(watched, event);
        m_form.userClick(name);
        return true;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (keyToModel(name, *key))
        return true;
    if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
        // Typed characters go through the model: key press (which may change or swallow the key),
        // then the edit and its change event.
        const QString text = key->text();
        const bool printable =
            text.size() == 1 && view::typedByModel(text[0].unicode(), key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (printable || key->key() == Qt::Key_Backspace) {
            typed(edit, name, printable ? text[0].unicode() : keys::Backspace);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int FormDialog::userEdit(const std::string& control, const std::function<void()>& edit)
{
    return m_echo.userEdit(control, edit);
}

void FormDialog::typed(QLineEdit* edit, const std::string& control, int key)
{
    const qsizetype before = edit->text().size(), selected = edit->selectionLength();
    const int notices = userEdit(control, [&] { m_form.userKey(control, key); });
    if (notices == 0)
        return;  // the key was swallowed
    // More than the key's own edit: the window's handlers changed the box too.
    const Control& box = m_form.control(control);
    if (notices > 1 || !followTyped(edit, box, before, selected))
        sync(box);
}

// The model replaced the selection by one character or, for backspace, took the selection or the
// character before the caret: the widget makes the same edit, at no cost that grows with the text.
bool FormDialog::followTyped(QLineEdit* edit, const Control& box, qsizetype before, qsizetype selected)
{
    const view::Echo::Applying applying(m_echo);
    const view::TypedMirror edit_ = view::mirrorTyped(box, static_cast<std::size_t>(before), static_cast<std::size_t>(selected));
    if (edit_.kind == view::TypedMirror::Kind::Insert)
        edit->insert(QString(QChar(edit_.character)));
    else
        edit->backspace();
    return view::mirrored(box, toText(edit->text()), static_cast<std::size_t>(edit->cursorPosition()));
}

} // namespace Kor2_Sys::platform::qt
