#pragma once
// The record of the boxes and beeps a person met, kept alike by the headless window system, the
// test kit's players of the real ones and the kor2 tool, so that each reads them back the same way.

#include "platform/WindowSystem.h"

#include <vector>

namespace Kor2_Sys::platform {

/// A message box as it was shown.
struct MessageRecord {
    Text text;
    Text title;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    MessageAnswer answer = MessageAnswer::Ok;
};

/// The message boxes shown and the beeps sounded, in order.
class MessageRecorder {
public:
    /// A box shown, its title the application's when the request has none; `answer` is the
    /// button pressed (OK until `answered` says otherwise).
    void shown(const MessageBoxRequest& request, MessageAnswer answer = MessageAnswer::Ok)
    {
        m_messages.push_back({request.text, request.title.value_or(applicationTitle()), request.buttons, request.icon, answer});
    }
    /// The button pressed on the last box shown.
    void answered(MessageAnswer answer)
    {
        if (!m_messages.empty())
            m_messages.back().answer = answer;
    }
    void beeped() noexcept { ++m_beeps; }

    const std::vector<MessageRecord>& messages() const noexcept { return m_messages; }
    int beeps() const noexcept { return m_beeps; }
    /// Forgets the boxes and the beeps.
    void clear() noexcept
    {
        m_messages.clear();
        m_beeps = 0;
    }

private:
    std::vector<MessageRecord> m_messages;
    int m_beeps = 0;
};

} // namespace Kor2_Sys::platform
