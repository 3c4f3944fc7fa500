// kor2 session: request lines as a driving program could send them, through the whole request
// handling on a memory store and the scripted window system. Every line that is not blank gets
// exactly one answer line, and every answer reads back through the reader that read the request.
// Every request that reads is also written again by the writer and must read back to the same tree.
#include "FuzzInput.h"

#include "JsonReader.h"
#include "JsonWriter.h"
#include "Runtime.h"
#include "Session.h"

#include "settings/Store.h"

#include <sstream>
#include <stdexcept>
#include <string>

namespace {

using kor2cli::JsonNode;

void write(kor2cli::JsonWriter& json, const JsonNode& node)
{
    switch (node.kind) {
    case JsonNode::Kind::Null: json.null(); return;
    case JsonNode::Kind::Boolean: json.boolean(node.boolean); return;
    case JsonNode::Kind::Number:
        node.isInteger ? json.number(node.integer) : json.number(node.number);
        return;
    case JsonNode::Kind::String: json.text(node.string); return;
    case JsonNode::Kind::Array:
        json.beginArray();
        for (const JsonNode& item : node.items)
            write(json, item);
        json.endArray();
        return;
    case JsonNode::Kind::Object:
        json.beginObject();
        for (const auto& member : node.members) {
            json.key(member.name);
            write(json, member.value);
        }
        json.endObject();
        return;
    }
}

bool same(const JsonNode& a, const JsonNode& b)
{
    if (a.kind != b.kind || a.boolean != b.boolean || a.string != b.string || a.items.size() != b.items.size() ||
        a.members.size() != b.members.size())
        return false;
    if (a.kind == JsonNode::Kind::Number && (a.number != b.number || (a.isInteger && (!b.isInteger || a.integer != b.integer))))
        return false;
    for (std::size_t i = 0; i < a.items.size(); ++i)
        if (!same(a.items[i], b.items[i]))
            return false;
    for (std::size_t i = 0; i < a.members.size(); ++i)
        if (a.members[i].name != b.members[i].name || !same(a.members[i].value, b.members[i].value))
            return false;
    return true;
}

void requireRoundTrip(const std::string& line)
{
    JsonNode request;
    try {
        request = kor2cli::parseJson(line);
    } catch (const std::invalid_argument&) {
        return;
    }
    kor2cli::JsonWriter json;
    write(json, request);
    const std::string written = json.take();
    if (written.size() > kor2cli::kJsonMaxBytes)  // escapes may grow a text past the reader's bound
        return;
    try {
        kor2fuzz::require(same(request, kor2cli::parseJson(written)));
    } catch (const std::invalid_argument&) {
        kor2fuzz::require(false);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace Kor2_Sys;
    const std::string input(reinterpret_cast<const char*>(data), size);
    settings::ScopedStore store(":memory:");
    kor2cli::GlobalOptions options;
    options.headless = true;
    kor2cli::Runtime runtime(options);
    std::istringstream in(input);
    std::ostringstream out;
    kor2cli::runSession(runtime, in, out);

    std::size_t requests = 0;
    std::istringstream lines(input);
    for (std::string line; std::getline(lines, line);) {
        requests += line.find_first_not_of(" \t\r") != std::string::npos;
        requireRoundTrip(line);
    }
    std::size_t answers = 0;
    std::istringstream written(out.str());
    for (std::string answer; std::getline(written, answer); ++answers) {
        try {
            const auto node = kor2cli::parseJson(answer);
            kor2fuzz::require(node.find(u"error") != nullptr && node.find(u"warnings") != nullptr);
        } catch (const std::invalid_argument&) {
            kor2fuzz::require(false);
        }
    }
    kor2fuzz::require(answers == requests);
    return 0;
}
