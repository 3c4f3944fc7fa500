#include <Kor2_Sys/CString.h>

#include "Guards.h"

#include <gtest/gtest.h>

using namespace Kor2_Sys;

namespace {

struct PathCase {
    std::u16string_view path, name, folder, withoutExtension, extension;
};

class PathParts : public ::testing::TestWithParam<PathCase> {};
TEST_P(PathParts, BackslashOnlyFirstPointShortExtension)
{
    kor2test::ScopedHeadless ui;
    CString s;
    const Text path(GetParam().path);
    EXPECT_EQ(s.S_Extrae_Nombre_de_Ruta(path), GetParam().name);
    EXPECT_EQ(s.S_Extrae_Ruta_de_Nombre(path), GetParam().folder);
    EXPECT_EQ(s.S_Extrae_Nomb_sin_Ext(path), GetParam().withoutExtension);
    EXPECT_EQ(s.S_Extrae_Exten_de_NomRut(path), GetParam().extension);
    EXPECT_TRUE(ui->messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Paths, PathParts, ::testing::Values(
    PathCase{u"C:\\dir\\file.txt", u"file.txt", u"C:\\dir", u"file", u"txt"},
    PathCase{u"file.txt", u"file.txt", u"file.txt", u"file", u"txt"},
    PathCase{u"file", u"file", u"file", u"", u""},
    PathCase{u"C:\\dir\\", u"", u"C:\\dir", u"", u""},
    PathCase{u"\\file.txt", u"file.txt", u"", u"file", u"txt"},
    PathCase{u"C:\\a.b\\file.txt", u"file.txt", u"C:\\a.b", u"file", u""},
    PathCase{u"C:\\dir\\file.html", u"file.html", u"C:\\dir", u"", u""},
    PathCase{u"C:\\dir\\my.file.txt", u"my.file.txt", u"C:\\dir", u"", u""},
    PathCase{u"a.b.c", u"a.b.c", u"a.b.c", u"a", u"b.c"},
    PathCase{u"C:\\dir\\file.", u"file.", u"C:\\dir", u"file", u""},
    PathCase{u"C:/dir/file.txt", u"C:/dir/file.txt", u"C:/dir/file.txt", u"C:/dir/file", u"txt"},
    PathCase{u"", u"", u"", u"", u""},
    PathCase{u"C:\\d\\.txt", u".txt", u"C:\\d", u"", u"txt"},
    PathCase{u"C:\\D\\F.TXT", u"F.TXT", u"C:\\D", u"F", u"TXT"}));

TEST(PathLimits, OverflowShowsTheOperationsOwnReport)
{
    kor2test::ScopedHeadless ui;
    CString s;
    const Text longPath = u"C:\\" + Text(32765, u'x');  // 32,768 units
    EXPECT_EQ(s.S_Extrae_Nombre_de_Ruta(longPath), u"");
    ASSERT_EQ(ui->messages().size(), 1u);
    EXPECT_EQ(ui->messages()[0].text, u"Kor2_Sys  6\r\n Desbordamiento.S_exNom");
    EXPECT_EQ(ui->messages()[0].buttons, platform::MessageButtons::Ok);

    EXPECT_EQ(s.S_Extrae_Nomb_sin_Ext(longPath), u"");
    ASSERT_EQ(ui->messages().size(), 2u) << "the inner report is the only one";
    EXPECT_EQ(ui->messages()[1].text, u"Kor2_Sys  6\r\n Desbordamiento.S_exNom");

    EXPECT_EQ(s.S_Extrae_Ruta_de_Nombre(longPath), u"");
    EXPECT_EQ(ui->messages()[2].text, u"Kor2_Sys  6\r\n Desbordamiento.S_exRut");

    const Text farPoint = Text(32767, u'x') + u".txt";
    EXPECT_EQ(s.S_Extrae_Exten_de_NomRut(farPoint), u"");
    EXPECT_EQ(ui->messages()[3].text, u"Kor2_Sys  6\r\n Desbordamiento.S_exExt");
    EXPECT_EQ(s.S_Extrae_Nomb_sin_Ext(farPoint), u"");
    EXPECT_EQ(ui->messages()[4].text, u"Kor2_Sys  6\r\n Desbordamiento.S_exSin");

    const Text nearPoint = Text(32766, u'x') + u".txt";
    EXPECT_EQ(s.S_Extrae_Exten_de_NomRut(nearPoint), u"txt");
    EXPECT_EQ(ui->messages().size(), 5u);
}

} // namespace
