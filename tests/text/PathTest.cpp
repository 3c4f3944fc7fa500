#include <Kor2_Sys/CString.h>

#include "Guards.h"
#include "frame/Utf.h"

#include <gtest/gtest.h>


using namespace Kor2_Sys;

namespace {

// The parts of a path: only the backslash separates folders, the first point starts the
// extension, and an extension is three characters at most.
TEST(PathParts, BackslashOnlyFirstPointShortExtension)
{
    kor2test::ScopedHeadless ui;
    CString s;
    struct PathCase { std::u16string_view path, name, folder, withoutExtension, extension; };
    // Positions are 16-bit: the last backslash and the first point may stand at 32,767.
    const Text longFolder(32761, u'a'), longPath = longFolder + u"\\f.txt", longName = Text(32766, u'n') + u".txt";
    for (const PathCase& c : {
             PathCase{longPath, u"f.txt", longFolder, u"f", u"txt"},
             PathCase{longName, longName, longName, std::u16string_view(longName).substr(0, 32766), u"txt"},
             PathCase{u"C:\\dir\\file.txt", u"file.txt", u"C:\\dir", u"file", u"txt"},
             PathCase{u"file.txt", u"file.txt", u"file.txt", u"file", u"txt"}, PathCase{u"file", u"file", u"file", u"", u""},
             PathCase{u"C:\\dir\\", u"", u"C:\\dir", u"", u""}, PathCase{u"\\file.txt", u"file.txt", u"", u"file", u"txt"},
             PathCase{u"C:\\a.b\\file.txt", u"file.txt", u"C:\\a.b", u"file", u""},
             PathCase{u"C:\\dir\\file.html", u"file.html", u"C:\\dir", u"", u""},
             PathCase{u"C:\\dir\\my.file.txt", u"my.file.txt", u"C:\\dir", u"", u""},
             PathCase{u"a.b.c", u"a.b.c", u"a.b.c", u"a", u"b.c"}, PathCase{u"C:\\dir\\file.", u"file.", u"C:\\dir", u"file", u""},
             PathCase{u"C:/dir/file.txt", u"C:/dir/file.txt", u"C:/dir/file.txt", u"C:/dir/file", u"txt"},
             PathCase{u"", u"", u"", u"", u""}, PathCase{u"C:\\d\\.txt", u".txt", u"C:\\d", u"", u"txt"},
             PathCase{u"C:\\D\\F.TXT", u"F.TXT", u"C:\\D", u"F", u"TXT"}}) {
        const Text path(c.path);
        EXPECT_EQ(s.S_Extrae_Nombre_de_Ruta(path), c.name) << utf::toUtf8(path);
        EXPECT_EQ(s.S_Extrae_Ruta_de_Nombre(path), c.folder) << utf::toUtf8(path);
        EXPECT_EQ(s.S_Extrae_Nomb_sin_Ext(path), c.withoutExtension) << utf::toUtf8(path);
        EXPECT_EQ(s.S_Extrae_Exten_de_NomRut(path), c.extension) << utf::toUtf8(path);
    }
    EXPECT_TRUE(ui->messages().empty());
}

// One unit past the 16-bit positions, a path member reports the overflow in its box and gives
// nothing; the extension alone looks only at the first point, which stays in reach.
TEST(PathParts, PastThe16BitPositionsReportAnOverflow)
{
    kor2test::ScopedHeadless ui;
    CString s;
    const Text longPath = Text(32762, u'a') + u"\\f.txt", longName = Text(32767, u'n') + u".txt";
    struct PathCase { const Text& path; std::u16string_view name, folder, withoutExtension, extension; std::size_t boxes; };
    for (const PathCase& c : {PathCase{longPath, u"", u"", u"", u"txt", 3}, PathCase{longName, longName, longName, u"", u"", 2}}) {
        ui->clearRecords();
        EXPECT_EQ(std::tuple(s.S_Extrae_Nombre_de_Ruta(c.path), s.S_Extrae_Ruta_de_Nombre(c.path),
                             s.S_Extrae_Nomb_sin_Ext(c.path), s.S_Extrae_Exten_de_NomRut(c.path)),
                  std::tuple(Text(c.name), Text(c.folder), Text(c.withoutExtension), Text(c.extension)));
        EXPECT_EQ(ui->messages().size(), c.boxes);
    }
}

} // namespace
