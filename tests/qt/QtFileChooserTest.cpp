// F_Archivo and the file dialog on real widgets: what a typed name gives, the folder check, the
// Spanish words whoever created the application, and the reading and writing pictures.
#include <Kor2_Sys/CCmDialog.h>

#include "QtWindowTest.h"
#include "Guards.h"
#include "files/FileChooser.h"
#include "frame/Utf.h"

#include <QFileDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <cstring>
#include <fstream>

using namespace Kor2_Sys;

namespace {

using QtFileChooser = kor2test::QtWindows;

QString qs(const std::string& text) { return QString::fromStdString(text); }

// Types `name` into the file dialog's name box and presses Enter, answering the message box that
// this raises, if any, with `answer`; a dialog still open afterwards is cancelled. Returns the text
// of that message box.
QString typeAndEnter(QWidget* shown, const QString& folder, const QString& name,
                     QMessageBox::StandardButton answer = QMessageBox::Ok)
{
    auto* dialog = qobject_cast<QFileDialog*>(shown);
    if (dialog == nullptr) {
        ADD_FAILURE() << "not a file dialog";
        return {};
    }
    dialog->setDirectory(folder);
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit == nullptr) {
        ADD_FAILURE() << "no name box";
        dialog->reject();
        return {};
    }
    QTest::keyClicks(edit, name);
    const QString asked = kor2test::answerNextBox([&] { QTest::keyClick(edit, Qt::Key_Return); }, {answer});
    if (dialog->isVisible())
        dialog->reject();
    return asked;
}

// What the dialog does with a typed name: to read, only its folder must exist; to write over an
// existing file, the user is asked first.
struct NameCase {
    const char* label;
    platform::FileDialogMode mode;
    const char* typed;  // relative to the scratch folder, which holds "existe.dxf"
    QMessageBox::StandardButton answer;
    bool accepted;
    const char* asked;  // the start of the question raised, empty when none
};

class QtFileDialogNames : public QtFileChooser, public ::testing::WithParamInterface<NameCase> {};

TEST_P(QtFileDialogNames, TypedNameIsTakenOrRefused)
{
    const NameCase& c = GetParam();
    kor2test::TempDir dir;
    std::ofstream(dir.file("existe.dxf")) << "x";
    QString asked;
    whenShown([&](QWidget* shown) { asked = typeAndEnter(shown, qs(dir.path().string()), QString::fromUtf8(c.typed), c.answer); });
    std::optional<Text> chosen;
    try {
        chosen = platform::windowSystem().fileDialog({c.mode, u"Planos", u"Dibujos|*.dxf", 1, Text(), Text()});
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), platform::fileDialogCancelled().number());
    }
    EXPECT_EQ(asked.left(static_cast<qsizetype>(std::strlen(c.asked))), QString::fromUtf8(c.asked));
    EXPECT_EQ(asked.isEmpty(), c.asked[0] == '\0') << asked.toStdString();
    EXPECT_EQ(chosen, c.accepted ? std::optional<Text>(utf::fromUtf8(dir.file(c.typed))) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Names, QtFileDialogNames,
    ::testing::Values(
        NameCase{"openNewName", platform::FileDialogMode::Open, "nuevo.dxf", QMessageBox::Ok, true, ""},
        NameCase{"openExisting", platform::FileDialogMode::Open, "existe.dxf", QMessageBox::Ok, true, ""},
        NameCase{"openInMissingFolder", platform::FileDialogMode::Open, "falta/nuevo.dxf", QMessageBox::Ok, false,
                 "La carpeta "},
        NameCase{"saveNewName", platform::FileDialogMode::Save, "nuevo.dxf", QMessageBox::Ok, true, ""},
        NameCase{"saveOverExistingYes", platform::FileDialogMode::Save, "existe.dxf", QMessageBox::Yes, true,
                 "existe.dxf ya existe."},
        NameCase{"saveOverExistingNo", platform::FileDialogMode::Save, "existe.dxf", QMessageBox::No, false,
                 "existe.dxf ya existe."}),
    [](const auto& info) { return std::string(info.param.label); });

// The test's own application stands for a host's: the library's dialog speaks Spanish all the
// same, and the host's own boxes keep their language afterwards.
TEST_F(QtFileChooser, SpeaksSpanishInAHostsApplicationAndLeavesTheHostsLanguageAlone)
{
    std::map<QFileDialog::DialogLabel, QString> labels;
    QString nameColumn;
    whenShown([&](QWidget* shown) {
        auto* dialog = qobject_cast<QFileDialog*>(shown);
        for (auto label : {QFileDialog::LookIn, QFileDialog::FileName, QFileDialog::FileType, QFileDialog::Accept,
                           QFileDialog::Reject})
            labels[label] = dialog->labelText(label);
        if (auto* view = dialog->findChild<QTreeView*>())
            nameColumn = view->model()->headerData(0, Qt::Horizontal).toString();
        dialog->reject();
    });
    CCmDialog chooser;
    chooser.Fich_NonbreRuta_a_Leer();
    EXPECT_EQ(labels[QFileDialog::LookIn], QStringLiteral("Buscar en:"));
    EXPECT_EQ(labels[QFileDialog::FileName], QStringLiteral("Nombre de archivo:"));
    EXPECT_EQ(labels[QFileDialog::FileType], QStringLiteral("Tipo de archivo:"));
    EXPECT_EQ(labels[QFileDialog::Accept], QStringLiteral("Abrir"));
    EXPECT_EQ(labels[QFileDialog::Reject], QStringLiteral("Cancelar"));
    if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_es.qm"))) {
        EXPECT_EQ(nameColumn, QStringLiteral("Nombre")) << "Qt's own words come from its Spanish translation";
    }

    QMessageBox host(QMessageBox::Information, QStringLiteral("Host"), QStringLiteral("Hecho"), QMessageBox::Ok);
    EXPECT_EQ(host.button(QMessageBox::Ok)->text().remove(u'&'), QStringLiteral("OK"));
    EXPECT_EQ(QCoreApplication::translate("QFileSystemModel", "Name"), QStringLiteral("Name"));
}

// The owner window shows one picture while a file to read is chosen and another while a file to
// write is; the file dialog carries a picture too.
TEST_F(QtFileChooser, ReadingAndWritingShowTheirOwnPictures)
{
    auto owner = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("F_Archivo") && w->isVisible())
                return w;
        return static_cast<QWidget*>(nullptr);
    };
    QImage ownerPicture, dialogPicture;
    whenShown([&](QWidget* dialog) {
        QWidget* window = owner();
        ASSERT_NE(window, nullptr);
        ownerPicture = window->windowIcon().pixmap(16, 16).toImage();
        dialogPicture = dialog->windowIcon().pixmap(16, 16).toImage();
        qobject_cast<QFileDialog*>(dialog)->reject();
    });
    std::map<std::string, QImage> owners;
    for (bool reading : {true, false}) {
        files::FileChooser chooser;
        chooser.show();
        reading ? chooser.A_leer() : chooser.A_grabar();
        const std::string icon = chooser.form().icon();
        EXPECT_EQ(icon, reading ? "document-open" : "document-save");
        EXPECT_FALSE(ownerPicture.isNull()) << icon;
        EXPECT_EQ(dialogPicture, ownerPicture) << icon;
        owners[icon] = ownerPicture;
        chooser.unload();
    }
    EXPECT_NE(owners["document-open"], owners["document-save"]);
}

} // namespace
