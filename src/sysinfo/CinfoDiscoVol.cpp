#include <Kor2_Sys/CinfoDiscoVol.h>

#include "frame/Latin1.h"
#include "frame/Trap.h"
#include "frame/Utf.h"
#include "platform/WindowSystem.h"
#include "sysinfo/Volumes.h"

namespace Kor2_Sys {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

// The original platform's computer names are NetBIOS names: one label, upper case, 15 characters.
constexpr std::size_t kComputerNameLength = 15;

MessageAnswer show(Text text, MessageButtons buttons, MessageIcon icon)
{
    return platform::windowSystem().messageBox({std::move(text), buttons, icon, std::nullopt});
}

Text decimal(Long number)
{
    return utf::fromUtf8(std::to_string(number));
}

// The box for a failed listing; true when the user asks to try again, which the insert-disk box
// allows for as long as OK is the answer.
bool answerListingFailure(const Error& error, const Text& name)
{
    const Text lead = u"ERROR en Kor_Sys.DLL :";
    if (error.number() == errors::diskNotReady().number())
        return show(lead + u"Inserte correctamente el disco en la unidad. D_nserie", MessageButtons::OkCancel,
                    MessageIcon::Warning) == MessageAnswer::Ok;
    if (error.number() == errors::deviceUnavailable().number())
        show(lead + u"Esta unidad o ruta no existe: " + name + u" .D_nserie", MessageButtons::Ok, MessageIcon::Warning);
    else
        show(lead + u"Se ha producido el error inesperado Nº" + decimal(error.number()) + u": " + error.description() +
                 u".D_nserie",
             MessageButtons::Ok, MessageIcon::Stop);
    return false;
}

} // namespace

Text CinfoDiscoVol::D_Nombre_Maquina()
{
    Text name;
    trap::report(u".D_Maquina", [&] {
        const Text host = utf::fromUtf8(platform::systemInfo()->hostName());
        for (char16_t c : host.substr(0, std::min(host.find(u'.'), host.find(u'\0')))) {
            if (name.size() == kComputerNameLength)
                break;
            name += latin1::toUpper(c);
        }
    });
    return name;
}

void CinfoDiscoVol::D_NumeroDeSerieVolyMas(const Text& LetraUnidad, Text& NombreVolumen, Text& NumeroSerie,
                                           Text& NombeSystem)
{
    trap::report(u".D_nserie", [&] {
        if (LetraUnidad.empty()) {
            show(u"ERROR:No has especificado la unidad", MessageButtons::Ok, MessageIcon::Stop);
            return;
        }
        if (LetraUnidad.size() >= 2) {
            show(u"ERROR:Solo necesito la Letra de la unidad y no" + LetraUnidad, MessageButtons::Ok, MessageIcon::Stop);
            return;
        }
        const auto volume = sysinfo::driveVolume(LetraUnidad[0]);
        NombreVolumen = volume ? volume->label : Text();
        NombeSystem = volume ? volume->fileSystem : Text();
        NumeroSerie = sysinfo::serialText(volume ? volume->serial : 0);
    });
}

Text CinfoDiscoVol::D_Sol(const Text& s)
{
    Text serial;
    trap::report(u" .Sol", [&] {
        if (s.size() != 1)
            return;
        const auto volume = sysinfo::driveVolume(s[0]);
        serial = sysinfo::serialText(volume ? volume->serial : 0);
    });
    return serial;
}

Boolean CinfoDiscoVol::D_Existe_fichero(const Text& Nombre)
{
    if (Nombre.empty())
        return false;  // names no file; the listing would read it as the current folder
    for (;;) {
        bool found = false;
        bool retry = false;
        trap::handle([&] { found = platform::systemInfo()->firstFile(sysinfo::platformPath(Nombre)).has_value(); },
                     [&](const Error& error) {
                         // A box that cannot be shown ends the operation; the host's handler hears why.
                         trap::handle([&] { retry = answerListingFailure(error, Nombre); },
                                      [](const Error& boxError) {
                                          trap::swallowed("CinfoDiscoVol.D_Existe_fichero", boxError);
                                      });
                     });
        if (!retry)
            return found;
    }
}

template <> CinfoDiscoVol& global<CinfoDiscoVol>()
{
    static CinfoDiscoVol instance;
    return instance;
}

} // namespace Kor2_Sys
