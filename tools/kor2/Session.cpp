#include "Json.h"
#include "Runtime.h"

#include "frame/Utf.h"

#include <istream>
#include <map>
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

class Session {
public:
    explicit Session(Runtime& runtime) : m_runtime(runtime) {}

    std::string handle(const std::string& line)
    {
        CallOutcome outcome;
        try {
            outcome = dispatch(nlohmann::json::parse(line));
        } catch (const nlohmann::json::exception& e) {
            outcome.error = badRequest(std::string("petición JSON no válida: ") + e.what());
        } catch (const std::invalid_argument& e) {
            outcome.error = badRequest(e.what());
        } catch (const Error& e) {
            outcome.error = e;
        }
        return m_runtime.answer(outcome);
    }

private:
    CallOutcome dispatch(const nlohmann::json& request)
    {
        const std::string op = request.at("op").get<std::string>();
        if (op == "new") return create(request);
        if (op == "release") {
            m_objects.erase(request.at("id").get<std::string>());
            return {};
        }
        if (op == "actions") {
            m_runtime.queueScripts(request.at("windows"));
            return {};
        }
        std::vector<Variant> args;
        std::string member = request.at("member").get<std::string>();
        if (op == "set") {
            args.push_back(valueFromJson(request.at("value")));
            member += "=";
        } else if (op == "get") {
            return get(target(request), member);
        } else if (op == "call") {
            for (const auto& arg : request.value("args", nlohmann::json::array()))
                args.push_back(valueFromJson(arg));
        } else {
            throw std::invalid_argument("operación desconocida: " + op);
        }
        return m_runtime.call(*target(request), member, std::move(args));
    }

    CallOutcome create(const nlohmann::json& request)
    {
        CallOutcome outcome;
        try {
            auto object = createObject(request.at("class").get<std::string>());
            outcome.result = Variant(object);
            m_objects[request.at("id").get<std::string>()] = std::move(object);
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
    std::shared_ptr<Object> target(const nlohmann::json& request)
    {
        if (request.contains("id")) {
            const auto it = m_objects.find(request.at("id").get<std::string>());
            if (it == m_objects.end())
                throw std::invalid_argument("no hay ningún objeto con id " + request.at("id").dump());
            return it->second;
        }
        const std::string name = request.at("class").get<std::string>();
        const ClassInfo* info = findClass(name);
        if (info == nullptr)
            throw std::invalid_argument("clase desconocida: " + name);
        return callTarget(*info);
    }

    Runtime& m_runtime;
    std::map<std::string, std::shared_ptr<Object>> m_objects;
};

} // namespace

int runSession(Runtime& runtime, std::istream& in, std::ostream& out)
{
    Session session(runtime);
    for (std::string line; std::getline(in, line);) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        out << session.handle(line) << std::endl;
    }
    return 0;
}

} // namespace kor2cli
