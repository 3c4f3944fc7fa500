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
    m_seen.clear();
    m_clipboard.reset();
    m_bitmap.reset();
}

platform::MessageAnswer RecordingWindowSystem::messageBox(const platform::MessageBoxRequest& request)
{
    // Recorded before it is shown: a box the window system underneath fails on was still asked for.
    m_seen.shown(request);
    const auto answer = inner().messageBox(request);
    m_seen.answered(answer);
    return answer;
}

void RecordingWindowSystem::beep()
{
    m_seen.beeped();
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
