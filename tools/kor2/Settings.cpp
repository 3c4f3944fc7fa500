#include "Settings.h"

#include "Io.h"
#include "JsonReader.h"
#include "JsonWriter.h"

#include "frame/Utf.h"

#include <ostream>
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
        out << "[" << displayText(e.section) << "] " << displayText(e.key) << " = " << displayText(e.value) << "\n";
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
        out << (c.json ? JsonWriter().beginObject().key("value").text(*value).endObject().take() : displayText(*value))
            << "\n";
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
        if (c.words.empty())
            out << document;
        else
            writeFileReplacing(c.words[0], document);
        return kDone;
    }
    if (c.action == "import") {
        needWords(c, 1, 1, "import ARCHIVO");
        const std::string& path = c.words[0];
        const std::string document = readFileArgument(path, "el archivo de importación");
        std::vector<settings::Entry> entries;
        try {
            entries = entriesFromJson(document);
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument(shownPath(path) + ": " + e.what() + "; no se ha cambiado nada");
        }
        try {
            store.writeAll(entries);
        } catch (const Error& e) {
            throw Error(e.number(), e.description() + u"; no se ha cambiado nada");
        }
        out << entries.size() << (entries.size() == 1 ? " valor importado\n" : " valores importados\n");
        return kDone;
    }
    throw std::invalid_argument("acción desconocida: " + excerpt(c.action) + " (get, set, list, delete, export, import)");
}

} // namespace

bool readsOnly(const SettingsCommand& command)
{
    return command.action == "get" || command.action == "list" || command.action == "export";
}

void openStoreFor(const SettingsCommand& command)
{
    if (readsOnly(command))
        settings::installStore(settings::open(settings::configuredPath(), settings::OpenMode::ReadOnly));
}

std::string exportJson(const std::vector<settings::Entry>& entries)
{
    JsonWriter json;
    json.beginObject()
        .key("format").utf8("kor2-settings")
        .key("version").number(1)
        .key("entries").beginArray(JsonWriter::Layout::Lines);
    for (const settings::Entry& e : entries)
        json.beginObject()
            .key("app").text(e.app)
            .key("section").text(e.section)
            .key("key").text(e.key)
            .key("value").text(e.value)
            .endObject();
    return json.endArray().endObject().take() + "\n";
}

// Reads every entry before any is written, so that a malformed file changes nothing.
std::vector<settings::Entry> entriesFromJson(std::string_view document)
{
    JsonNode root = parseJson(document);
    if (root.kind != JsonNode::Kind::Object)
        throw std::invalid_argument("no es una exportación de kor2: el documento es " + std::string(kindName(root.kind)) +
                                    ", no un objeto");
    if (const JsonNode* format = root.find(u"format");
        format == nullptr || format->kind != JsonNode::Kind::String || format->string != u"kor2-settings")
        throw std::invalid_argument("no es una exportación de kor2: \"format\" debe ser \"kor2-settings\"");
    if (const JsonNode* version = root.find(u"version");
        version == nullptr || version->kind != JsonNode::Kind::Number || !version->isInteger || version->integer != 1)
        throw std::invalid_argument("versión de exportación no admitida: \"version\" debe ser 1");
    auto& items = arrayOf(need(root, u"entries", "el documento"), "\"entries\"");
    std::vector<settings::Entry> out;
    out.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string where = "\"entries\"[" + std::to_string(i) + "]";
        try {
            auto take = [&](std::u16string_view name) {
                JsonNode& field = need(items[i], name, "la entrada");
                textOf(field, "\"" + utf::toUtf8(name) + "\"");
                return std::move(field.string);
            };
            settings::Entry entry;
            entry.app = take(u"app");
            entry.section = take(u"section");
            entry.key = take(u"key");
            entry.value = take(u"value");
            out.push_back(std::move(entry));
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument(where + ": " + e.what());
        }
    }
    return out;
}

int runSettings(const SettingsCommand& command, std::ostream& out, std::ostream& err)
{
    try {
        return act(command, out);
    } catch (const std::invalid_argument& e) {
        err << "kor2: " << e.what() << "\n";
        return kUsage;
    } catch (const IoError& e) {
        err << "kor2: " << e.what() << "\n";
        return kStoreError;
    } catch (const Error& e) {
        err << "kor2: error " << e.number() << ": " << utf::toUtf8(e.description()) << "\n";
        return kStoreError;
    }
}

} // namespace kor2cli
