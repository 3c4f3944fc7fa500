#include "Info.h"

#include "Io.h"
#include "JsonWriter.h"

#include <Kor2_Sys/CinfoDiscoVol.h>
#include <Kor2_Sys/c_VL.h>

#include "frame/Utf.h"
#include "platform/SystemInfo.h"
#include "sysinfo/DiskIdentity.h"
#include "sysinfo/Volumes.h"

#include <charconv>
#include <ostream>
#include <stdexcept>
#include <variant>

using namespace Kor2_Sys;

namespace kor2cli {
namespace {

constexpr int kDone = 0, kNoVolume = 1;
// An identity block is 512 bytes; its word dump a few kilobytes.
constexpr std::size_t kMaxDump = std::size_t{1} << 20;

struct Field {
    std::string_view key;    ///< JSON member
    std::string_view label;  ///< text line
    std::variant<std::string, long long> value;
};

void print(const std::vector<Field>& fields, bool json, std::ostream& out)
{
    if (json) {
        JsonWriter writer;
        writer.beginObject();
        for (const Field& f : fields) {
            writer.key(f.key);
            if (const auto* number = std::get_if<long long>(&f.value))
                writer.number(*number);
            else
                writer.utf8(std::get<std::string>(f.value));
        }
        out << writer.endObject().take() << "\n";
        return;
    }
    // Labels, serials, models and paths come from devices and files: none of them may steer the
    // terminal.
    for (const Field& f : fields) {
        out << f.label << ": ";
        if (const auto* number = std::get_if<long long>(&f.value))
            out << *number;
        else
            out << displayText(utf::fromUtf8(std::get<std::string>(f.value)));
        out << "\n";
    }
}

const std::string& oneWord(const InfoCommand& c, std::string_view usage)
{
    if (c.words.size() != 1)
        throw std::invalid_argument("uso: kor2 info " + std::string(usage));
    return c.words[0];
}

std::vector<Field> identityFields(const platform::IdentityBlock& block)
{
    return {{"model", "modelo", utf::toUtf8(sysinfo::identityString(block, sysinfo::kModel))},
            {"serial", "número de serie", utf::toUtf8(sysinfo::identityString(block, sysinfo::kSerial))},
            {"firmware", "firmware", utf::toUtf8(sysinfo::identityString(block, sysinfo::kFirmware))}};
}

int host(const InfoCommand& c, std::ostream& out)
{
    if (!c.words.empty())
        throw std::invalid_argument("uso: kor2 info host");
    print({{"name", "nombre", utf::toUtf8(global<CinfoDiscoVol>().D_Nombre_Maquina())},
           {"hostname", "nombre del sistema", platform::systemInfo()->hostName()}},
          c.json, out);
    return kDone;
}

int volume(const InfoCommand& c, std::ostream& out, std::ostream& err)
{
    const Text letter = utf::fromUtf8(oneWord(c, "volume LETRA"));
    const auto isLetter = [](char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); };
    if (letter.size() != 1 || !isLetter(letter[0]))
        throw std::invalid_argument("una unidad es una sola letra, de la A a la Z: " + shownPath(oneWord(c, "")));
    const std::string drive = utf::toUtf8(Text(1, sysinfo::driveLetter(letter[0])));
    const auto target = sysinfo::driveTarget(letter[0]);
    if (!target) {
        err << "kor2: la unidad " << drive << " no está asignada (kor2 settings set --app Vesolar Unidades " << drive
            << " /media/usb)\n";
        return kNoVolume;
    }
    const auto v = sysinfo::driveVolume(letter[0]);
    if (!v) {
        err << "kor2: la unidad " << drive << " (" << shownPath(*target) << ") no tiene un volumen legible\n";
        return kNoVolume;
    }
    print({{"drive", "unidad", drive},
           {"target", "destino", *target},
           {"label", "etiqueta", utf::toUtf8(v->label)},
           {"serial", "número de serie", static_cast<long long>(static_cast<std::int32_t>(v->serial))},
           {"serialHex", "número de serie (hex)", sysinfo::serialHex(v->serial)},
           {"fileSystem", "sistema de archivos", utf::toUtf8(v->fileSystem)},
           {"type", "tipo en Linux", v->facts.type},
           {"uuid", "UUID", v->facts.uuid},
           {"source", "origen", v->facts.source},
           {"device", "dispositivo", v->facts.device},
           {"mountPoint", "punto de montaje", v->facts.mountPoint}},
          c.json, out);
    return kDone;
}

int disk(const InfoCommand& c, std::ostream& out)
{
    const std::string& word = oneWord(c, "disk N");
    unsigned number = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (ec != std::errc{} || end != word.data() + word.size() || word.empty() || number > 255)
        throw std::invalid_argument("número de unidad no válido: " + shownPath(word) + " (0 a 3)");
    c_VL identity;
    identity.CurrentDrive(static_cast<Byte>(number));
    const platform::IdentifyAnswer answer = sysinfo::identifyDrive(identity.Platform(), identity.CurrentDrive());
    std::vector<Field> fields{{"drive", "unidad", static_cast<long long>(number)}};
    for (Field& f : identityFields(answer.block))
        fields.push_back(std::move(f));
    fields.push_back({"source", "origen", answer.source.empty() ? std::string("ninguno (no respondió)") : answer.source});
    fields.push_back({"device", "dispositivo", answer.device});
    print(fields, c.json, out);
    return kDone;
}

int identify(const InfoCommand& c, std::ostream& out)
{
    const std::string& path = oneWord(c, "identify ARCHIVO");
    const std::string content = readFileArgument(path, "el bloque de identidad", kMaxDump);
    platform::IdentityBlock block{};
    try {
        block = sysinfo::parseIdentityDump(content);
    } catch (const Error& e) {
        throw std::invalid_argument(shownPath(path) + ": " + displayText(e.description()));
    }
    print(identityFields(block), c.json, out);
    return kDone;
}

} // namespace

int runInfo(const InfoCommand& command, std::ostream& out, std::ostream& err)
{
    if (command.what == "host")
        return host(command, out);
    if (command.what == "volume")
        return volume(command, out, err);
    if (command.what == "disk")
        return disk(command, out);
    if (command.what == "identify")
        return identify(command, out);
    throw std::invalid_argument("consulta desconocida: " + shownPath(command.what) + " (host, volume, disk, identify)");
}

} // namespace kor2cli
