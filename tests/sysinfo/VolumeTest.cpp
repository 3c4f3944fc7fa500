#include <Kor2_Sys/CinfoDiscoVol.h>

#include "FakeTree.h"
#include "Guards.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "settings/Store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

using namespace Kor2_Sys;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::linuxos::LinuxSystemInfo;

namespace {

namespace fs = std::filesystem;

Text utf16(const std::string& s) { return Text(s.begin(), s.end()); }
using Answer = std::tuple<Text, Text, Text>;  ///< label, serial, file system
script::Action answer(MessageAnswer a) { return {.kind = script::Action::Kind::Answer, .answer = a}; }

class Volumes : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake.mount("254:0", "/", "ext4", "/dev/vda");
        fake.blockDevice("vda", "254:0");
        fake.udev().set("254:0", {{"ID_FS_TYPE", "ext4"}, {"ID_FS_UUID", "3e6be9de-8139-11d1-9106-a43f08d823a6"},
                                  {"ID_FS_LABEL", "raiz"}});
    }
    void mapDrive(const Text& letter, const std::string& target)
    {
        settings::store().write(u"Vesolar", u"Unidades", letter, utf16(target));
    }
    Answer serie(const Text& letter)
    {
        Answer a{u"<sin tocar>", u"<sin tocar>", u"<sin tocar>"};
        global<CinfoDiscoVol>().D_NumeroDeSerieVolyMas(letter, std::get<0>(a), std::get<1>(a), std::get<2>(a));
        return a;
    }
    bool exists(const std::string& name) { return global<CinfoDiscoVol>().D_Existe_fichero(utf16(name)); }
    std::shared_ptr<LinuxSystemInfo> machine() { return std::make_shared<LinuxSystemInfo>(fake.tree()); }

    settings::ScopedStore store{":memory:"};
    kor2test::ScopedHeadless ui;
    kor2test::FakeTree fake;
    kor2test::TempDir media;
};

// --- what a volume shows: the original platform's names and serial numbers ---------------------

struct VolumeCase {
    const char* label;
    platform::linuxos::UdevProperties udev;
    Text volumeName, serial, fileSystem;
};
class VolumeFacts : public Volumes, public ::testing::WithParamInterface<VolumeCase> {};
TEST_P(VolumeFacts, ShowTheNumbersUsersKnow)
{
    fake.blockDevice("sdb1", "8:17");
    fake.mount("8:17", media.path().string(), "auto", "/dev/sdb1");
    fake.udev().set("8:17", GetParam().udev);
    mapDrive(u"D", media.path().string());
    platform::ScopedSystemInfo info(machine());
    EXPECT_EQ(serie(u"D"), Answer(GetParam().volumeName, GetParam().serial, GetParam().fileSystem));
    EXPECT_TRUE(ui->messages().empty());
}
INSTANTIATE_TEST_SUITE_P(FromUdev, VolumeFacts, ::testing::Values(
    // FAT and exFAT: the volume serial that "ABCD-1234" spells; above 2^31 it reads negative.
    VolumeCase{"fat32", {{"ID_FS_TYPE", "vfat"}, {"ID_FS_VERSION", "FAT32"}, {"ID_FS_UUID", "ABCD-1234"},
                         {"ID_FS_LABEL_ENC", "MI\\x20USB"}, {"ID_FS_LABEL", "MI_USB"}}, u"MI USB", u"-1412623820", u"FAT32"},
    VolumeCase{"fat16", {{"ID_FS_TYPE", "vfat"}, {"ID_FS_VERSION", "FAT16"}, {"ID_FS_UUID", "1234-5678"}}, u"",
               u"305419896", u"FAT"},
    VolumeCase{"exfat", {{"ID_FS_TYPE", "exfat"}, {"ID_FS_UUID", "1A2B-3C4D"}, {"ID_FS_LABEL", "CAMARA"}}, u"CAMARA",
               u"439041101", u"exFAT"},
    // NTFS: the low 32 bits of the 64-bit volume serial.
    VolumeCase{"ntfs", {{"ID_FS_TYPE", "ntfs"}, {"ID_FS_UUID", "0123456789ABCDEF"}, {"ID_FS_LABEL", "Datos"}},
               u"Datos", u"-1985229329", u"NTFS"},
    // Others: the UUID folded into 32 bits, the same number statfs gives for ext4 (0x967F8C26).
    VolumeCase{"ext4", {{"ID_FS_TYPE", "ext4"}, {"ID_FS_UUID", "3e6be9de-8139-11d1-9106-a43f08d823a6"}}, u"",
               u"-1770025946", u"ext4"},
    VolumeCase{"btrfs", {{"ID_FS_TYPE", "btrfs"}, {"ID_FS_UUID", "00000001-0000-0000-0000-000000000002"}}, u"",
               u"50331648", u"btrfs"},
    // A lone last digit is the high half of its byte: 0xC0AB.
    VolumeCase{"odd digit count", {{"ID_FS_TYPE", "xfs"}, {"ID_FS_UUID", "AB-C"}}, u"", u"49323", u"xfs"}),
    kor2test::labelled<VolumeCase>);

