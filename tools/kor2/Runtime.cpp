#include "Runtime.h"

#include "Io.h"
#include "JsonValues.h"
#include "RecordingWindowSystem.h"

#include "frame/Locale.h"
#include "platform/Clock.h"
#include "script/ScriptJson.h"
#include "frame/Utf.h"
#include "frame/Wipe.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <stdexcept>

using namespace Kor2_Sys;

namespace kor2cli {
namespace {

std::string_view buttonsName(platform::MessageButtons buttons)
{
    return buttons == platform::MessageButtons::Ok ? "ok" : "okcancel";
}

std::string_view iconName(platform::MessageIcon icon)
{
    switch (icon) {
    case platform::MessageIcon::None: return "none";
    case platform::MessageIcon::Information: return "information";
    case platform::MessageIcon::Warning: return "warning";
    case platform::MessageIcon::Stop: return "stop";
    }
    return "none";
}

void writeMessages(JsonWriter& json, const std::vector<platform::MessageRecord>& messages)
{
    json.beginArray();
    for (const auto& m : messages)
        json.beginObject()
            .key("text").text(m.text)
            .key("title").text(m.title)
            .key("buttons").utf8(buttonsName(m.buttons))
            .key("icon").utf8(iconName(m.icon))
            .endObject();
    json.endArray();
}

void writeError(JsonWriter& json, const std::optional<Error>& error)
{
    if (!error) {
        json.null();
        return;
    }
    json.beginObject().key("number").number(error->number()).key("description").text(error->description()).endObject();
}

void writeWarnings(JsonWriter& json, const std::vector<SwallowedError>& warnings)
{
    json.beginArray();
    for (const auto& w : warnings)
        json.beginObject()
            .key("number").number(w.number)
            .key("description").text(w.description)
            .key("operation").utf8(w.operation)
            .endObject();
    json.endArray();
}

std::string_view invokeKindName(InvokeKind kind)
{
    switch (kind) {
    case InvokeKind::Method: return "method";
    case InvokeKind::Get: return "get";
    case InvokeKind::Put: return "put";
    }
    return "method";
}

void writeLog(JsonWriter& json, const std::vector<platform::HostCall>& log)
{
    json.beginArray();
    for (const auto& call : log) {
        json.beginObject().key("member").utf8(call.member).key("kind").utf8(invokeKindName(call.kind)).key("args");
        writeValues(json, call.args);
        json.endObject();
    }
    json.endArray();
}

// Each item: caption, command, whether it is a separator, its bitmaps (unchecked, checked) and
// the items of the drop-down menu it opens, if any.
void writeMenu(JsonWriter& json, const std::vector<platform::MenuEntry>& entries)
{
    json.beginArray();
    for (const auto& entry : entries) {
        const platform::MenuItem& item = entry.item;
        json.beginObject()
            .key("caption").text(item.caption)
            .key("id").number(item.command)
            .key("separator").boolean(item.separator)
            .key("bitmaps").beginArray().number(item.unchecked).number(item.checked).endArray();
        if (item.subMenu != 0) {
            json.key("items");
            writeMenu(json, entry.items);
        }
        json.endObject();
    }
    json.endArray();
}

// What this request put on the clipboard: its text, its picture's size, both or nothing.
void writeClipboard(JsonWriter& json, const RecordingWindowSystem& windows)
{
    const auto& text = windows.clipboardText();
    const auto& bitmap = windows.clipboardBitmap();
    if (!text && !bitmap) {
        json.null();
        return;
    }
    json.beginObject();
    if (text)
        json.key("text").text(*text);
    if (bitmap)
        json.key("bitmap").beginArray().number(bitmap->x).number(bitmap->y).endArray();
    json.endObject();
}

template <class Number> Number parseNumber(std::string_view text, std::string_view kind)
{
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || text.empty())
        throw std::invalid_argument("argumento " + std::string(kind) + " no válido: " + excerpt(text));
    return value;
}

} // namespace

Runtime::Runtime(const GlobalOptions& options)
{
    if (!options.decimal.empty()) {
        if (std::find(std::begin(kDecimalSeparators), std::end(kDecimalSeparators), options.decimal) ==
            std::end(kDecimalSeparators))
            throw std::invalid_argument("--decimal admite \",\" o \".\"");
        m_previousDecimal = locale::setDecimalSeparator(options.decimal == "," ? u',' : u'.');
    }
    if (options.settings) {
        // An empty path would fall back on the default store, the one the option meant to avoid.
        if (options.settings->empty())
            throw std::invalid_argument("--settings necesita la ruta de un archivo (o :memory:), no una vacía");
        ::setenv("KOR2_SETTINGS", options.settings->c_str(), 1);
    }

    if (options.headless)
        m_windows = std::make_shared<RecordingWindowSystem>(std::make_shared<platform::HeadlessWindowSystem>());
    else if (options.actionsFile.empty())
        m_windows = std::make_shared<RecordingWindowSystem>(&platform::loadDefaultWindowSystem);
    else
        throw std::invalid_argument("--actions sólo vale con --headless");
    if (!options.actionsFile.empty()) {
        // The scripts may type a password: the file's text and its parse die once queued.
        std::string content = readFileArgument(options.actionsFile, "el archivo de acciones");
        const wipe::Scoped wipedContent(content);
        JsonNode scripts;
        try {
            scripts = parseJson(content);
            queueScripts(scripts);
        } catch (const std::invalid_argument& e) {
            wipeTree(scripts);
            throw std::invalid_argument("archivo de acciones " + shownPath(options.actionsFile) + ": " + e.what());
        }
        wipeTree(scripts);
    }
    m_previous = platform::installWindowSystem(m_windows);
    m_previousHandler = onSwallowedError([this](const SwallowedError& e) { m_warnings.push_back(e); });
}

