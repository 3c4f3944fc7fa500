#include "frame/Trap.h"

#include "frame/Utf.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace Kor2_Sys::trap {
namespace {

std::atomic<ReportSink> g_sink{nullptr};

void printReport(const Text& text, const char* why)
{
    if (why != nullptr)
        std::fprintf(stderr, "%s\n(%s)\n", utf::toUtf8(text).c_str(), why);
    else
        std::fprintf(stderr, "%s\n", utf::toUtf8(text).c_str());
}

} // namespace

Text reportText(const Error& error, std::u16string_view tag)
{
    const std::string number = std::to_string(error.number());
    return u"ERROR en Kor_Sys.DLL Nº" + Text(number.begin(), number.end()) + u"\r\n " + error.description() + Text(tag);
}

void setReportSink(ReportSink sink) noexcept
{
    g_sink.store(sink);
}

void showReport(const Text& text)
{
    const ReportSink sink = g_sink.load();
    if (sink == nullptr) {
        printReport(text, nullptr);
        return;
    }
    try {
        sink(text);
    } catch (const Error& unavailable) {
        printReport(text, unavailable.what());
    } catch (const std::bad_alloc&) {
        printReport(text, "memoria insuficiente");
    }
}

} // namespace Kor2_Sys::trap
