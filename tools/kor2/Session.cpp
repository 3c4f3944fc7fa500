#include "Session.h"

#include "JsonValues.h"

#include "frame/Utf.h"

#include <istream>
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

enum class LineRead { Line, TooLong, End };

// One line without its '\n', never holding more than `limit` bytes of it: the rest of a longer
// line is read and dropped.
LineRead readLine(std::istream& in, std::string& line, std::size_t limit)
{
    line.clear();
    std::streambuf* buffer = in.rdbuf();
    bool tooLong = false;
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            return tooLong ? LineRead::TooLong : line.empty() ? LineRead::End : LineRead::Line;
        }
        if (c == '\n')
            return tooLong ? LineRead::TooLong : LineRead::Line;
        if (line.size() < limit)
            line += static_cast<char>(c);
        else
            tooLong = true;
    }
}

class Session {
public:
    explicit Session(Runtime& runtime) : m_runtime(runtime) {}

    std::string handle(std::string_view line)
    {
        CallOutcome outcome;
        try {
            outcome = dispatch(parseJson(line));
        } catch (const std::invalid_argument& e) {
            outcome.error = badRequest(e.what());
        } catch (const Error& e) {
            outcome.error = e;
        } catch (const std::bad_alloc&) {
            outcome.error = errors::outOfMemory();
        }
        return m_runtime.answer(outcome);
    }

    std::string tooLong()
    {
        CallOutcome outcome;
        outcome.error = badRequest("la petición pasa de " + std::to_string(kMaxRequestLine >> 20) + " MiB");
        return m_runtime.answer(outcome);
    }

private:
    static std::string field(const JsonNode& request, std::u16string_view name)
    {
        return nameOf(need(request, name, "la petición"), "\"" + utf::toUtf8(name) + "\"");
    }

    CallOutcome dispatch(JsonNode request)
    {
        const std::string op = field(request, u"op");
        if (op == "new") return create(request);
        if (op == "release") {
            m_objects.erase(field(request, u"id"));
            return {};
        }
        if (op == "actions") {
            m_runtime.queueScripts(need(request, u"windows", "la petición"));
            return {};
        }
        if (op != "set" && op != "get" && op != "call")
            throw std::invalid_argument("operación desconocida: " + excerpt(op) +
                                        " (new, release, actions, set, get, call)");
        std::vector<Variant> args;
        std::string member = field(request, u"member");
        if (op == "set") {
            args.push_back(valueFromJson(std::move(need(request, u"value", "la petición"))));
            member += "=";
        } else if (op == "get") {
            return get(target(request), member);
        } else if (JsonNode* list = request.find(u"args")) {
            auto& items = arrayOf(*list, "\"args\"");
            for (std::size_t i = 0; i < items.size(); ++i) {
                try {
                    args.push_back(valueFromJson(std::move(items[i])));
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

    // The object a request names: "id" from an earlier "new", or "class" for a call on the shared
    // instance of a global class (a fresh instance of a creatable one).
    std::shared_ptr<Object> target(const JsonNode& request)
    {
        if (request.find(u"id") != nullptr) {
            const std::string id = field(request, u"id");
            const auto it = m_objects.find(id);
            if (it == m_objects.end())
                throw std::invalid_argument("no hay ningún objeto con id \"" + excerpt(id) + "\"");
            return it->second;
        }
        const std::string name = field(request, u"class");
        const ClassInfo* info = findClass(name);
        if (info == nullptr)
            throw std::invalid_argument("clase desconocida: " + excerpt(name));
        return callTarget(*info);
    }

    Runtime& m_runtime;
    std::map<std::string, std::shared_ptr<Object>> m_objects;
};

} // namespace

int runSession(Runtime& runtime, std::istream& in, std::ostream& out)
{
    Session session(runtime);
    std::string line;
    for (LineRead read; out && (read = readLine(in, line, kMaxRequestLine)) != LineRead::End;) {
        if (read == LineRead::TooLong)
            out << session.tooLong() << std::endl;
        else if (line.find_first_not_of(" \t\r") != std::string::npos)
            out << session.handle(line) << std::endl;
    }
    return 0;
}

} // namespace kor2cli