Runtime::~Runtime()
{
    if (m_clock)
        platform::installClock(std::move(m_previousClock));
    onSwallowedError(std::move(m_previousHandler));
    platform::installWindowSystem(std::move(m_previous));
    if (m_previousDecimal)
        locale::setDecimalSeparator(*m_previousDecimal);
}

void Runtime::queueScripts(const JsonNode& scripts)
{
    auto* headless = m_windows->headless();
    if (headless == nullptr)
        throw std::invalid_argument("los guiones de ventanas sólo valen con --headless");
    headless->queue(script::scriptsFromJson(scripts));
}

platform::HeadlessWindowSystem* Runtime::headless() const noexcept
{
    return m_windows->headless();
}

void Runtime::setVirtualTick(std::uint32_t tick)
{
    if (!m_clock) {
        m_clock = std::make_shared<platform::VirtualClock>(tick);
        m_previousClock = platform::installClock(m_clock);
    }
    m_clock->set(tick);
}

CallOutcome Runtime::call(Object& object, std::string member, std::vector<Variant> args)
{
    InvokeKind kind = InvokeKind::Method;
    if (!member.empty() && member.back() == '=') {
        member.pop_back();
        kind = InvokeKind::Put;
    }
    CallOutcome outcome;
    try {
        outcome.result = object.invoke(member, kind, args);
    } catch (const Error& error) {
        outcome.error = error;
    }
    outcome.args = std::move(args);
    return outcome;
}

std::string Runtime::answer(const CallOutcome& outcome)
{
    JsonWriter json;
    json.beginObject().key("result");
    writeValue(json, outcome.result);
    if (outcome.log) {
        json.key("log");
        writeLog(json, *outcome.log);
    }
    if (outcome.menu) {
        json.key("menu");
        writeMenu(json, *outcome.menu);
    }
    json.key("args");
    writeValues(json, outcome.args);
    json.key("error");
    writeError(json, outcome.error);
    json.key("messages");
    writeMessages(json, m_windows->messages());
    json.key("beeps").number(m_windows->beeps()).key("clipboard");
    writeClipboard(json, *m_windows);
    json.key("warnings");
    writeWarnings(json, m_warnings);
    json.endObject();
    m_windows->clearRecords();
    m_warnings.clear();
    return json.take();
}

std::shared_ptr<Object> callTarget(const ClassInfo& info)
{
    return info.shared != nullptr ? info.shared() : info.create();
}

std::string argumentKindsHelp()
{
    std::string help;
    for (const ArgumentKind& kind : kArgumentKinds)
        help += (help.empty() ? "" : " ") + std::string(kind.word) + std::string(kind.value);
    return help;
}

Variant parseArgument(const std::string& text)
{
    const auto known = std::find_if(std::begin(kArgumentKinds), std::end(kArgumentKinds), [&](const ArgumentKind& k) {
        return k.value.empty() ? text == k.word : text.starts_with(k.word);
    });
    if (known == std::end(kArgumentKinds)) {
        std::string words;
        for (const ArgumentKind& kind : kArgumentKinds)
            words += (words.empty() ? "" : ", ") + std::string(kind.word);
        throw std::invalid_argument(
            (text.find(':') == std::string::npos ? "argumento sin tipo: " : "argumento no válido: ") + excerpt(text) +
            " (use " + words + ")");
    }
    const std::string_view kind = known->word;
    const std::string_view value = std::string_view(text).substr(kind.size());
    if (kind == "empty") return Variant{};
    if (kind == "null") return Variant::null();
    if (kind == "text:") return utf::fromUtf8(value);
    if (kind == "byte:") return parseNumber<Byte>(value, "byte");
    if (kind == "int:") return parseNumber<Integer>(value, "int");
    if (kind == "long:") return parseNumber<Long>(value, "long");
    if (kind == "single:") return parseNumber<Single>(value, "single");
    if (kind == "double:") return parseNumber<Double>(value, "double");
    if (value == "true" || value == "false") return value == "true";
    throw std::invalid_argument("argumento no válido: " + excerpt(text));
}

} // namespace kor2cli
