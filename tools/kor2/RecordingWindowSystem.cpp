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
    m_bitmap.reset();
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
    m_bitmap.reset();
    inner().clipboardClear();
}

void RecordingWindowSystem::clipboardSetText(const Text& text)
{
    m_clipboard = text;
    inner().clipboardSetText(text);
}

void RecordingWindowSystem::clipboardSetBitmap(std::unique_ptr<platform::Bitmap> bitmap)
{
    if (bitmap) {
        m_bitmap = platform::PixelPoint{bitmap->width(), bitmap->height()};
        // The library clears the clipboard before it puts a picture there: what the clear left
        // behind is no text the clipboard holds.
        m_clipboard.reset();
    }
    inner().clipboardSetBitmap(std::move(bitmap));
}

} // namespace kor2cli
