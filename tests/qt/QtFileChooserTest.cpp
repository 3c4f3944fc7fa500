// The file dialog on real widgets: what a typed name gives, the folder check and the question
// before writing over a file.
#include "QtWindowTest.h"
#include "frame/Utf.h"

#include <fstream>

using namespace Kor2_Sys;

namespace {

using QtFileChooser = kor2test::QtWindows;

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
    // The name goes into the dialog's name box with Enter; the box this raises takes the row's answer.
    whenShown([&](QWidget* shown) {
        auto* dialog = qobject_cast<QFileDialog*>(shown);
        auto* edit = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (edit == nullptr) {
            ADD_FAILURE() << "not a file dialog with a name box";
            return (void)shown->close();
        }
        dialog->setDirectory(QString::fromStdString(dir.path().string()));
        QTest::keyClicks(edit, QString::fromUtf8(c.typed));
        asked = kor2test::answerNextBox([&] { QTest::keyClick(edit, Qt::Key_Return); }, {c.answer});
        if (dialog->isVisible())
            dialog->reject();
    });
    std::optional<Text> chosen;
    try {
        chosen = platform::windowSystem().fileDialog({c.mode, u"Planos", u"Dibujos|*.dxf", 1, Text(), Text()});
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), platform::fileDialogCancelled().number());
    }
    EXPECT_TRUE(c.asked[0] != '\0' ? asked.startsWith(QString::fromUtf8(c.asked)) : asked.isEmpty()) << asked.toStdString();
    EXPECT_EQ(chosen, c.accepted ? std::optional<Text>(utf::fromUtf8(dir.file(c.typed))) : std::nullopt);
}

using enum platform::FileDialogMode;
INSTANTIATE_TEST_SUITE_P(Names, QtFileDialogNames, ::testing::Values(
    NameCase{"openNewName", Open, "nuevo.dxf", QMessageBox::Ok, true, ""},
    NameCase{"openExisting", Open, "existe.dxf", QMessageBox::Ok, true, ""},
    NameCase{"openInMissingFolder", Open, "falta/nuevo.dxf", QMessageBox::Ok, false, "La carpeta "},
    NameCase{"saveNewName", Save, "nuevo.dxf", QMessageBox::Ok, true, ""},
    NameCase{"saveOverExistingYes", Save, "existe.dxf", QMessageBox::Yes, true, "existe.dxf ya existe."},
    NameCase{"saveOverExistingNo", Save, "existe.dxf", QMessageBox::No, false, "existe.dxf ya existe."}),
    [](const auto& info) { return std::string(info.param.label); });

// The filter the dialog starts with: the request's (from 1), held to the first and the last; each
// description shows its patterns, a list of them split at semicolons.
TEST_F(QtFileChooser, StartsWithTheRequestedFilterHeldToTheList)
{
    const std::pair<Integer, const char*> rows[] = {
        {-3, "Dibujos (*.dxf *.dwg)"}, {0, "Dibujos (*.dxf *.dwg)"}, {1, "Dibujos (*.dxf *.dwg)"}, {2, "Todo (*.*)"}, {5, "Todo (*.*)"}};
    for (const auto& [index, shown] : rows) {
        QString started;
        whenShown([&](QWidget* dialog) {
            started = qobject_cast<QFileDialog*>(dialog)->selectedNameFilter();
            dialog->close();
        });
        EXPECT_THROW(platform::windowSystem().fileDialog({platform::FileDialogMode::Open, u"Planos", u"Dibujos|*.dxf;*.dwg|Todo|*.*", index,
                                                          Text(), Text()}), Error);
        EXPECT_EQ(started.toStdString(), shown) << "index " << index;
    }
}

} // namespace
