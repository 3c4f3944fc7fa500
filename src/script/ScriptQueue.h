#pragma once
// The rules by which a window system that plays scripts hands them out: each shown window takes
// the next script, which must be its own; a message box takes the answer its window's script gave
// (or, outside any window, the next top-level "msgbox" script's); a file dialog plays a script of
// one action. Every player (the headless window system, the tests' players of real windows) keeps
// the same rules by keeping one of these.

#include <Kor2_Sys/Error.h>

#include "script/WindowScript.h"

#include <deque>
#include <string>
#include <vector>

namespace Kor2_Sys::script {

/// Error 5 naming the window and what is wrong with its script.
Error scriptError(const std::string& window, const std::string& what);

/// A script's texts (passwords among them) wiped when it goes out of scope.
class WipedWhenPlayed {
public:
    explicit WipedWhenPlayed(WindowScript& script) : m_script(script) {}
    ~WipedWhenPlayed();
    WipedWhenPlayed(const WipedWhenPlayed&) = delete;
    WipedWhenPlayed& operator=(const WipedWhenPlayed&) = delete;

private:
    WindowScript& m_script;
};

class ScriptQueue {
public:
    /// Appends scripts.
    void queue(std::vector<WindowScript> scripts);
    std::size_t pending() const noexcept { return m_scripts.size(); }

    /// The next script, which must be `window`'s; error 5 when none is left or it is another's.
    WindowScript take(const std::string& window);
    /// The one action of the next "file" script: a file or a cancel.
    Action takeFileAction();

    /// While a window's script plays, its `answer` actions line up for its message boxes.
    class Playing {
    public:
        explicit Playing(ScriptQueue& queue);
        ~Playing();
        Playing(const Playing&) = delete;
        Playing& operator=(const Playing&) = delete;

    private:
        ScriptQueue& m_queue;
        bool m_previous;
        std::deque<MessageAnswer> m_answers;
    };
    /// An `answer` action of the playing window, for its next message box.
    void answerNext(MessageAnswer answer) { m_answers.push_back(answer); }
    /// The answer to a message box raised now: a box with OK alone is always answered OK, and so
    /// is a question no script answers. A caller that asks the same question again and again for as
    /// long as OK is the answer would then ask for ever: past `kMaxUnansweredRepeats` in a row the
    /// run ends with error 5 instead.
    MessageAnswer answerFor(const platform::MessageBoxRequest& request);
    static constexpr int kMaxUnansweredRepeats = 100;

private:
    std::deque<WindowScript> m_scripts;
    std::deque<MessageAnswer> m_answers;
    bool m_playing = false;
    Text m_unanswered;        ///< the last question answered OK for want of a script
    int m_unansweredRepeats = 0;
};

} // namespace Kor2_Sys::script
