#pragma once
// What the players of the real window systems share: the real system underneath, each modal
// window and message box handed its part of the script queue, and the records a test reads back.
// A player says only how it plays from inside the real loops (`showPlaying`, `boxPlaying`).

#include "Player.h"

#include "script/ScriptQueue.h"

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kor2test {

template <class System> class PlayingSystem : public System {
public:
    using Form = Kor2_Sys::platform::Form;
    using MessageAnswer = Kor2_Sys::platform::MessageAnswer;
    using MessageBoxRequest = Kor2_Sys::platform::MessageBoxRequest;

    Kor2_Sys::script::ScriptQueue scripts;
    std::vector<MessageRecord> messages;
    std::vector<ShownForm> shown;
    std::vector<Kor2_Sys::platform::FileDialogRequest> fileRequests;
    std::vector<std::string> trail;
    std::vector<std::pair<std::string, Kor2_Sys::Text>> names;
    int beeps = 0;
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
        messages.push_back({request.text, request.title.value_or(Kor2_Sys::platform::applicationTitle()), request.buttons,
                            request.icon, answer});
        m_boxAnswers.push_back(answer);
        const MessageAnswer given = boxPlaying(request);
        EXPECT_EQ(given, answer) << "the message box's button";
        return given;
    }
    void beep() override
    {
        ++beeps;
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

    std::vector<Pending> m_forms;
    std::deque<MessageAnswer> m_boxAnswers;
};

/// A player over a `PlayingSystem`: the records read back as the system keeps them.
template <class Playing> class PlayerOver : public Player {
public:
    explicit PlayerOver(Backend backend) : m_backend(backend) {}
    Backend backend() const override { return m_backend; }
    std::shared_ptr<Kor2_Sys::platform::WindowSystem> windowSystem() override { return m_ws; }
    void queue(std::vector<Kor2_Sys::script::WindowScript> scripts) override { m_ws->scripts.queue(std::move(scripts)); }
    std::size_t pendingScripts() const override { return m_ws->scripts.pending(); }
    const std::vector<MessageRecord>& messages() const override { return m_ws->messages; }
    int beeps() const override { return m_ws->beeps; }
    int eventRuns() const override { return m_ws->eventRuns; }
    const std::vector<Kor2_Sys::platform::FileDialogRequest>& fileRequests() const override { return m_ws->fileRequests; }
    const std::vector<ShownForm>& shownForms() const override { return m_ws->shown; }
    const std::vector<std::string>& focusTrail() const override { return m_ws->trail; }
    const std::vector<std::pair<std::string, Kor2_Sys::Text>>& readerNames() const override { return m_ws->names; }
    void clearRecords() override
    {
        m_ws->messages.clear();
        m_ws->shown.clear();
        m_ws->beeps = 0;
    }

protected:
    Backend m_backend;
    std::shared_ptr<Playing> m_ws = std::make_shared<Playing>();
};

} // namespace kor2test
