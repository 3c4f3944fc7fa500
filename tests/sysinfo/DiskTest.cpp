#include <Kor2_Sys/Kor2_Sys.h>
#include <Kor2_Sys/c_VL.h>

#include "FakeTree.h"
#include "Guards.h"
#include "SettingsGuards.h"
#include "platform/linux/LinuxDiskQuery.h"
#include "sysinfo/DiskIdentity.h"

#include <gtest/gtest.h>

using namespace Kor2_Sys;
using platform::IdentityBlock;
using kor2test::errorOf;

namespace {

std::string dataFile(const std::string& name) { return kor2test::look(std::string(KOR2_SYSINFO_DATA) + "/" + name).contents; }
std::string utf8(const Text& t) { return std::string(t.begin(), t.end()); }
// Model, serial and firmware as the one reader decodes them.
std::vector<std::string> fields(const IdentityBlock& block)
{
    return {utf8(sysinfo::identityString(block, 0)), utf8(sysinfo::identityString(block, 1)),
            utf8(sysinfo::identityString(block, 2))};
}

// --- the reader: one code path from the block to the strings -----------------------------------

// Bytes put where the test says, so that the reader is checked against byte numbers, not against
// the code that lays strings out.
IdentityBlock withBytes(std::initializer_list<std::pair<std::size_t, char>> bytes)
{
    IdentityBlock block{};
    for (const auto& [at, c] : bytes)
        block[at] = static_cast<std::uint8_t>(c);
    return block;
}
IdentityBlock diskModel7()
{
    IdentityBlock block{};
    const std::string text = std::string("DISK MODEL 7") + std::string(28, ' ');
    for (std::size_t k = 0; k < 40; ++k)
        block[54 + (k % 2 == 0 ? k + 1 : k - 1)] = static_cast<std::uint8_t>(text[k]);
    return block;
}

TEST(Reader, ReadsPairsHighByteFirstUpToAZero)
{
    const struct {
        const char* label;
        IdentityBlock block;
        int selector;
        Text expected;
    } rows[] = {
        {"model filled with blanks", diskModel7(), 0, u"DISK MODEL 7"},
        {"zero high byte ends it", withBytes({{21, 'A'}, {20, 'B'}, {23, '\0'}, {22, 'C'}, {25, 'D'}}), 1, u"AB"},
        {"zero low byte ends it", withBytes({{21, 'A'}, {20, 'B'}, {23, 'C'}, {22, '\0'}, {25, 'D'}}), 1, u"ABC"},
        {"blanks both sides", withBytes({{47, ' '}, {46, '1'}, {49, '.'}, {48, '0'}, {51, ' '}, {50, ' '}}), 2, u"1.0"},
        {"all zero", IdentityBlock{}, 0, u""},
        // Only the field's own bytes: the firmware ends with byte 52 even when byte 55 follows.
        {"field length", withBytes({{47, 'F'}, {46, 'W'}, {49, '0'}, {48, '1'}, {51, '2'}, {50, '3'}, {53, '4'},
                                    {52, '5'}, {55, 'X'}, {54, 'Y'}}), 2, u"FW012345"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(sysinfo::identityString(r.block, r.selector), r.expected) << r.label;
    EXPECT_EQ(errorOf([] { sysinfo::identityString({}, 3); }), 10001) << "no such selector";
}

TEST(SavedBlocks, DecodeThroughTheOneReader)
{
    for (const auto& [file, expected] :
         {std::pair<std::string, std::vector<std::string>>{"sata-identify.hex", {"KOR2 CONSTRUIDO SATA 1TB", "K2S-0001-0042", "K2F1.0"}},
          {"nvme-identify-controller.hex", {"KOR2 CONSTRUIDO NVME 512GB", "K2N0000000000042", "K2NV0101"}}}) {
        const std::string dump = dataFile(file);
        ASSERT_FALSE(dump.empty()) << file;
        IdentityBlock block = sysinfo::parseIdentityDump(dump);
        if (file.starts_with("nvme"))
            block = platform::linuxos::identityFromNvme(std::span<const std::uint8_t>(block.data(), block.size()));
        EXPECT_EQ(fields(block), expected) << file;
        EXPECT_EQ(sysinfo::parseIdentityDump(std::string(block.begin(), block.end())), block) << "as 512 raw bytes";
    }
    const std::string words = dataFile("sata-identify.hex");
    // The first word written otherwise: five digits, or a letter that is no hexadecimal digit.
    const auto firstWord = [&](const char* word) { return std::string(words).replace(words.find("0040 "), 4, word); };
    for (const std::string& bad : {words.substr(0, words.rfind("0000")), words + "0000\n", words + "zz\n",
                                   firstWord("00040"), firstWord("0g40"), std::string(511, 'x')})
        EXPECT_EQ(errorOf([&] { sysinfo::parseIdentityDump(bad); }), 5);
}

// --- c_VL on a disk query of the test's own -----------------------------------------------------

class FakeDisks final : public platform::DiskQuery {
public:
    platform::PlatformVersion version() override { return versionAnswer; }
    std::unique_ptr<platform::DiskDevice> openPhysicalDrive(unsigned number) override
    {
        opened.push_back("drive " + std::to_string(number));
        return number < drives ? device() : nullptr;
    }
    std::unique_ptr<platform::DiskDevice> openSmartDriver() override
    {
        opened.push_back("smart");
        return device();
    }

    platform::PlatformVersion versionAnswer{2, 0};
    unsigned drives = 2;
    IdentityBlock block = sysinfo::parseIdentityDump(dataFile("sata-identify.hex"));
    std::vector<std::string> opened;
    std::vector<platform::IdentifyRequest> requests;

private:
    std::unique_ptr<platform::DiskDevice> device()
    {
        struct Device final : platform::DiskDevice {
            FakeDisks& owner;
            explicit Device(FakeDisks& o) : owner(o) {}
            platform::IdentifyAnswer identify(const platform::IdentifyRequest& r) override
            {
                owner.requests.push_back(r);
                return {owner.block, "fake", "/dev/fake"};
            }
        };
        return std::make_unique<Device>(*this);
    }
};

class DiskIdentity : public ::testing::Test {
protected:
    std::shared_ptr<FakeDisks> disks = std::make_shared<FakeDisks>();
    platform::ScopedDiskQuery installed{disks};
};

TEST_F(DiskIdentity, DriveSelectionThroughLateBinding)
{
    auto vl = createObject("Kor2_Sys.c_VL");
    std::vector<Variant> none;
    const Variant fresh = vl->invoke("CurrentDrive", InvokeKind::Get, none);
    EXPECT_EQ(std::pair(fresh.type(), fresh.toLong()), std::pair(ValueType::Byte, Long{0}));
    const auto put = [&](Variant v) {
        std::vector<Variant> args{std::move(v)};
        return kor2test::failureOf([&] { vl->invoke("CurrentDrive", InvokeKind::Put, args); }).value_or(Error{0, u""});
    };
    EXPECT_EQ(put(Byte{3}).number(), 0);
    EXPECT_EQ(std::pair(put(Byte{4}).number(), put(Byte{4}).description()), std::pair(Long{10000}, Text(u"Illegal drive number")));
    EXPECT_EQ(std::pair(put(Long{256}).number(), put(Integer{-1}).number()), std::pair(Long{6}, Long{6}));  // no byte holds them
    EXPECT_EQ(vl->invoke("CurrentDrive", InvokeKind::Get, none).toLong(), 3) << "a refused drive changes nothing";
    EXPECT_EQ(vl->invoke("Copyright", InvokeKind::Get, none), Variant(Text()));
    EXPECT_EQ(vl->invoke("Platform", InvokeKind::Get, none), Variant(Text(u"WNT")));
}

TEST_F(DiskIdentity, RequestAddressesTheSelectedDrive)
{
    c_VL vl;
    EXPECT_EQ(vl.GetModelNumber(), u"KOR2 CONSTRUIDO SATA 1TB");
    vl.CurrentDrive(1);
    EXPECT_EQ(vl.GetSerialNumber(), u"K2S-0001-0042");
    EXPECT_EQ(vl.GetFirmwareRevision(), u"K2F1.0");
    ASSERT_EQ(disks->requests.size(), 3u);
    EXPECT_EQ(disks->requests[0].driveHead, 0xA0);
    const auto& second = disks->requests[1];  // an odd drive is the second device on its channel
    EXPECT_EQ(std::tuple(second.driveHead, second.driveNumber, second.command, second.bufferSize),
              std::tuple(0xB0, 1, 0xEC, 512u));
    EXPECT_EQ(disks->opened, (std::vector<std::string>{"drive 0", "drive 1", "drive 1"})) << "one open per call";

    vl.CurrentDrive(2);
    EXPECT_EQ(errorOf([&] { vl.GetModelNumber(); }), 10003) << "no such drive";
    disks->block = {};
    vl.CurrentDrive(0);
    EXPECT_EQ(vl.GetModelNumber(), u"") << "a drive that does not answer";
}

TEST_F(DiskIdentity, PlatformDecidesHowTheDriveIsOpened)
{
    const struct {
        platform::PlatformVersion version;
        Text text;
        Long error;
        const char* opened;
    } rows[] = {{{2, 1}, u"WNT", 0, "drive 0"}, {{1, 0}, u"W95", 0, "smart"}, {{1, 10}, u"W98", 0, "smart"},
                {{0, 0}, u"32S", 10002, ""},    {{3, 0}, u"Unk", 10002, ""}};
    for (const auto& r : rows) {
        disks->versionAnswer = r.version;
        disks->opened.clear();
        c_VL vl;
        EXPECT_EQ(vl.Platform(), r.text);
        EXPECT_EQ(errorOf([&] { vl.GetFirmwareRevision(); }), r.error) << utf8(r.text);
        EXPECT_EQ(disks->opened.empty() ? "" : disks->opened[0], std::string(r.opened)) << utf8(r.text);
    }
}

// --- Linux: drive numbers and the world-readable sources, over a fake system tree ---------------

TEST(LinuxDisks, WholeDisksInDriveOrderAndTheirPublishedIdentity)
{
    kor2test::FakeTree fake;
    for (const auto& [name, number] : {std::pair{"sdb", "8:16"}, {"sdaa", "65:160"}, {"sda", "8:0"}, {"vda", "254:0"},
                                       {"nvme0n1", "259:0"}, {"nvme10n1", "259:10"},
                                       {"nvme2n1", "259:2"}, {"nvme3n1", "259:3"}, {"nvme20n1", "259:20"}, {"nvme0c0n1", "259:9"}, {"loop0", "7:0"}, {"sr0", "11:0"}})
        fake.blockDevice(name, number, "2048", true);
    fake.write("sys/block/nvme0c0n1/hidden", "1\n");
    // sda: what udev recorded (the model with its blanks kept in the _ENC form).
    fake.udev().set("8:0", {{"ID_MODEL", "KOR2_DISCO_UDEV"}, {"ID_MODEL_ENC", "KOR2\\x20DISCO\\x20UDEV\\x20\\x20"},
                            {"ID_SERIAL_SHORT", "UD-77"}, {"ID_REVISION", "U1.2"}});
    // sdb: udev knows the model only; sysfs adds the revision.
    fake.udev().set("8:16", {{"ID_MODEL", "SOLO_MODELO"}});
    fake.write("sys/block/sdb/device/rev", "R9  \n");
    // sdaa: nothing published at all.
    platform::linuxos::LinuxDiskQuery query(fake.tree());
    EXPECT_EQ(query.wholeDisks(), (std::vector<std::string>{"sda", "sdb", "sdaa", "nvme0n1", "nvme2n1", "nvme3n1", "nvme10n1", "nvme20n1", "vda"}))
        << "numbers in names compare as numbers";
    EXPECT_EQ(query.openPhysicalDrive(9), nullptr);

    // nvme0n1 (drive 3): sysfs of its controller, blanks around the values.
    fake.write("sys/block/nvme0n1/device/model", "KOR2 NVME SYSFS                         \n");
    fake.write("sys/block/nvme0n1/device/serial", "   NV-0099   \n");
    fake.write("sys/block/nvme0n1/device/firmware_rev", "2.0.1   \n");

    platform::ScopedDiskQuery installed(std::make_shared<platform::linuxos::LinuxDiskQuery>(fake.tree()));
    const std::pair<std::vector<std::string>, std::string> expected[] = {
        {{"KOR2 DISCO UDEV", "UD-77", "U1.2"}, "udev"},
        {{"SOLO_MODELO", "", "R9"}, "udev + sysfs"},
        {{"", "", ""}, ""},
        {{"KOR2 NVME SYSFS", "NV-0099", "2.0.1"}, "sysfs"},
    };
    for (Byte drive = 0; drive < 4; ++drive) {
        const auto answer = sysinfo::identifyDrive(u"WNT", drive);
        EXPECT_EQ(std::pair(fields(answer.block), answer.source), expected[drive]) << int(drive);
    }
    c_VL vl;
    vl.CurrentDrive(3);
    EXPECT_EQ(vl.GetSerialNumber(), u"NV-0099");
}

} // namespace
