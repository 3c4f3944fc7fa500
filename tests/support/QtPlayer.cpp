// The player of real Qt widgets: each window the library shows is driven through its widgets as a
// person drives it (clicks, key presses with their texts, the close box, the file dialog's name
// box), with the same script rules as the headless window system.
#include "Player.h"
#include "PlayingSystem.h"
#include "QtBoxes.h"

#include "platform/qt/QtText.h"
#include "platform/qt/QtWindowSystem.h"
#include "script/ScriptQueue.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>

#include <cstdlib>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

extern "C" Kor2_Sys::platform::WindowSystem* kor2_create_qt_window_system();

namespace kor2test {
namespace {

namespace Ks = Kor2_Sys;
using Ks::platform::Form;
using Ks::script::Action;

using Ks::platform::qt::toQString;
using Ks::platform::qt::toText;

QWidget* widgetOf(QWidget* dialog, const std::string& control)
{
    QWidget* widget = dialog->findChild<QWidget*>(QString::fromStdString(control));
    if (widget == nullptr)
        ADD_FAILURE() << "the window " << dialog->objectName().toStdString() << " shows no control " << control;
    return widget;
}

// A key as the keyboard sends it: named keys by their Qt code, any other by its text. A key with
// Alt goes through the window's shortcuts first, as a person's does.
void pressKey(QWidget* target, int key, int shift)
{
    using namespace Ks::platform::keys;
    const Qt::KeyboardModifiers modifiers = ((shift & ShiftDown) ? Qt::ShiftModifier : Qt::NoModifier) |
                                            ((shift & AltDown) ? Qt::AltModifier : Qt::NoModifier);
    if ((shift & AltDown) && key < 0x80) {
        QTest::keyClick(target, static_cast<char>(key), modifiers);
        return;
    }
    static constexpr std::pair<int, Qt::Key> kNamed[] = {
        {Tab, Qt::Key_Tab}, {Left, Qt::Key_Left}, {Right, Qt::Key_Right}, {Up, Qt::Key_Up}, {Down, Qt::Key_Down},
        {Home, Qt::Key_Home}, {End, Qt::Key_End}, {Enter, Qt::Key_Return}, {Escape, Qt::Key_Escape},
        {Space, Qt::Key_Space}, {Backspace, Qt::Key_Backspace}};
    for (const auto& [code, qtKey] : kNamed)
        if (code == key) {
            QTest::keyClick(target, qtKey, modifiers);
            return;
        }
    QKeyEvent press(QEvent::KeyPress, 0, modifiers, QString(QChar(static_cast<char16_t>(key))));
    QApplication::sendEvent(target, &press);
}

// Characters as a keyboard sends them: one key event per character with its text (a character
// beyond the basic plane is one key with both its units).
void typeText(QWidget* target, const Ks::Text& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = QChar::isHighSurrogate(text[i]) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1]);
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, toQString(text.substr(i, pair ? 2 : 1)));
        QApplication::sendEvent(target, &press);
        i += pair;
    }
}

// As a person replaces a box's text: select all, then type; the empty text is a Delete.
void typeOver(QWidget* target, const Ks::Text& text)
{
    QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
    if (text.empty())
        QTest::keyClick(target, Qt::Key_Delete);
    typeText(target, text);
}

void sendMouse(QWidget* target, QEvent::Type type, QPointF at)
{
    QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// What a screen reader finds below `node`: every focusable object that shows, by its object name
// (a cell without an object of its own by its list's name and place), with its accessible name.
void walkReader(QAccessibleInterface* node, const std::string& list, std::vector<std::pair<std::string, Ks::Text>>& found)
{
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (child == nullptr)
            continue;
        const std::string name = child->object() ? child->object()->objectName().toStdString()
                                                 : list + "[" + std::to_string(i) + "]";
        if (child->state().focusable && !child->state().invisible) {
            const QString spoken = child->text(QAccessible::Name);
            found.emplace_back(name, toText(spoken));
        }
        walkReader(child, name, found);
    }
}

// The real window system, with each window, box and file dialog played from the script queue.
class PlayingQt final : public PlayingSystem<Ks::platform::qt::QtWindowSystem> {
public:
    PlayingQt()
    {
        setShownHook([this](QWidget* shown) { onShown(shown); });
        QGuiApplication::clipboard()->clear();
    }

private:
    Ks::Text filePlaying(const FileDialogRequest& request, Action action) override
    {
        m_fileActions.push_back(std::move(action));
        return QtWindowSystem::fileDialog(request);
    }

    void onShown(QWidget* shown)
    {
        if (auto* box = qobject_cast<QMessageBox*>(shown))
            answerBox(*box);
        else if (auto* files = qobject_cast<QFileDialog*>(shown))
            playFile(*files);
        else
            playForm(*shown);
    }

