// The installer package lists what registration would otherwise write, as data the installer keeps
// a record of: it writes the keys, repairs them, and takes them away on removal, with no code of
// ours run at install time. The same package installs per machine (the program files folder, keys
// under HKLM) or per user (the user's local programs folder, keys under HKCU): the registry rows
// name the root the installer chooses, not a fixed one.

#include "Package.h"
#include "Version.h"

#include "com/RegistryRows.h"

#include <array>
#include <sstream>

namespace Kor2_Sys::idlgen {
namespace {

// What the package installs, in one folder. The module's component carries the registry rows of its
// architecture: they come and go with the file they point at.
struct PackagedFile {
    std::string_view component;
    std::string_view name;
};
constexpr std::string_view kModuleFile = "Kor2_Sys.dll";
constexpr std::array<PackagedFile, 5> kFiles{{{"Module", kModuleFile},
                                              {"TypeLibrary", "Kor2_Sys.tlb"},
                                              {"AssemblyManifest", "Kor2_Sys.sxs.manifest"},
                                              {"Readme", "README.md"},
                                              {"Licence", "LICENSE"}}};

constexpr std::string_view kSharedComponent = "SharedNames";

// Identifiers that never change between versions, computed like the classes' own. Each
// architecture has its own upgrade code and components: both packages install side by side, and a
// newer x86 package replaces only an older x86 one. The shared component is "shared"'s.
std::string packageUuid(std::string_view architecture, std::string_view part)
{
    std::string name = "Kor2_Sys.msi." + std::string(architecture);
    if (!part.empty())
        name += "." + std::string(part);
    return com::uuidText(com::nameUuid(name));
}

std::string xmlEscaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A registry value is formatted text to the installer: brackets would name properties and a leading
// number sign a number. Each is written so that the value arrives as the text it is.
std::string literalValue(std::string_view value)
{
    std::string out = value.starts_with('#') ? "#" : "";
    for (const char c : value) {
        if (c == '[')
            out += "[\\[]";
        else if (c == ']')
            out += "[\\]]";
        else
            out += c;
    }
    return out;
}

// The rows of this architecture's own registry view, or those both views share. A registry value
// is the key path of the shared component, which has no file.
void writeRegistryRows(std::ostringstream& out, std::string_view architecture, bool shared)
{
    const std::string moduleReference = "[#" + std::string(kModuleFile) + "]";
    bool keyPath = shared;
    for (const com::RegistryRow& row : com::registryRows(architecture == "x64" ? "win64" : "win32")) {
        if (row.sharedByViews != shared)
            continue;
        out << "            <RegistryValue Root=\"HKMU\" Key=\"Software\\Classes\\" << xmlEscaped(row.key) << "\"";
        if (!row.name.empty())
            out << " Name=\"" << xmlEscaped(row.name) << "\"";
        out << " Type=\"string\" Value=\""
            << xmlEscaped(row.isModulePath ? moduleReference : literalValue(row.value)) << "\""
            << (keyPath ? " KeyPath=\"yes\"/>\n" : "/>\n");
        keyPath = false;
    }
}

void writeComponents(std::ostringstream& out, std::string_view architecture)
{
    const std::string_view win64 = architecture == "x64" ? " Win64=\"yes\"" : "";
    for (const PackagedFile& file : kFiles) {
        out << "          <Component Id=\"" << file.component << "\" Guid=\"" << packageUuid(architecture, file.name)
            << "\"" << win64 << ">\n"
            << "            <File Id=\"" << file.name << "\" Name=\"" << file.name << "\" Source=\"" << file.name
            << "\" KeyPath=\"yes\"/>\n";
        if (file.name == kModuleFile)
            writeRegistryRows(out, architecture, false);
        out << "          </Component>\n";
    }
    // Keys both views share, written alike by either package, are one component of one identifier
    // in both: the installer counts the packages installed that have it and takes it away with the
    // last, so removing one architecture leaves the other's programmatic names in place. Each
    // package writes it in its own view, which for these keys is the same copy.
    out << "          <Component Id=\"" << kSharedComponent << "\" Guid=\"" << packageUuid("shared", "")
        << "\"" << win64 << ">\n";
    writeRegistryRows(out, architecture, true);
    out << "          </Component>\n";
}

// The product's identity, the refusal of a downgrade and the choice between machine and user.
void writeProduct(std::ostringstream& out, std::string_view architecture, std::string_view version,
                  const std::string& product)
{
    out << "  <Product Id=\"*\" Name=\"" << product << "\" Language=\"3082\" Codepage=\"1252\" Version=\"" << version
        << "\" Manufacturer=\"Kor2_Sys developers\" UpgradeCode=\"" << packageUuid(architecture, "") << "\">\n"
        // A per-user scope is how wixl marks a package that needs no elevation (a bit in the summary):
        // a user without administrator rights installs it for themself without a prompt. ALLUSERS
        // below makes it per machine unless the command line says otherwise.
        << "    <Package InstallScope=\"perUser\" InstallerVersion=\"500\" Compressed=\"yes\" Languages=\"3082\""
        << " Description=\"" << product
        << " " << version << "\" Comments=\"Servicios compartidos para aplicaciones de CAD\"/>\n"
        // Reached only when a newer version is there: the launch condition's text is what the
        // user reads.
        << "    <MajorUpgrade DowngradeErrorMessage=\"Ya está instalada una versión más reciente de " << product
        << ". Para instalar esta, quite antes aquella.\"/>\n"
        << "    <Media Id=\"1\" Cabinet=\"Kor2_Sys.cab\" EmbedCab=\"yes\"/>\n"
        // Per machine unless the command line asks for one user (MSIINSTALLPERUSER=1, or an
        // empty ALLUSERS); the installer then leaves ALLUSERS other than 1.
        << "    <Property Id=\"ALLUSERS\" Value=\"2\"/>\n"
        << "    <Property Id=\"ARPNOMODIFY\" Value=\"1\"/>\n"
        // One folder of the user's own, named per architecture: both packages may be installed
        // for the same user.
        << "    <CustomAction Id=\"PerUserFolder\" Property=\"INSTALLFOLDER\" Value=\"[LocalAppDataFolder]Programs\\"
        << product << "\\\"/>\n";
    for (const std::string_view sequence : {"InstallExecuteSequence", "InstallUISequence"})
        out << "    <" << sequence
            << "><Custom Action=\"PerUserFolder\" Before=\"CostFinalize\">ALLUSERS &lt;&gt; 1</Custom></" << sequence
            << ">\n";
}

} // namespace

std::optional<std::string> installerSource(std::string_view architecture, std::string_view version)
{
    // The installer compares the first three fields only, each of limited width: a version it
    // would misread could neither upgrade nor be refused, so none is written.
    if ((architecture != "x64" && architecture != "x86") || !isDottedVersion(version, {255, 255, 65535}))
        return std::nullopt;
    const std::string product = "Kor2_Sys (" + std::string(architecture) + ")";
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        << "<!-- Generated from the library's class tables by kor2-idlgen; do not edit. -->\n"
        << "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n";
    writeProduct(out, architecture, version, product);
    const std::string_view programFiles = architecture == "x64" ? "ProgramFiles64Folder" : "ProgramFilesFolder";
    out << "    <Directory Id=\"TARGETDIR\" Name=\"SourceDir\">\n"
        << "      <Directory Id=\"" << programFiles << "\">\n"
        << "        <Directory Id=\"INSTALLFOLDER\" Name=\"Kor2_Sys\">\n";
    writeComponents(out, architecture);
    out << "        </Directory>\n      </Directory>\n    </Directory>\n"
        << "    <Feature Id=\"Kor2_Sys\" Title=\"Kor2_Sys\" Level=\"1\" Absent=\"disallow\">\n";
    for (const PackagedFile& file : kFiles)
        out << "      <ComponentRef Id=\"" << file.component << "\"/>\n";
    out << "      <ComponentRef Id=\"" << kSharedComponent << "\"/>\n"
        << "    </Feature>\n  </Product>\n</Wix>\n";
    return out.str();
}

} // namespace Kor2_Sys::idlgen
