#pragma once
// What the players of the real window systems share: the real system underneath, each modal
// window, message box and file dialog handed its part of the script queue, a script's window-level
// actions, and the records a test reads back. A player says only how it plays from inside the real
// loops (`showPlaying`, `boxPlaying`, `filePlaying`) and what a person does on its screen (`act`).

#include "Player.h"

#include "script/ScriptQueue.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kor2test {

template <class System> class PlayingSystem : public System {
public:
    using Form = Kor2_Sys::platform::Form;
    using MessageAnswer = Kor2_Sys::platform::MessageAnswer;
    using MessageBoxRequest = Kor2_Sys::platform::MessageBoxRequest;
    using FileDialogRequest = Kor2_Sys::platform::FileDialogRequest;
    using Action = Kor2_Sys::script::Action;

    Kor2_Sys::script::ScriptQueue scripts;
    Kor2_Sys::platform::MessageRecorder seen;
    std::vector<ShownForm> shown;
    std::vector<Kor2_Sys::platform::FileDialogRequest> fileRequests;
    std::vector<std::string> trail;
    std::vector<std::pair<std::string, Kor2_Sys::Text>> names, tips;
    int eventRuns = 0;

    void showModal(Form& form) override
    {
        shown.push_back(ShownForm::of(form));
        m_forms.push_back({&form, scripts.take(form.name())});
        const std::size_t depth = m_forms.size();
        showPlaying(form);
        if (m_forms.size() == depth) {
            ADD_FAILURE() << form.name() << " was shown, but its script never played";
            m_forms.pop_back();
        }
    }
    void showModeless(Form& form) override
    {
        shown.push_back(ShownForm::of(form));
        System::showModeless(form);
    }
    MessageAnswer messageBox(const MessageBoxRequest& request) override
    {
        const auto answer = scripts.answerFor(request);
        seen.shown(request, answer);
        m_boxAnswers.push_back(answer);
        const MessageAnswer given = boxPlaying(request);
        EXPECT_EQ(given, answer) << "the message box's button";
        return given;
    }
    Kor2_Sys::Text fileDialog(const FileDialogRequest& request) override
    {
        fileRequests.push_back(request);
        return filePlaying(request, scripts.takeFileAction());
    }
    void beep() override
    {
        seen.beeped();
        System::beep();
    }
    void doEvents() override
    {
        ++eventRuns;
        System::doEvents();
    }

protected:
    struct Pending {
        Form* form;
        Kor2_Sys::script::WindowScript script;
    };

    /// The real modal show, with the player ready to play `form`'s script from inside its loop.
    virtual void showPlaying(Form& form) { System::showModal(form); }
    /// The real message box, with the player ready to press the answer's button.
    virtual MessageAnswer boxPlaying(const MessageBoxRequest& request) { return System::messageBox(request); }
    /// The button to press on the box now on screen: its script's answer, OK when it has none.
    MessageAnswer nextBoxAnswer()
    {
        if (m_boxAnswers.empty())
            return MessageAnswer::Ok;
        const MessageAnswer answer = m_boxAnswers.front();
        m_boxAnswers.pop_front();
        return answer;
    }

    /// The real file dialog, with the player ready to play `action` (a file or a cancel) in it.
    virtual Kor2_Sys::Text filePlaying(const FileDialogRequest& request, Action action) = 0;

    /// What a person does in the window being played: a click, keys, a move, a resize, the close box.
    virtual void act(Form& form, const Action& action) = 0;
    /// The control the platform's focus is on in the window being played; none when it is gone.
    virtual std::optional<std::string> focusShown(const Form& form) const = 0;
    /// What a screen reader reads of the window being played, as `Player::readerNames` gives it.
    virtual std::vector<std::pair<std::string, Kor2_Sys::Text>> readerNamesShown(const Form& form) const = 0;
    /// The tips a hover shows in the window being played, as `Player::toolTips` gives them.
    virtual std::vector<std::pair<std::string, Kor2_Sys::Text>> toolTipsShown(const Form& form) const = 0;

    /// Plays a script on its window, which is now on the screen and being played.
    void playScript(Pending pending)
    {
        Form& form = *pending.form;
        const Kor2_Sys::script::WipedWhenPlayed wiped(pending.script);
        const Kor2_Sys::script::ScriptQueue::Playing playing(scripts);
        follow(trail, form, true);
        names = readerNamesShown(form);
        tips = toolTipsShown(form);
        expectFocusShown(form, "when shown");
        for (const Action& action : pending.script.actions) {
            if (!form.visible()) {
                ADD_FAILURE() << form.name() << ": '" << action.describe() << "' comes after the window was hidden";
                return;
            }
            play(form, action);
            follow(trail, form, false);
            if (form.visible()) {
                expectFocusShown(form, "after " + action.describe());
                tips = toolTipsShown(form);
            }
        }
        if (form.visible()) {
            ADD_FAILURE() << form.name() << ": the script ends with the window still shown";
            form.hide();
        }
    }

    std::vector<Pending> m_forms;
    std::deque<MessageAnswer> m_boxAnswers;

private:
    // The control that has the platform's focus is the control that has the model's.
    void expectFocusShown(const Form& form, const std::string& when) const
    {
        if (const std::optional<std::string> focused = focusShown(form)) {
            EXPECT_EQ(*focused, form.focus()) << form.name() << " " << when;
        }
    }

    // The window-level actions are the model's own; the rest is what a person does on the screen.
    void play(Form& form, const Action& action)
    {
        switch (action.kind) {
        case Action::Kind::Set: form.setText(action.control, action.text); return;
        case Action::Kind::Answer: scripts.answerNext(action.answer); return;
        case Action::Kind::File:
        case Action::Kind::Cancel: ADD_FAILURE() << "'" << action.describe() << "' is for the file dialog only"; return;
        case Action::Kind::Close:
            if (!action.fromUser) {
                form.requestClose(false);
                return;
            }
            break;
        default: break;
        }
        act(form, action);
    }
};

/// A player over a `PlayingSystem`: the records read back as the system keeps them.
template <class Playing> class PlayerOver : public Player {
public:
    explicit PlayerOver(Backend backend) : m_backend(backend) {}
    Backend backend() const override { return m_backend; }
    std::shared_ptr<Kor2_Sys::platform::WindowSystem> windowSystem() override { return m_ws; }
    void queue(std::vector<Kor2_Sys::script::WindowScript> scripts) override { m_ws->scripts.queue(std::move(scripts)); }
    std::size_t pendingScripts() const override { return m_ws->scripts.pending(); }
    const std::vector<MessageRecord>& messages() const override { return m_ws->seen.messages(); }
    int beeps() const override { return m_ws->seen.beeps(); }
    int eventRuns() const override { return m_ws->eventRuns; }
    const std::vector<Kor2_Sys::platform::FileDialogRequest>& fileRequests() const override { return m_ws->fileRequests; }
    const std::vector<ShownForm>& shownForms() const override { return m_ws->shown; }
    const std::vector<std::string>& focusTrail() const override { return m_ws->trail; }
    const std::vector<std::pair<std::string, Kor2_Sys::Text>>& readerNames() const override { return m_ws->names; }
    const std::vector<std::pair<std::string, Kor2_Sys::Text>>& toolTips() const override { return m_ws->tips; }
    void clearRecords() override
    {
        m_ws->seen.clear();
        m_ws->shown.clear();
    }

protected:
    Backend m_backend;
    std::shared_ptr<Playing> m_ws = std::make_shared<Playing>();
};

} // namespace kor2test
