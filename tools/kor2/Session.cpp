#include "Session.h"

#include "JsonValues.h"

#include "classes/Classes.h"
#include "frame/Errors.h"
#include "frame/Utf.h"
#include "frame/Wipe.h"
#include "platform/headless/HeadlessWindowSystem.h"

#include <cstdint>
#include <istream>
#include <limits>
#include <map>
#include <new>
#include <ostream>
#include <stdexcept>

using namespace Kor2_Sys;

namespace kor2cli {
namespace {

// A request the session cannot act on is answered like a failed call, so that a driving program
// reads one answer per line whatever happens.
Error badRequest(const std::string& why)
{
    return Error(errors::invalidCall().number(), errors::invalidCall().description() + u": " + utf::fromUtf8(why));
}

// What one scripted desktop may hold: enough for any host's windows, little enough that no
// request can make the session slow or large.
constexpr std::size_t kMaxHosts = 4096;
constexpr std::size_t kMaxHostProperties = 256;
constexpr std::size_t kMaxStatusBarParts = 256;  // as many as a status bar can be split into
constexpr double kMaxTwipsPerPixel = 1440;       // one pixel per inch

// A script that reads or sets one of its own host objects stands for the host: those calls are no
// calls the library made, so they stay out of the object's log.
class HostSelf final : public Object {
public:
    explicit HostSelf(std::shared_ptr<platform::RecordedHost> host) : m_host(std::move(host)) {}
    Variant invoke(std::string_view member, InvokeKind kind, std::span<Variant> args) override
    {
        return m_host->invokeUnrecorded(member, kind, args);
    }

private:
    std::shared_ptr<platform::RecordedHost> m_host;
};

// A list of exactly `count` items.
std::vector<JsonNode>& listOf(JsonNode& node, const std::string& what, std::size_t count)
{
    auto& items = arrayOf(node, what);
    if (items.size() != count)
        throw std::invalid_argument(what + " debe tener " + std::to_string(count) + " números");
    return items;
}

Long longOf(const JsonNode& node, const std::string& what)
{
    return static_cast<Long>(integerOf(node, what, std::numeric_limits<Long>::min(), std::numeric_limits<Long>::max()));
}

enum class LineRead { Line, TooLong, NoMemory, End };

// One line without its '\n', never holding more than `limit` bytes of it: the rest of a longer
// line, or of one there is no memory for, is read and dropped, and the next line is read as usual.
LineRead readLine(std::istream& in, std::string& line, std::size_t limit)
{
    line.clear();
    std::streambuf* buffer = in.rdbuf();
    LineRead read = LineRead::Line;
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            return read == LineRead::Line && line.empty() ? LineRead::End : read;
        }
        if (c == '\n')
            return read;
        if (read != LineRead::Line)
            continue;
        if (line.size() >= limit) {
            read = LineRead::TooLong;
            continue;
        }
        try {
            // A line may set a password: growing never leaves its beginning in a released buffer.
            wipe::reserve(line, line.size() + 1);
            line += static_cast<char>(c);
        } catch (const std::bad_alloc&) {
            wipe::text(line);
            std::string().swap(line);
            read = LineRead::NoMemory;
        }
    }
}

class Session {
public:
    explicit Session(Runtime& runtime) : m_runtime(runtime) {}

    std::string handle(std::string_view line)
    {
        CallOutcome outcome;
        JsonNode request;
        try {
            request = parseJson(line);
            outcome = dispatch(request);
        } catch (const std::invalid_argument& e) {
            outcome.error = badRequest(e.what());
        } catch (const Error& e) {
            outcome.error = e;
        } catch (const std::bad_alloc&) {
            outcome.error = errors::outOfMemory();
        }
        // A request may carry a password and its outcome the same one read back: neither
        // outlives the answer, which the caller wipes once written.
        wipeTree(request);
        std::string answer = m_runtime.answer(outcome);
        wipe::value(outcome.result);
        for (Variant& argument : outcome.args)
            wipe::value(argument);
        return answer;
    }

    std::string tooLong()
    {
        CallOutcome outcome;
        outcome.error = badRequest("la petición pasa de " + std::to_string(kMaxRequestLine >> 20) + " MiB");
        return m_runtime.answer(outcome);
    }

    std::string noMemory()
    {
        CallOutcome outcome;
        outcome.error = errors::outOfMemory();
        return m_runtime.answer(outcome);
    }

private:
    static std::string field(const JsonNode& request, std::u16string_view name)
    {
        return nameOf(need(request, name, "la petición"), "\"" + utf::toUtf8(name) + "\"");
    }

