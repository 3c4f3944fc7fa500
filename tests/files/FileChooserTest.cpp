#include <Kor2_Sys/CCmDialog.h>
#include <Kor2_Sys/cfrm_Dialog.h>

#include "Actions.h"
#include "Guards.h"
#include "Player.h"
#include "files/FileChooser.h"
#include "frame/Utf.h"
#include "settings/Store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace Kor2_Sys;
using namespace kor2test;

namespace {

constexpr char16_t kSep = static_cast<char16_t>(std::filesystem::path::preferred_separator);

// Every chooser as a person answers its file dialog, on every backend.
class FileChoosers : public EveryBackend {
protected:
    FileChoosers()
    {
        existing = folder() + kSep + u"plano de obra ñ.txt";
        std::ofstream(std::filesystem::path(existing)) << "x";
    }
    Text folder() const { return utf::fromUtf8(dir.path().string()); }
    Text remembered(const Text& title) { return settings::store().read(u"Vesolar", title, u"Directorio y Nombre", u"<nada>"); }

    kor2test::TempDir dir;
    settings::ScopedStore store{":memory:"};
    Text existing;
};
KOR2_ON_EVERY_BACKEND(FileChoosers);

TEST_P(FileChoosers, ConfirmedFileIsReturnedAndRememberedPerTitle)
{
    ui->queue({pick(existing), cancelFile(), pick(existing)});
    CCmDialog reader{{u"", u"Planos", u"Dibujos|*.dxf;*.dwg|Todos|*.*", 2, u""}};
    EXPECT_EQ(reader.Fich_NonbreRuta_a_Leer(), existing);
    EXPECT_EQ(remembered(u"Planos"), existing);
    EXPECT_EQ(ui->fileRequests()[0].filter, u"Dibujos|*.dxf;*.dwg|Todos|*.*") << "passed through unchanged";
    EXPECT_EQ(ui->fileRequests()[0].filterIndex, 2);
    EXPECT_EQ(ui->fileRequests()[0].initialDirectory, files::folderOf(files::libraryFolder()))
        << "first use starts beside the library's folder";

    CCmDialog{{u"", u"Informes", u"", 0, u""}}.Fich_NonbreRuta_a_Leer();
    EXPECT_EQ(remembered(u"Informes"), u"<nada>") << "a cancel writes nothing";

    EXPECT_EQ((cfrm_Dialog{{u"", u"Planos", u"", 0, u""}}.Fich_NonbreRuta_a_Grabar()), existing);
    EXPECT_EQ(ui->fileRequests()[2].initialDirectory, folder() + kSep) << "the same title shares the remembered path";
    EXPECT_EQ(ui->fileRequests()[2].mode, platform::FileDialogMode::Save);
}

TEST_P(FileChoosers, CancelGivesTheDefaultNameOnlyWhenReading)
{
    ui->queue({cancelFile(), cancelFile(), cancelFile()});
    CCmDialog d{{u"", u"T", u"", 0, u"propuesto.txt"}};
    EXPECT_EQ(d.Fich_NonbreRuta_a_Leer(), u"propuesto.txt");
    EXPECT_EQ(d.Fich_NonbreRuta_a_Grabar(), u"");
    d.Nonbredefecto.clear();
    EXPECT_EQ(d.Fich_NonbreRuta_a_Leer(), u"");
    EXPECT_TRUE(settings::store().entries().empty()) << "nothing stored after cancels";
    EXPECT_EQ(ui->fileRequests()[0].fileName, u"propuesto.txt");
}

TEST_P(FileChoosers, ReadingANameThatIsNoFileGivesTheLibraryFolder)
{
    ui->queue({pick(folder() + kSep + u"no existe.txt")});
    cfrm_Dialog d{{u"", u"T", u"", 0, u""}};
    EXPECT_EQ(d.Fich_NonbreRuta_a_Leer(), files::libraryFolder());
    EXPECT_EQ(remembered(u"T"), files::libraryFolder());
    EXPECT_NE(settings::store().find(u"Vesolar", u"Fichero", u"Left"), std::nullopt);
}

TEST_P(FileChoosers, RememberedFolderDeletedSinceStartsInItsNearestParent)
{
    const Text gone = folder() + kSep + u"borrada" + kSep + u"sub";
    settings::store().write(u"Vesolar", u"T", u"Directorio y Nombre", gone + kSep + u"a.txt");
    ui->queue({cancelFile()});
    CCmDialog{{u"", u"T", u"", 0, u""}}.Fich_NonbreRuta_a_Leer();
    EXPECT_EQ(ui->fileRequests()[0].initialDirectory, folder());
}

// A chooser created late bound uses an empty section; the application name changes nothing in
// the store, from either front.
TEST_P(FileChoosers, FieldsAsCreatedUseAnEmptySectionAndBothFrontsAgree)
{
    ui->queue({pick(existing), pick(existing), pick(existing)});
    auto d = createObject("Kor2_Sys.cfrm_Dialog");
    std::vector<Variant> none;
    EXPECT_EQ(d->invoke("Fich_NonbreRuta_a_Leer", InvokeKind::Method, none), Variant(existing));
    EXPECT_EQ(ui->fileRequests()[0].title, u"");
    EXPECT_EQ(ui->fileRequests()[0].filterIndex, 0);
    EXPECT_EQ(remembered(u""), existing);
    EXPECT_EQ(getProperty(*d, "FiltroIndex"), Variant(Integer{0}));
    EXPECT_EQ((CCmDialog{{u"App", u"X", u"", 0, u""}}.Fich_NonbreRuta_a_Grabar()), existing);
    EXPECT_EQ((cfrm_Dialog{{u"Otra", u"X", u"", 0, u""}}.Fich_NonbreRuta_a_Grabar()), existing);
    for (const auto& e : settings::store().entries())
        EXPECT_EQ(e.app, u"Vesolar") << "Aplicac changes nothing in the store";
}

} // namespace