    void answerBox(QMessageBox& box)
    {
        const auto answer = nextBoxAnswer();
        QAbstractButton* button = box.button(answer == Ks::platform::MessageAnswer::Ok ? QMessageBox::Ok : QMessageBox::Cancel);
        if (button == nullptr) {
            ADD_FAILURE() << "the message box has no button for the answer";
            box.reject();
            return;
        }
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // The name is typed into the dialog's own name box in the file's folder and Enter pressed;
    // a dialog that refuses it is cancelled, which the test then sees.
    void playFile(QFileDialog& dialog)
    {
        if (m_fileActions.empty()) {
            ADD_FAILURE() << "a file dialog without a script";
            dialog.reject();
            return;
        }
        const Action action = m_fileActions.front();
        m_fileActions.pop_front();
        if (action.kind == Action::Kind::Cancel) {
            dialog.reject();
            return;
        }
        const QFileInfo file(toQString(action.text));
        dialog.setDirectory(file.absolutePath());
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name == nullptr) {
            ADD_FAILURE() << "the file dialog shows no name box";
            dialog.reject();
            return;
        }
        name->clear();
        const QString typed = file.fileName();
        typeText(name, toText(typed));
        // Choosing a file is confirming it: a question the dialog raises (writing over a file that
        // exists) is answered yes.
        answerNextBox([name] { QTest::keyClick(name, Qt::Key_Return); }, {QMessageBox::Yes, QMessageBox::Ok});
        if (dialog.isVisible()) {
            ADD_FAILURE() << "the file dialog refused " << file.filePath().toStdString();
            dialog.reject();
        }
    }

    void playForm(QWidget& dialog)
    {
        if (m_forms.empty()) {
            ADD_FAILURE() << "a window without a script: " << dialog.objectName().toStdString();
            return;
        }
        Pending pending = std::move(m_forms.back());
        m_forms.pop_back();
        // A person's keys and clicks reach an active window, and Qt gives the focus only within one.
        dialog.activateWindow();
        if (!QTest::qWaitForWindowActive(&dialog))
            ADD_FAILURE() << pending.form->name() << " does not activate";
        // A window the script opens is played inside this one's; this one's actions go on after it.
        QWidget* outer = std::exchange(m_dialog, &dialog);
        playScript(std::move(pending));
        m_dialog = outer;
    }

    std::vector<std::pair<std::string, Ks::Text>> readerNamesShown(const Form&) const override
    {
        std::vector<std::pair<std::string, Ks::Text>> found;
        walkReader(QAccessible::queryAccessibleInterface(m_dialog), "", found);
        return found;
    }

    // Each shown control is hovered in turn, and the tip that pops up read back.
    std::vector<std::pair<std::string, Ks::Text>> toolTipsShown(const Form& form) const override
    {
        std::vector<std::pair<std::string, Ks::Text>> tips;
        for (const auto& c : form.controls()) {
            auto* widget = m_dialog->findChild<QWidget*>(QString::fromStdString(c.name));
            if (widget == nullptr || !widget->isVisible())
                continue;
            const QPoint at = widget->rect().center();
            QHelpEvent hover(QEvent::ToolTip, at, widget->mapToGlobal(at));
            QApplication::sendEvent(widget, &hover);
            // A control without a tip lets the hover go by: what shows then is no tip of its own.
            const QString tip = hover.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
            QToolTip::hideText();
            if (!tip.isEmpty())
                tips.emplace_back(c.name, toText(tip));
        }
        return tips;
    }

    std::optional<std::string> focusShown(const Form&) const override
    {
        QWidget* focused = m_dialog->focusWidget();
        return focused ? focused->objectName().toStdString() : std::string();
    }

    void act(Form&, const Action& action) override
    {
        using Kind = Action::Kind;
        switch (action.kind) {
        case Kind::Move:
            m_dialog->move(static_cast<int>(action.left / twipsPerPixelX()), static_cast<int>(action.top / twipsPerPixelY()));
            return;
        case Kind::Resize: resizeOuter(*m_dialog, action.width, action.height); return;
        case Kind::Close: m_dialog->close(); return;
        default: break;
        }
        QWidget* target = widgetOf(m_dialog, action.control);
        if (target == nullptr)
            return;
        switch (action.kind) {
        case Kind::Click: QTest::mouseClick(target, Qt::LeftButton); break;
        case Kind::DoubleClick: sendMouse(target, QEvent::MouseButtonDblClick, QPointF(target->rect().center())); break;
        case Kind::Type: typeOver(target, action.text); break;
        case Kind::Key: pressKey(target, action.key, action.shift); break;
        case Kind::MouseDown: {
            const QPointF at(action.x * target->width(), action.y * target->height());
            sendMouse(target, QEvent::MouseButtonPress, at);
            sendMouse(target, QEvent::MouseButtonRelease, at);
            break;
        }
        default: break;
        }
    }

    // The outer size in twips, as the user drags the frame to it.
    void resizeOuter(QWidget& dialog, Ks::Long width, Ks::Long height)
    {
        const QSize frame = dialog.frameGeometry().size() - dialog.size();
        dialog.resize(static_cast<int>(width / twipsPerPixelX()) - frame.width(),
                      static_cast<int>(height / twipsPerPixelY()) - frame.height());
    }

    std::deque<Action> m_fileActions;
    QWidget* m_dialog = nullptr;
};

class QtPlayer final : public PlayerOver<PlayingQt> {
public:
    QtPlayer() : PlayerOver(Backend::Qt) {}
    std::optional<Ks::Text> clipboardText() const override
    {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (data == nullptr || !data->hasText())
            return std::nullopt;
        const QString text = data->text();
        return toText(text);
    }
};
} // namespace

std::unique_ptr<Player> makeQtPlayer()
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The module's own entry point makes the application the widgets need, as for a host without one.
    delete kor2_create_qt_window_system();
    return std::make_unique<QtPlayer>();
}

} // namespace kor2test