    CallOutcome dispatch(JsonNode& request)
    {
        const std::string op = field(request, u"op");
        if (op == "new") return create(request);
        if (op == "release") {
            const std::string id = field(request, u"id");
            if (host(id))
                throw std::invalid_argument("\"" + excerpt(id) + "\" es un objeto anfitrión: sigue en el escritorio hasta el final de la sesión");
            if (m_objects.erase(id) == 0)
                throw std::invalid_argument("no hay ningún objeto con id \"" + excerpt(id) + "\"");
            return {};
        }
        if (op == "actions") {
            m_runtime.queueScripts(need(request, u"windows", "la petición"));
            return {};
        }
        if (op == "host") return makeHost(request);
        if (op == "log") return hostLog(request);
        if (op == "screen") return screen(request);
        if (op == "clock") return clock(request);
        if (op != "set" && op != "get" && op != "call")
            throw std::invalid_argument("operación desconocida: " + excerpt(op) +
                                        " (new, release, actions, set, get, call, host, log, screen, clock)");
        std::vector<Variant> args;
        std::string member = field(request, u"member");
        if (op == "set") {
            args.push_back(valueFromJson(std::move(need(request, u"value", "la petición")), m_lookup));
            member += "=";
        } else if (op == "get") {
            if (const auto found = request.find(u"id") != nullptr ? host(field(request, u"id")) : nullptr)
                if (utf::equalNames(member, "Menu") || utf::equalNames(member, "SystemMenu"))
                    return menu(*found, utf::equalNames(member, "SystemMenu"));
            return get(target(request), member);
        } else if (JsonNode* list = request.find(u"args")) {
            auto& items = arrayOf(*list, "\"args\"");
            for (std::size_t i = 0; i < items.size(); ++i) {
                try {
                    args.push_back(valueFromJson(std::move(items[i]), m_lookup));
                } catch (const std::invalid_argument& e) {
                    throw std::invalid_argument("argumento " + std::to_string(i + 1) + ": " + e.what());
                }
            }
        }
        return m_runtime.call(*target(request), member, std::move(args));
    }

    CallOutcome create(const JsonNode& request)
    {
        const std::string className = field(request, u"class");
        const std::string id = field(request, u"id");
        if (host(id))
            throw std::invalid_argument("\"" + excerpt(id) + "\" ya es el id de un objeto anfitrión");
        // Another object of the same id would silently drop the first, which the host still names.
        if (m_objects.contains(id))
            throw std::invalid_argument("ya hay un objeto con id \"" + excerpt(id) + "\": suéltelo antes con release");
        CallOutcome outcome;
        try {
            auto object = createObject(className);
            outcome.result = Variant(object);
            m_objects[id] = std::move(object);
        } catch (const Error& error) {
            outcome.error = error;
        }
        return outcome;
    }

    CallOutcome get(const std::shared_ptr<Object>& object, const std::string& member)
    {
        CallOutcome outcome;
        try {
            outcome.result = object->invoke(member, InvokeKind::Get, {});
        } catch (const Error& error) {
            outcome.error = error;
        }
        return outcome;
    }

    // The scripted desktop that host objects and the screen belong to; `op` needs it.
    platform::HeadlessWindowSystem& desktop(std::string_view op) const
    {
        if (auto* headless = m_runtime.headless())
            return *headless;
        throw std::invalid_argument("\"" + std::string(op) +
                                    "\" sólo vale con --headless: los objetos anfitriones y la pantalla son los del "
                                    "sistema de ventanas guionizado");
    }

    std::shared_ptr<platform::RecordedHost> host(const std::string& id) const
    {
        auto* headless = m_runtime.headless();
        return headless != nullptr ? headless->hosts().byName(id) : nullptr;
    }