// --- drive letters ------------------------------------------------------------------------------

// A letter in either case names its mapped volume (C is the root); a wrong letter is refused in a
// box with the outputs untouched, except by D_Sol, which answers it without a word.
TEST_F(Volumes, DriveLettersNameTheirVolumeOrAreRefused)
{
    // A folder whose name only begins like a mount point's is not on that mount.
    kor2test::TempDir other;
    fs::create_directories(other.path() / "usb1");
    fs::create_directories(other.path() / "usb10");
    fake.mount("0:44", (other.path() / "usb1").string(), "tmpfs", "tmpfs");
    mapDrive(u"E", (other.path() / "usb10").string());
    mapDrive(u"Ñ", "/dev/vda");
    platform::ScopedSystemInfo info(machine());
    const Answer kRoot{u"raiz", u"-1770025946", u"ext4"}, kUntouched{u"<sin tocar>", u"<sin tocar>", u"<sin tocar>"};
    const struct {
        Text letter;
        Answer answer;
        Text message;  ///< the refusal; empty: none
    } rows[] = {{u"c", kRoot, u""}, {u"C", kRoot, u""},
                {u"ñ", kRoot, u""},  // mapped under the upper-case letter
                {u"E", kRoot, u""},  // beside a mount point, not under it
                {u"Q", {u"", u"0", u""}, u""},  // not mapped
                {u"", kUntouched, u"ERROR:No has especificado la unidad"},
                {u"C:", kUntouched, u"ERROR:Solo necesito la Letra de la unidad y noC:"},
                {u"CD", kUntouched, u"ERROR:Solo necesito la Letra de la unidad y noCD"}};
    for (const auto& c : rows) {
        SCOPED_TRACE(std::string(c.letter.begin(), c.letter.end()));
        ui->clearRecords();
        EXPECT_EQ(serie(c.letter), c.answer);
        EXPECT_EQ(global<CinfoDiscoVol>().D_Sol(c.letter), c.message.empty() ? std::get<1>(c.answer) : u"");
        ASSERT_EQ(ui->messages().size(), c.message.empty() ? 0u : 1u);
        if (!c.message.empty()) {
            const auto& m = ui->messages()[0];
            EXPECT_EQ(std::tuple(m.text, m.icon, m.buttons, m.title),
                      std::tuple(c.message, MessageIcon::Stop, MessageButtons::Ok, platform::applicationTitle()));
        }
    }
}

// The machine's answers but for what a test changes: its name, and a card that comes into the
// reader after `insertAfter` listings.
class Altered final : public platform::SystemInfo {
public:
    explicit Altered(std::shared_ptr<platform::SystemInfo> inner) : m_inner(std::move(inner)) {}
    std::string hostName() override { return name; }
    std::optional<platform::VolumeFacts> volume(const std::string& w) override { return m_inner->volume(w); }
    std::string filesRoot(const std::string& where) override
    {
        if (insert && ++m_calls == insertAfter + 1)
            insert();
        return m_inner->filesRoot(where);
    }
    std::optional<std::string> firstFile(const std::string& p) override { return m_inner->firstFile(p); }

    std::string name;
    std::function<void()> insert;
    int insertAfter = 0;

private:
    std::shared_ptr<platform::SystemInfo> m_inner;
    int m_calls = 0;
};

