// The assembly manifest lists what registration would otherwise write: the classes with their
// programmatic names and the type library built into the module. A host's application manifest
// names the assembly; the loader then finds the classes in the activation context, not in the
// registry.

#include "Manifest.h"
#include "Version.h"

#include <Kor2_Sys/Object.h>

#include "classes/Classes.h"
#include "com/NameUuid.h"

#include <sstream>

namespace Kor2_Sys::idlgen {
namespace {

// The loader looks for a private assembly in the host's folder as NAME.dll, NAME.manifest,
// NAME\NAME.dll and NAME\NAME.manifest. A name of its own, not the module's, keeps the first
// probe from landing on Kor2_Sys.dll, which carries no manifest: the build writes NAME.manifest.
constexpr std::string_view kAssemblyName = "Kor2_Sys.sxs";

} // namespace

std::optional<std::string> assemblyManifest(std::string_view architecture, std::string_view version)
{
    // A process loads only a module of its own width, and the loader matches the architecture of
    // the identity against the process's.
    // The loader refuses an identity whose version is not four numbers of 16 bits: a manifest it
    // refuses gives the host nothing but a failed start-up, so a bad one is not written at all.
    if ((architecture != "amd64" && architecture != "x86") || !isDottedVersion(version, {65535, 65535, 65535, 65535}))
        return std::nullopt;
    const std::string library = com::bracedText(com::libraryUuid());
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        << "<!-- Generated from the library's class tables by kor2-idlgen; do not edit. -->\n"
        << "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
        << "  <assemblyIdentity type=\"win32\" name=\"" << kAssemblyName << "\" version=\"" << version
        << "\" processorArchitecture=\"" << architecture << "\"/>\n"
        << "  <file name=\"Kor2_Sys.dll\">\n";
    for (const ClassInfo* info : libraryClasses())
        out << "    <comClass clsid=\"" << com::bracedText(com::classUuid(info->name)) << "\" progid=\""
            << info->progId() << "\" threadingModel=\"Apartment\" tlbid=\"" << library << "\"/>\n";
    // No help files: an empty folder, as registration writes none.
    out << "    <typelib tlbid=\"" << library << "\" version=\"1.0\" helpdir=\"\"/>\n"
        << "  </file>\n</assembly>\n";
    return out.str();
}

} // namespace Kor2_Sys::idlgen
