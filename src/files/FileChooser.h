#pragma once
// F_Archivo: the invisible owner of the platform's file dialog. It runs the dialog once to choose a
// file to read or to write, starting where the last choice under the same title was made, and
// remembers the outcome under that title.

#include <Kor2_Sys/Error.h>
#include <Kor2_Sys/FileDialogFields.h>
#include <Kor2_Sys/Value.h>

#include "platform/Form.h"

#include <optional>

namespace Kor2_Sys::files {

/// The folder that holds the library's own file, without a trailing separator.
Text libraryFolder();
/// Everything up to and including the last '/' of a platform path; empty without one.
Text folderOf(const Text& path);
/// Everything after the last '/' of a platform path; empty without one.
Text nameOf(const Text& path);
/// Whether `path` names an existing ordinary, non-hidden file.
bool isOrdinaryFile(const Text& path);

class FileChooser final : public platform::FormEvents {
public:
    FileChooser();
    ~FileChooser() override;
    FileChooser(const FileChooser&) = delete;
    FileChooser& operator=(const FileChooser&) = delete;

    /// Shows the owner window without modality (it stays minimised and off-screen).
    void show();
    void A_leer();
    void A_grabar();
    void setA_Numero_de_Filtro_archivos(Integer index) { m_filterIndex = index; }
    void setA_Filtro_archivos(Text filter) { m_filter = std::move(filter); }
    void setA_nombre_por_defecto(Text name) { m_fileName = std::move(name); }
    void setA_Titulo(Text title) { m_title = std::move(title); }
    void setA_Aplicacion(Text application) { m_application = std::move(application); }
    /// Starts the dialog in `folder` instead of the remembered one (the command line's --dir).
    void setInitialFolder(Text folder) { m_initialFolder = std::move(folder); }
    Text A_ruta_y_archivo() const { return m_fileName; }
    /// Why the last choice failed, when it failed rather than being cancelled.
    const std::optional<Error>& failure() const noexcept { return m_failure; }
    Text A_Nombre_Fch() const { return nameOf(m_fileName); }
    Text A_Ruta_Fch() const { return folderOf(m_fileName); }
    void unload() { m_form.unload(); }
    platform::Form& form() noexcept { return m_form; }

private:
    void Lee_ultima_ruta();
    void Graba_ultima_ruta();
    Text startFolder() const;

    platform::Form m_form;
    Text m_title, m_filter, m_fileName, m_application, m_remembered;
    Integer m_filterIndex = 0;
    Text m_initialFolder;
    std::optional<Error> m_failure;
};

/// What one run of the chooser gave: the path (empty for a cancel) and, when the dialog failed
/// rather than being cancelled (no display, no script left to play), why.
struct FileChoice {
    Text path;
    std::optional<Error> failure;
};

/// Runs the chooser once, as both file dialog classes do, for a file to read (`toRead`) or to
/// write. A non-empty `initialFolder` starts the dialog there instead of the remembered folder.
FileChoice runChooser(const FileDialogFields& fields, bool toRead, const Text& initialFolder = {});

/// The path a run of the chooser reads back (what each class documents for a cancel and for a
/// failure, which its host's error handler has already seen).
Text chooseFile(const FileDialogFields& fields, bool toRead, const Text& initialFolder = {});

} // namespace Kor2_Sys::files
