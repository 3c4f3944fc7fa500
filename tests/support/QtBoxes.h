#pragma once
// Answering the message boxes Qt raises inside a modal loop, for the Qt player and the Qt tests.

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <initializer_list>

namespace kor2test {

/// Runs `act` and answers the first modal message box it raises, as a person would, with the first
/// of `buttons` the box has (rejecting it when it has none of them); returns the box's text, empty
/// when none came. A box that should not appear cannot block the test.
inline QString answerNextBox(const std::function<void()>& act,
                             std::initializer_list<QMessageBox::StandardButton> buttons = {QMessageBox::Ok})
{
    QString text;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        answer.stop();
        text = box->text();
        for (const QMessageBox::StandardButton wanted : buttons)
            if (QAbstractButton* button = box->button(wanted)) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        box->reject();
    });
    answer.start(5);
    act();
    answer.stop();
    return text;
}

} // namespace kor2test
