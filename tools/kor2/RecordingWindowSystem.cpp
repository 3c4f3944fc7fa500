#include "RecordingWindowSystem.h"

using namespace Kor2_Sys;

namespace kor2cli {

platform::WindowSystem& RecordingWindowSystem::inner() const
{
    if (!m_inner)
        m_inner = m_factory();
    return *m_inner;
}

void RecordingWindowSystem::clearRecords()
{
    m_messages.clear();
    m_beeps = 0;
    m_clipboard.reset();
}

platform::MessageAnswer RecordingWindowSystem::messageBox(const platform::MessageBoxRequest& request)
{
    platform::MessageRecord record{request.text, request.title.value_or(platform::applicationTitle()),
                                   request.buttons, request.icon, platform::MessageAnswer::Ok};
    m_messages.push_back(record);
    const auto answer = inner().messageBox(request);
    m_messages.back().answer = answer;
    return answer;
}

void RecordingWindowSystem::beep()
{
    ++m_beeps;
    inner().beep();
}

void RecordingWindowSystem::clipboardClear()
{
    m_clipboard = Text{};
    inner().clipboardClear();
}

void RecordingWindowSystem::clipboardSetText(const Text& text)
{
    m_clipboard = text;
    inner().clipboardSetText(text);
}

} // namespace kor2cli