    // {"op":"host","id":..,"kind":..,"props":{..},"parts":[[l,t,r,b],..]}: everything is read and
    // checked before the object is made, so a refused request leaves the desktop as it was.
    CallOutcome makeHost(JsonNode& request)
    {
        platform::HeadlessWindowSystem& windows = desktop("host");
        const std::string id = field(request, u"id");
        if (m_objects.contains(id) || host(id))
            throw std::invalid_argument("ya hay un objeto con id \"" + excerpt(id) + "\"");
        const std::string kindWord = field(request, u"kind");
        const auto kind = platform::hostKindOf(kindWord);
        if (!kind)
            throw std::invalid_argument("clase de objeto anfitrión desconocida: " + excerpt(kindWord) +
                                        " (form, statusbar, progressbar, picture, control, bitmap)");
        if (m_hosts >= kMaxHosts)
            throw std::invalid_argument("la sesión ya tiene " + std::to_string(kMaxHosts) + " objetos anfitriones");
        const bool drawable = *kind == platform::HostKind::Form || *kind == platform::HostKind::Picture;
        const bool bitmap = *kind == platform::HostKind::Bitmap;
        // A bitmap's handle is its `Handle` and its default value; a window's is its `hWnd`.
        const char* const handleName = bitmap ? "Handle" : "hWnd";

        Long handle = 0;
        std::vector<std::pair<std::string, Variant>> properties;
        if (JsonNode* props = request.find(u"props")) {
            if (props->kind != JsonNode::Kind::Object)
                throw std::invalid_argument("\"props\" debe ser un objeto, no " + std::string(kindName(props->kind)));
            if (props->members.size() > kMaxHostProperties)
                throw std::invalid_argument("\"props\" admite hasta " + std::to_string(kMaxHostProperties) + " propiedades");
            for (JsonMember& member : props->members) {
                std::string name = utf::toUtf8(member.name);
                const std::string what = "propiedad " + excerpt(name);
                Variant value;
                try {
                    value = valueFromJson(std::move(member.value), m_lookup);
                } catch (const std::invalid_argument& e) {
                    throw std::invalid_argument(what + ": " + e.what());
                }
                if (utf::equalNames(name, handleName)) {
                    if (value.type() != ValueType::Long && value.type() != ValueType::Integer)
                        throw std::invalid_argument(what + ": el identificador debe ser long o integer");
                    handle = value.toLong();
                    if (handle == 0)
                        throw std::invalid_argument(what + ": el identificador 0 no nombra nada");
                } else if (bitmap ? name.empty() : utf::equalNames(name, "Parent") ||
                                                       (drawable && utf::equalNames(name, "hdc"))) {
                    throw std::invalid_argument(what + ": la da la ventana; no se fija");
                } else {
                    properties.emplace_back(std::move(name), std::move(value));
                }
            }
        }

        std::vector<platform::PixelRect> parts;
        if (JsonNode* list = request.find(u"parts")) {
            if (*kind != platform::HostKind::StatusBar)
                throw std::invalid_argument("\"parts\" sólo vale para una barra de estado (statusbar)");
            auto& items = arrayOf(*list, "\"parts\"");
            if (items.size() > kMaxStatusBarParts)
                throw std::invalid_argument("\"parts\" admite hasta " + std::to_string(kMaxStatusBarParts) + " partes");
            for (std::size_t i = 0; i < items.size(); ++i) {
                const std::string what = "\"parts\"[" + std::to_string(i) + "]";
                auto& sides = listOf(items[i], what, 4);
                parts.push_back({longOf(sides[0], what), longOf(sides[1], what), longOf(sides[2], what),
                                 longOf(sides[3], what)});
            }
        }

        std::vector<platform::DropDown> menuBar;
        JsonNode* menu = request.find(u"menu");
        if (menu != nullptr) {
            if (*kind != platform::HostKind::Form)
                throw std::invalid_argument("\"menu\" sólo vale para un formulario (form)");
            menuBar = dropDowns(*menu);
        }

        const auto made = windows.hosts().add(*kind, id, handle);
        ++m_hosts;
        for (auto& [name, value] : properties)
            made->setProperty(std::move(name), std::move(value));
        made->setParts(std::move(parts));
        if (menu != nullptr)
            windows.hosts().setMenuBar(made->handle(), menuBar);
        CallOutcome outcome;
        outcome.result = made->handle();
        return outcome;
    }

