#include "Settings.h"

#include "Json.h"
#include "JsonReader.h"

#include "frame/Utf.h"
#include "settings/Store.h"

#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <stdexcept>

using namespace Kor2_Sys;

namespace kor2cli {
namespace {

constexpr int kDone = 0, kNotFound = 1, kUsage = 2, kStoreError = 3;

Text text(const std::string& utf8) { return utf::fromUtf8(utf8); }

void needWords(const SettingsCommand& c, std::size_t least, std::size_t most, const char* usage)
{
    if (c.words.size() < least || c.words.size() > most)
        throw std::invalid_argument(std::string("uso: kor2 settings ") + usage);
}

std::string entryJson(const settings::Entry& e)
{
    return "{\"app\": " + jsonString(e.app) + ", \"section\": " + jsonString(e.section) + ", \"key\": " +
           jsonString(e.key) + ", \"value\": " + jsonString(e.value) + "}";
}

std::string exportJson(const std::vector<settings::Entry>& entries)
{
    std::string out = "{\"format\": \"kor2-settings\", \"version\": 1, \"entries\": [";
    for (std::size_t i = 0; i < entries.size(); ++i)
        out += (i ? ",\n  " : "\n  ") + entryJson(entries[i]);
    return out + (entries.empty() ? "]}\n" : "\n]}\n");
}

const Text& field(const JsonNode& entry, std::u16string_view name)
{
    const JsonNode* node = entry.find(name);
    if (node == nullptr || node->kind != JsonNode::Kind::String)
        throw std::invalid_argument("cada entrada necesita el texto \"" + utf::toUtf8(name) + "\"");
    return node->string;
}

// Reads every entry before writing any, so that a malformed file changes nothing.
std::vector<settings::Entry> importEntries(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::invalid_argument("no se puede leer " + path);
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const JsonNode document = parseJson(content);
    const JsonNode* entries = document.find(u"entries");
    if (entries == nullptr || entries->kind != JsonNode::Kind::Array)
        throw std::invalid_argument(path + ": falta la lista \"entries\"");
    std::vector<settings::Entry> out;
    for (const JsonNode& e : entries->items)
        out.push_back({field(e, u"app"), field(e, u"section"), field(e, u"key"), field(e, u"value")});
    return out;
}

int list(const SettingsCommand& c, std::ostream& out)
{
    const bool oneSection = c.words.size() == 1;
    std::vector<settings::Entry> shown;
    for (auto& e : settings::store().entries())
        if (e.app == text(c.app) && (!oneSection || e.section == text(c.words[0])))
            shown.push_back(std::move(e));
    if (c.json) {
        out << exportJson(shown);
        return kDone;
    }
    for (const auto& e : shown)
        out << "[" << utf::toUtf8(e.section) << "] " << utf::toUtf8(e.key) << " = " << utf::toUtf8(e.value) << "\n";
    return kDone;
}

int act(const SettingsCommand& c, std::ostream& out)
{
    auto& store = settings::store();
    const Text app = text(c.app);
    if (c.action == "get") {
        needWords(c, 2, 2, "get SECCIÓN CLAVE");
        const auto value = store.find(app, text(c.words[0]), text(c.words[1]));
        if (!value)
            return kNotFound;
        out << (c.json ? "{\"value\": " + jsonString(*value) + "}" : utf::toUtf8(*value)) << "\n";
        return kDone;
    }
    if (c.action == "set") {
        needWords(c, 3, 3, "set SECCIÓN CLAVE VALOR");
        store.write(app, text(c.words[0]), text(c.words[1]), text(c.words[2]));
        return kDone;
    }
    if (c.action == "list") {
        needWords(c, 0, 1, "list [SECCIÓN]");
        return list(c, out);
    }
    if (c.action == "delete") {
        needWords(c, 1, 2, "delete SECCIÓN [CLAVE]");
        if (c.words.size() == 2)
            return store.remove(app, text(c.words[0]), text(c.words[1])) ? kDone : kNotFound;
        return store.removeSection(app, text(c.words[0])) > 0 ? kDone : kNotFound;
    }
    if (c.action == "export") {
        needWords(c, 0, 1, "export [ARCHIVO]");
        const std::string document = exportJson(store.entries());
        if (c.words.empty()) {
            out << document;
        } else {
            std::ofstream file(c.words[0], std::ios::binary | std::ios::trunc);
            if (!(file << document))
                throw std::invalid_argument("no se puede escribir " + c.words[0]);
        }
        return kDone;
    }
    if (c.action == "import") {
        needWords(c, 1, 1, "import ARCHIVO");
        const auto entries = importEntries(c.words[0]);
        for (const auto& e : entries)
            store.write(e.app, e.section, e.key, e.value);
        out << entries.size() << " valores importados\n";
        return kDone;
    }
    throw std::invalid_argument("acción desconocida: " + c.action + " (get, set, list, delete, export, import)");
}

} // namespace

int runSettings(const SettingsCommand& command, std::ostream& out, std::ostream& err)
{
    try {
        return act(command, out);
    } catch (const std::invalid_argument& e) {
        err << "kor2: " << e.what() << "\n";
        return kUsage;
    } catch (const Error& e) {
        err << "kor2: error " << e.number() << ": " << utf::toUtf8(e.description()) << "\n";
        return kStoreError;
    }
}

} // namespace kor2cli
