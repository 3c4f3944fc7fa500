// What the Windows build's generator writes for installers and loaders, read as a Windows tool
// would: the installer package's source and the assembly manifest, and the arguments both refuse.

#include "Manifest.h"
#include "Package.h"

#include <Kor2_Sys/Object.h>

#include "classes/Classes.h"
#include "com/RegistryRows.h"

#include <gtest/gtest.h>

#include <string>

using namespace Kor2_Sys;

namespace {

// The text of the component `id` in `source`, from its opening tag to its end.
std::string component(const std::string& source, std::string_view id)
{
    const std::size_t start = source.find("<Component Id=\"" + std::string(id) + "\"");
    if (start == std::string::npos)
        return {};
    return source.substr(start, source.find("</Component>", start) - start);
}

std::string attribute(const std::string& element, std::string_view name)
{
    const std::string marker = " " + std::string(name) + "=\"";
    const std::size_t start = element.find(marker);
    if (start == std::string::npos)
        return {};
    const std::size_t value = start + marker.size();
    return element.substr(value, element.find('"', value) - value);
}

// Each architecture installs in its own folders and registry view; the product's identity is the
// same from version to version and differs between the architectures.
TEST(InstallerSource, EachArchitectureItsOwnPlaceAndIdentity)
{
    struct Expected { std::string_view architecture, folder, typeLibraryEntry, win64, userFolder; };
    std::string upgradeCodes[2];
    int row = 0;
    for (const Expected& e : {Expected{"x64", "ProgramFiles64Folder", "\\0\\win64", " Win64=\"yes\"", "Kor2_Sys (x64)"},
                              Expected{"x86", "ProgramFilesFolder", "\\0\\win32", "", "Kor2_Sys (x86)"}}) {
        SCOPED_TRACE(e.architecture);
        const std::string source = *idlgen::installerSource(e.architecture, "1.2.3");
        const std::string product = source.substr(source.find("<Product "));
        EXPECT_EQ(attribute(product, "Version"), "1.2.3");
        EXPECT_EQ(attribute(product, "Id"), "*");
        EXPECT_EQ(attribute(product, "Name"), e.userFolder);
        EXPECT_NE(source.find("<Directory Id=\"" + std::string(e.folder) + "\">"), std::string::npos);
        EXPECT_NE(source.find("[LocalAppDataFolder]Programs\\" + std::string(e.userFolder) + "\\"), std::string::npos);
        const std::string moduleEntry =
            std::string(e.typeLibraryEntry) + "\" Type=\"string\" Value=\"[#Kor2_Sys.dll]\"";
        EXPECT_NE(component(source, "Module").find(moduleEntry), std::string::npos);
        for (const std::string_view id :
             {"Module", "TypeLibrary", "AssemblyManifest", "Readme", "Licence", "SharedNames"}) {
            const std::string text = component(source, id);
            ASSERT_FALSE(text.empty()) << id;
            EXPECT_EQ(text.find(" Win64=\"yes\"") != std::string::npos, !e.win64.empty()) << id;
            EXPECT_NE(source.find("<ComponentRef Id=\"" + std::string(id) + "\"/>"), std::string::npos) << id;
        }
        upgradeCodes[row++] = attribute(product, "UpgradeCode");
        EXPECT_EQ(upgradeCodes[row - 1], attribute(*idlgen::installerSource(e.architecture, "2.0.0"), "UpgradeCode"));
    }
    EXPECT_NE(upgradeCodes[0], upgradeCodes[1]);
    // Files of one architecture are never counted as the other's; the shared names are one
    // component in both.
    const std::string x64 = *idlgen::installerSource("x64", "1.0.0");
    const std::string x86 = *idlgen::installerSource("x86", "1.0.0");
    EXPECT_NE(attribute(component(x64, "Module"), "Guid"), attribute(component(x86, "Module"), "Guid"));
    EXPECT_EQ(attribute(component(x64, "SharedNames"), "Guid"), attribute(component(x86, "SharedNames"), "Guid"));
}

// Every row the registration writes is in the package, under the root the installation chooses,
// in the module's component or, when both views share it, in the shared one; nothing else is.
TEST(InstallerSource, EveryRegistrationRowOnceInItsComponent)
{
    const std::string source = *idlgen::installerSource("x86", "1.0.0");
    const std::string module = component(source, "Module");
    const std::string shared = component(source, "SharedNames");
    std::size_t rows = 0;
    for (const com::RegistryRow& row : com::registryRows("win32")) {
        const std::string value = row.isModulePath ? "[#Kor2_Sys.dll]" : row.value;
        const std::string text = "<RegistryValue Root=\"HKMU\" Key=\"Software\\Classes\\" + row.key + "\"" +
                                 (row.name.empty() ? "" : " Name=\"" + row.name + "\"") + " Type=\"string\" Value=\"" +
                                 value + "\"";
        EXPECT_NE((row.sharedByViews ? shared : module).find(text), std::string::npos) << row.key;
        EXPECT_EQ((row.sharedByViews ? module : shared).find(text), std::string::npos) << row.key;
        ++rows;
    }
    std::size_t written = 0;
    for (std::size_t at = source.find("<RegistryValue "); at != std::string::npos;
         at = source.find("<RegistryValue ", at + 1))
        ++written;
    EXPECT_EQ(written, rows);
    // A class's server, its programmatic name and its interface, for every class.
    for (const ClassInfo* info : libraryClasses()) {
        const std::string clsid = com::bracedText(com::classUuid(info->name));
        EXPECT_NE(module.find("CLSID\\" + clsid + "\\InprocServer32\" Type=\"string\" Value=\"[#Kor2_Sys.dll]\""),
                  std::string::npos) << info->name;
        EXPECT_NE(shared.find("\\" + info->progId() + "\\CLSID\" Type=\"string\" Value=\"" + clsid + "\""),
                  std::string::npos) << info->name;
    }
    // The shared component has no file: one of its values is what the installer checks it by.
    EXPECT_EQ(attribute(shared.substr(shared.find("<RegistryValue ")), "KeyPath"), "yes");
}

// The installer's version is three numbers of 8, 8 and 16 bits; the loader's four of 16 bits and
// its own names for the architectures.
TEST(Generator, RefusesWhatTheInstallerOrTheLoaderWouldMisread)
{
    using Write = std::optional<std::string> (*)(std::string_view, std::string_view);
    const Write installer = idlgen::installerSource, manifest = idlgen::assemblyManifest;
    struct Arguments { Write write; std::string_view architecture, version; bool accepted; };
    for (const Arguments& a : {
             Arguments{installer, "x64", "1.0.0", true}, Arguments{installer, "x86", "0.0.0", true},
             Arguments{installer, "x64", "255.255.65535", true}, Arguments{installer, "x64", "256.0.0", false},
             Arguments{installer, "x64", "1.256.0", false}, Arguments{installer, "x64", "1.0.65536", false},
             Arguments{installer, "x64", "1.0", false}, Arguments{installer, "x64", "1.0.0.0", false},
             Arguments{installer, "x64", "1..0", false}, Arguments{installer, "x64", "1.0.-1", false},
             Arguments{installer, "x64", "1.0.0 ", false}, Arguments{installer, "x64", "", false},
             Arguments{installer, "amd64", "1.0.0", false}, Arguments{installer, "X86", "1.0.0", false},
             Arguments{installer, "", "1.0.0", false}, Arguments{manifest, "amd64", "1.0.0.0", true},
             Arguments{manifest, "x86", "65535.0.0.65535", true}, Arguments{manifest, "x64", "1.0.0.0", false},
             Arguments{manifest, "amd64", "1.0.0", false}, Arguments{manifest, "x86", "1.0.0.65536", false},
             Arguments{manifest, "x86", "1.0.0.0.0", false}, Arguments{manifest, "x86", "1.0..0", false},
             Arguments{manifest, "x86", "", false}})
        EXPECT_EQ(a.write(a.architecture, a.version).has_value(), a.accepted)
            << (a.write == manifest ? "manifest " : "installer ") << a.architecture << " " << a.version;
}

} // namespace