    // "menu": [{"caption":"&Archivo","items":["&Abrir","-","&Salir"]}, ...], checked whole.
    static std::vector<platform::DropDown> dropDowns(const JsonNode& menu)
    {
        std::vector<platform::DropDown> bar;
        const auto& list = arrayOf(menu, "\"menu\"");
        if (list.size() > platform::kMaxMenuItems)
            throw std::invalid_argument("\"menu\" admite hasta " + std::to_string(platform::kMaxMenuItems) + " menús");
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string what = "\"menu\"[" + std::to_string(i) + "]";
            if (list[i].kind != JsonNode::Kind::Object)
                throw std::invalid_argument(what + " debe ser un objeto con \"caption\" e \"items\"");
            platform::DropDown dropDown{textOf(need(list[i], u"caption", what), what + ".caption"), {}};
            const auto& items = arrayOf(need(list[i], u"items", what), what + ".items");
            if (items.size() > platform::kMaxMenuItems)
                throw std::invalid_argument(what + ".items admite hasta " + std::to_string(platform::kMaxMenuItems) +
                                            " elementos");
            for (const JsonNode& item : items)
                dropDown.items.push_back(textOf(item, what + ".items"));
            bar.push_back(std::move(dropDown));
        }
        return bar;
    }

    // The menu bar or the system menu of a host window as the native operations left it.
    CallOutcome menu(const platform::RecordedHost& window, bool system) const
    {
        CallOutcome outcome;
        const auto& hosts = desktop("get").hosts();
        if (!window.alive())
            outcome.error = errors::objectNotSet();
        else if (!window.window())
            outcome.error = errors::memberNotSupported();
        else
            outcome.menu = system ? hosts.systemMenuOf(window) : hosts.menuBarOf(window);
        return outcome;
    }

    CallOutcome hostLog(const JsonNode& request)
    {
        const std::string id = field(request, u"id");
        const auto found = host(id);
        if (!found)
            throw std::invalid_argument("no hay ningún objeto anfitrión con id \"" + excerpt(id) + "\"");
        CallOutcome outcome;
        outcome.log = found->log();
        return outcome;
    }

    // {"op":"screen","twips":[x,y],"cursor":[x,y]}: either or both, checked before either is set.
    CallOutcome screen(JsonNode& request)
    {
        platform::HeadlessWindowSystem& windows = desktop("screen");
        JsonNode* twips = request.find(u"twips");
        JsonNode* cursor = request.find(u"cursor");
        if (twips == nullptr && cursor == nullptr)
            throw std::invalid_argument("\"screen\" necesita \"twips\" o \"cursor\"");
        std::optional<std::pair<double, double>> factors;
        if (twips != nullptr) {
            auto& xy = listOf(*twips, "\"twips\"", 2);
            factors.emplace(numberOf(xy[0], "\"twips\""), numberOf(xy[1], "\"twips\""));
            for (const double factor : {factors->first, factors->second})
                if (!(factor > 0 && factor <= kMaxTwipsPerPixel))
                    throw std::invalid_argument("\"twips\" debe ser mayor que 0 y no pasar de " +
                                                shortestNumber(kMaxTwipsPerPixel) + ": " + shortestNumber(factor));
        }
        std::optional<platform::PixelPoint> at;
        if (cursor != nullptr) {
            auto& xy = listOf(*cursor, "\"cursor\"", 2);
            at = platform::PixelPoint{longOf(xy[0], "\"cursor\""), longOf(xy[1], "\"cursor\"")};
        }
        if (factors)
            windows.setTwipsPerPixel(factors->first, factors->second);
        if (at)
            windows.setCursorPosition(*at);
        return {};
    }

    // {"op":"clock","tick":N}: a negative N is the unsigned tick it reads as.
    CallOutcome clock(const JsonNode& request)
    {
        const std::int64_t tick = integerOf(need(request, u"tick", "la petición"), "\"tick\"",
                                            std::numeric_limits<std::int32_t>::min(),
                                            std::numeric_limits<std::uint32_t>::max());
        m_runtime.setVirtualTick(static_cast<std::uint32_t>(tick));
        return {};
    }

    // The object a request names: "id" from an earlier "new" or "host", or "class" for a call on
    // the shared instance of a global class (a fresh instance of a creatable one).
    std::shared_ptr<Object> target(const JsonNode& request)
    {
        if (request.find(u"id") != nullptr) {
            const std::string id = field(request, u"id");
            if (const auto it = m_objects.find(id); it != m_objects.end())
                return it->second;
            if (auto found = host(id))
                return std::make_shared<HostSelf>(std::move(found));
            throw std::invalid_argument("no hay ningún objeto con id \"" + excerpt(id) + "\"");
        }
        const std::string name = field(request, u"class");
        const ClassInfo* info = findClass(name);
        if (info == nullptr)
            throw std::invalid_argument("clase desconocida: " + excerpt(name));
        return callTarget(*info);
    }

    // Objects passed as values: those of "new" and the host objects, by id.
    std::shared_ptr<Object> lookup(const std::string& id) const
    {
        if (const auto it = m_objects.find(id); it != m_objects.end())
            return it->second;
        return host(id);
    }

    Runtime& m_runtime;
    std::map<std::string, std::shared_ptr<Object>> m_objects;
    std::size_t m_hosts = 0;
    const ObjectLookup m_lookup = [this](const std::string& id) { return lookup(id); };
};

} // namespace

int runSession(Runtime& runtime, std::istream& in, std::ostream& out)
{
    Session session(runtime);
    std::string line;
    for (LineRead read; out && (read = readLine(in, line, kMaxRequestLine)) != LineRead::End;) {
        if (read == LineRead::TooLong)
            out << session.tooLong() << std::endl;
        else if (read == LineRead::NoMemory)
            out << session.noMemory() << std::endl;
        else if (line.find_first_not_of(" \t\r") != std::string::npos) {
            // A request may set a password and an answer may read one back: neither outlives its
            // line in the process's memory.
            std::string answer = session.handle(line);
            out << answer << std::endl;
            wipe::text(answer);
        }
        wipe::text(line);
    }
    return 0;
}

} // namespace kor2cli