TEST_F(Volumes, ComputerNameIsOneUpperCaseLabelOfFifteen)
{
    auto named = std::make_shared<Altered>(machine());
    platform::ScopedSystemInfo info(named);
    for (const auto& [host, expected] : {std::pair<std::string, Text>{"obra-norte", u"OBRA-NORTE"},
                                         {"estacion.topografia.example", u"ESTACION"},
                                         {"servidor-de-planos-01", u"SERVIDOR-DE-PLA"}, {"", u""}}) {
        named->name = host;
        EXPECT_EQ(global<CinfoDiscoVol>().D_Nombre_Maquina(), expected) << host;
    }
}

// --- file existence -----------------------------------------------------------------------------

class Files : public Volumes {
protected:
    void SetUp() override
    {
        Volumes::SetUp();
        const fs::path d = media.path();
        fs::create_directories(d / "sub" / "carpeta.txt");
        // Latin-1 and UTF-8 names, with letters of two, three and four bytes
        for (const char* name : {"plano.txt", "LEEME", ".oculto.csv", "n\xBA" "1.dat", "a\xC3\xB1o.txt", "\xEA\xB0\x80" "1.pln",
                                 "\xF0\x9F\x98\x80" "2.pln"})
            std::ofstream(d / "sub" / name) << "x";
        fs::create_symlink(d / "sub" / "plano.txt", d / "sub" / "enlace.dxf");
        fs::create_symlink("bucle", d / "bucle");
        fake.mount("8:17", d.string(), "ext4", "/dev/sdb1");
        mapDrive(u"D", d.string());
    }
    std::string in(const std::string& rest) const { return (media.path() / rest).string(); }
};

TEST_F(Files, OrdinaryFilesOnlyWithWildcards)
{
    platform::ScopedSystemInfo info(machine());
    const std::pair<std::string, bool> cases[] = {
        {in("sub/*.txt"), true},        {in("sub/?lano.txt"), true},      {in("sub/??lano.txt"), false},
        {in("sub/*.TXT"), false},       {in("sub/carpeta.txt"), false},   {in("sub/*.csv"), false},
        {in("sub/.oculto.csv"), false}, {in("sub/*.*"), true},            {in("sub/LEE*"), true},
        {in("sub/*.dxf"), true},        {in("sub/"), true},               {in("nada/*.txt"), false},
        {"D:\\sub\\*.txt", true},       {"d:/sub/plano.txt", true},       {"D:sub\\LEEME", true},
        {"D:\\sub\\*.dwg", false},      {"/proc/*", true},                {"", false},
        {in("sub/n?1.dat"), true},      {in("sub/n??1.dat"), false},      {in("sub/a?o.txt"), true},
        {in("sub/a??o.txt"), false},    {in("sub/?1.pln"), true},         {in("sub/??1.pln"), false},
        {in("sub/?2.pln"), true},       {in("sub/??2.pln"), false},
    };
    for (const auto& [name, found] : cases)
        EXPECT_EQ(exists(name), found) << name;
    EXPECT_TRUE(ui->messages().empty());
}

TEST_F(Files, ListingFailuresAreReportedInTheirOwnBoxes)
{
    platform::ScopedSystemInfo info(machine());
    const Text tooLong = u"Se ha producido el error inesperado Nº75: Error de acceso a la ruta o al archivo: nombre "
                         u"demasiado largo.D_nserie";
    const struct {
        std::string name;  ///< "@" stands for the drive's folder
        Text message;      ///< a message starting "Esta" is followed by the name
        MessageIcon icon;
    } rows[] = {{"Q:\\datos\\*.txt", u"Esta unidad o ruta no existe: ", MessageIcon::Warning},  // unmapped letter
                {"R:\\x.txt", u"Esta unidad o ruta no existe: ", MessageIcon::Warning},  // missing device
                {"@/bucle/*.txt",
                 u"Se ha producido el error inesperado Nº75: Error de acceso a la ruta o al archivo: bucle de enlaces "
                 u"simbólicos.D_nserie", MessageIcon::Stop},
                {"@/" + std::string(10000, 'a') + "*.txt", tooLong, MessageIcon::Stop},
                {"/" + std::string(5000, 'b') + "/x.txt", tooLong, MessageIcon::Stop}};
    for (const auto& c : rows) {
        std::string name = c.name;
        if (const auto at = name.find('@'); at != std::string::npos)
            name.replace(at, 1, media.path().string());
        SCOPED_TRACE(name.substr(0, 60));
        ui->clearRecords();
        EXPECT_FALSE(exists(name));
        ASSERT_EQ(ui->messages().size(), 1u);
        const Text expected = c.message.starts_with(u"Esta") ? c.message + utf16(name) + u" .D_nserie" : c.message;
        EXPECT_EQ(std::tuple(ui->messages()[0].text, ui->messages()[0].icon, ui->messages()[0].buttons),
                  std::tuple(u"ERROR en Kor_Sys.DLL :" + expected, c.icon, MessageButtons::Ok));
    }
}

