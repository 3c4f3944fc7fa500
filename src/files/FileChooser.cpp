#include "files/FileChooser.h"

#include <Kor2_Sys/Error.h>

#include "frame/Trap.h"
#include "frame/Utf.h"
#include "platform/SystemInfo.h"
#include "platform/WindowSystem.h"
#include "settings/Store.h"

#include <filesystem>
#include <type_traits>

namespace Kor2_Sys::files {
namespace {

constexpr std::u16string_view kPathKey = u"Directorio y Nombre";
constexpr std::u16string_view kOwnSection = u"Fichero";
constexpr double kOffScreen = -10000;

// Names as the platform's file calls take them: UTF-16 units where it is wide (a narrow name
// there would go through the ANSI code page and lose every character outside it), else UTF-8.
constexpr bool kWideNames = std::is_same_v<std::filesystem::path::value_type, wchar_t>;
std::filesystem::path fsPath(const Text& path)
{
    if constexpr (kWideNames)
        return std::filesystem::path(std::wstring(path.begin(), path.end()));
    else
        return std::filesystem::path(utf::toUtf8(path));
}
Text textOf(const std::filesystem::path& path)
{
    if constexpr (kWideNames)
        return Text(path.native().begin(), path.native().end());
    else
        return utf::fromUtf8(path.string());
}

// The user's cancel is an answer, not a failure: only the others reach the host's handler, and
// are kept for a caller that reports them.
void absorbed(std::string_view operation, const Error& error, std::optional<Error>& failure)
{
    if (error.number() == platform::fileDialogCancelled().number())
        return;
    trap::swallowed(operation, error);
    failure = error;
}

// The platform's own separator: the remembered paths are the platform's, not the host data's.
constexpr char16_t kSeparator = static_cast<char16_t>(std::filesystem::path::preferred_separator);

} // namespace

Text libraryFolder()
{
    const Text file = utf::fromUtf8(platform::libraryFile());
    const auto slash = file.rfind(kSeparator);
    return slash == Text::npos ? Text() : file.substr(0, slash);
}

Text folderOf(const Text& path)
{
    const auto slash = path.rfind(kSeparator);
    return slash == Text::npos ? Text() : path.substr(0, slash + 1);
}

Text nameOf(const Text& path)
{
    const auto slash = path.rfind(kSeparator);
    return slash == Text::npos ? Text() : path.substr(slash + 1);
}

bool isOrdinaryFile(const Text& path)
{
    std::error_code ec;
    const auto p = fsPath(path);
    return !path.empty() && std::filesystem::is_regular_file(p, ec) &&
           p.filename().native().rfind(std::filesystem::path::value_type('.'), 0) != 0;
}

FileChooser::FileChooser() : m_form("F_Archivo", *this)
{
    m_form.setCaption(u"Leer/guardar archivo");
    m_form.move(kOffScreen, kOffScreen);
    m_form.resize(0, 0);
    m_form.setState(platform::WindowState::Minimised);
}

FileChooser::~FileChooser()
{
    trap::silent("F_Archivo.Unload", [&] { m_form.unload(); });
}

void FileChooser::show()
{
    platform::windowSystem().showModeless(m_form);
}

void FileChooser::Lee_ultima_ruta()
{
    trap::silent("F_Archivo.Lee_ultima_ruta", [&] {
        auto& store = settings::store();
        m_remembered = store.read(Text(settings::kApplication), m_title, Text(kPathKey), Text());
        if (m_remembered.empty())
            m_remembered = libraryFolder();
        const double left = Variant(store.read(Text(settings::kApplication), Text(kOwnSection), u"Left", u"1000")).toDouble();
        m_form.move(left, m_form.top());
        const double top = Variant(store.read(Text(settings::kApplication), Text(kOwnSection), u"Top", u"1000")).toDouble();
        m_form.move(m_form.left(), top);
    });
}

void FileChooser::Graba_ultima_ruta()
{
    trap::silent("F_Archivo.Graba_ultima_ruta", [&] {
        if (m_fileName.empty())
            m_fileName = libraryFolder();
        auto& store = settings::store();
        store.write(Text(settings::kApplication), m_title, Text(kPathKey), m_fileName);
        store.write(Text(settings::kApplication), Text(kOwnSection), u"Left", Variant(m_form.left()).toText());
        store.write(Text(settings::kApplication), Text(kOwnSection), u"Top", Variant(m_form.top()).toText());
    });
}

// The folder of the remembered path; one deleted since starts the dialog in its nearest existing
// parent (else the library's folder) instead of on a folder that is gone.
Text FileChooser::startFolder() const
{
    if (!m_initialFolder.empty())
        return m_initialFolder;
    Text folder = folderOf(m_remembered);
    if (folder.empty())
        return folder;
    std::error_code ec;
    for (auto p = fsPath(folder); !p.empty(); p = p.parent_path()) {
        if (std::filesystem::is_directory(p, ec))
            return textOf(p);
        if (p == p.parent_path())
            break;
    }
    return libraryFolder();
}

void FileChooser::A_leer()
{
    // A cancel (error 32755) or any other failure ends the choice where it stands.
    trap::handle([&] {
        m_form.setCaption(u"Leer...");
        m_form.setIcon("document-open");
        Lee_ultima_ruta();
        m_fileName = platform::windowSystem().fileDialog(
            {platform::FileDialogMode::Open, m_title, m_filter, m_filterIndex, startFolder(), m_fileName});
        if (!isOrdinaryFile(m_fileName))
            m_fileName.clear();
        Graba_ultima_ruta();
        m_form.hide();
    }, [&](const Error& error) { absorbed("F_Archivo.A_leer", error, m_failure); });
}

void FileChooser::A_grabar()
{
    trap::handle(
        [&] {
            m_form.setCaption(u"Grabar...");
            m_form.setIcon("document-save");
            Lee_ultima_ruta();
            m_fileName = platform::windowSystem().fileDialog(
                {platform::FileDialogMode::Save, m_title, m_filter, m_filterIndex, startFolder(), m_fileName});
            Graba_ultima_ruta();
            m_form.hide();
        },
        [&](const Error& error) {
            absorbed("F_Archivo.A_grabar", error, m_failure);
            m_fileName.clear();
            m_form.hide();
        });
}

} // namespace Kor2_Sys::files