struct RetryCase {
    const char* label;
    std::vector<script::Action> answers;  ///< what the boxes are answered
    int insertAfter;
    bool found;
    std::size_t boxes;
};
class NotReady : public Files, public ::testing::WithParamInterface<RetryCase> {};
TEST_P(NotReady, AsksToInsertTheMediumUntilCancelled)
{
    fake.blockDevice("sde1", "8:65", "0");  // a reader keeps its device and shows size 0 without a card
    mapDrive(u"H", "/dev/sde1");
    auto reader = std::make_shared<Altered>(machine());
    reader->insert = [&] {
        fake.blockDevice("sde1", "8:65", "60000");
        fake.mount("8:65", media.path().string(), "vfat", "/dev/sde1");
    };
    reader->insertAfter = GetParam().insertAfter;
    platform::ScopedSystemInfo info(reader);
    ui->queue({{"msgbox", GetParam().answers}});

    EXPECT_EQ(exists("H:\\sub\\*.txt"), GetParam().found);
    ASSERT_EQ(ui->messages().size(), GetParam().boxes);
    for (const auto& m : ui->messages())
        EXPECT_EQ(std::tuple(m.text, m.icon, m.buttons),
                  std::tuple(u"ERROR en Kor_Sys.DLL :Inserte correctamente el disco en la unidad. D_nserie",
                             MessageIcon::Warning, MessageButtons::OkCancel));
}
INSTANTIATE_TEST_SUITE_P(Answers, NotReady, ::testing::Values(
    RetryCase{"cancel", {answer(MessageAnswer::Cancel)}, 100, false, 1},
    RetryCase{"ok after inserting", {answer(MessageAnswer::Ok)}, 1, true, 1},
    RetryCase{"ok for ever", {}, 1000, false, 100}),
    kor2test::labelled<RetryCase>);

// A mount point of the file-system table with nothing mounted on it holds no medium: also the
// root, when the table lists it and the mount table does not (a tree seen from a rescue system).
TEST_F(Files, MountPointOfTheFileSystemTableWithNothingMountedIsNotReady)
{
    kor2test::TempDir empty;
    fake.fstab("# static\n/dev/sdf1 " + empty.path().string() + "/ vfat noauto,user 0 0\n");
    mapDrive(u"J", empty.path().string());
    mapDrive(u"K", in("desaparecida"));  // an automounter's folder goes with its medium
    mapDrive(u"L", "/");
    kor2test::FakeTree rescue;
    rescue.fstab("/dev/vda / ext4 defaults 0 1\n");
    platform::ScopedSystemInfo info(machine());
    ui->queue({{"msgbox", {answer(MessageAnswer::Cancel), answer(MessageAnswer::Cancel), answer(MessageAnswer::Cancel)}}});
    EXPECT_FALSE(exists("J:\\*.txt"));
    EXPECT_FALSE(exists("K:\\*.txt"));
    {
        platform::ScopedSystemInfo unmounted(std::make_shared<LinuxSystemInfo>(rescue.tree()));
        EXPECT_FALSE(exists("L:\\*"));
    }
    ASSERT_EQ(ui->messages().size(), 3u);
    EXPECT_EQ(ui->messages()[1].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(std::get<1>(serie(u"J")), u"0") << "no medium: no volume, no message";
    EXPECT_EQ(ui->messages().size(), 3u);
}

} // namespace
