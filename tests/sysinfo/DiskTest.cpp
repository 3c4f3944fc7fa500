#include <Kor2_Sys/Kor2_Sys.h>
#include <Kor2_Sys/c_VL.h>

#include "Guards.h"
#include "SettingsGuards.h"
#include "FakeTree.h"
#include "platform/linux/LinuxDiskQuery.h"
#include "sysinfo/DiskIdentity.h"

#include <gtest/gtest.h>


using namespace Kor2_Sys;
using platform::IdentityBlock;

namespace {

std::string dataFile(const std::string& name) { return kor2test::look(std::string(KOR2_SYSINFO_DATA) + "/" + name).contents; }

using kor2test::errorOf;

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

struct ReaderCase {
    const char* label;
    IdentityBlock block;
    int selector;
    Text expected;
};
class Reader : public ::testing::TestWithParam<ReaderCase> {};
TEST_P(Reader, ReadsPairsHighByteFirstUpToAZero)
{
    EXPECT_EQ(sysinfo::identityString(GetParam().block, GetParam().selector), GetParam().expected);
}
IdentityBlock diskModel7()
{
    IdentityBlock block{};
    const std::string text = std::string("DISK MODEL 7") + std::string(28, ' ');
    for (std::size_t k = 0; k < 40; ++k)
        block[54 + (k % 2 == 0 ? k + 1 : k - 1)] = static_cast<std::uint8_t>(text[k]);
    return block;
}
INSTANTIATE_TEST_SUITE_P(Blocks, Reader, ::testing::Values(
    ReaderCase{"model filled with blanks", diskModel7(), 0, u"DISK MODEL 7"},
    ReaderCase{"zero high byte ends it", withBytes({{21, 'A'}, {20, 'B'}, {23, '\0'}, {22, 'C'}, {25, 'D'}}), 1, u"AB"},
    ReaderCase{"zero low byte ends it", withBytes({{21, 'A'}, {20, 'B'}, {23, 'C'}, {22, '\0'}, {25, 'D'}}), 1, u"ABC"},
    ReaderCase{"blanks both sides", withBytes({{47, ' '}, {46, '1'}, {49, '.'}, {48, '0'}, {51, ' '}, {50, ' '}}), 2, u"1.0"},
    ReaderCase{"all zero", IdentityBlock{}, 0, u""},
    // Only the field's own bytes: the firmware ends with byte 52 even when byte 55 follows.
    ReaderCase{"field length", withBytes({{47, 'F'}, {46, 'W'}, {49, '0'}, {48, '1'}, {51, '2'}, {50, '3'}, {53, '4'},
                                         {52, '5'}, {55, 'X'}, {54, 'Y'}}), 2, u"FW012345"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(Reader, UnknownSelectorIsError10001)
{
    EXPECT_EQ(errorOf([] { sysinfo::identityString({}, 3); }), 10001);
}

struct DumpCase {
    const char* file;
    std::string model, serial, firmware;
};
class SavedBlocks : public ::testing::TestWithParam<DumpCase> {};
TEST_P(SavedBlocks, DecodeThroughTheOneReader)
{
    const std::string dump = dataFile(GetParam().file);
    ASSERT_FALSE(dump.empty()) << GetParam().file;
    IdentityBlock block = sysinfo::parseIdentityDump(dump);
    if (std::string_view(GetParam().file).starts_with("nvme"))
        block = platform::linuxos::identityFromNvme(std::span<const std::uint8_t>(block.data(), block.size()));
    const auto utf8 = [&](int selector) {
        const Text t = sysinfo::identityString(block, selector);
        return std::string(t.begin(), t.end());
    };
    EXPECT_EQ(utf8(0), GetParam().model);
    EXPECT_EQ(utf8(1), GetParam().serial);
    EXPECT_EQ(utf8(2), GetParam().firmware);
    // The same block as 512 raw bytes reads the same.
    const std::string raw(block.begin(), block.end());
    EXPECT_EQ(sysinfo::parseIdentityDump(raw), block);
}
INSTANTIATE_TEST_SUITE_P(Drives, SavedBlocks, ::testing::Values(
    DumpCase{"sata-identify.hex", "KOR2 CONSTRUIDO SATA 1TB", "K2S-0001-0042", "K2F1.0"},
    DumpCase{"nvme-identify-controller.hex", "KOR2 CONSTRUIDO NVME 512GB", "K2N0000000000042", "K2NV0101"}));

TEST(SavedBlocks, MalformedDumpsAreRefused)
{
    const std::string words = dataFile("sata-identify.hex");
    for (const std::string& bad : {words.substr(0, words.rfind("0000")), words + "0000\n", words + "zz\n",
                                   std::string("12345 ") + words, std::string(511, 'x')})
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
    EXPECT_EQ(fresh.type(), ValueType::Byte);
    EXPECT_EQ(fresh.toLong(), 0);
    const auto put = [&](Variant v) {
        std::vector<Variant> args{std::move(v)};
        return errorOf([&] { vl->invoke("CurrentDrive", InvokeKind::Put, args); });
    };
    EXPECT_EQ(put(Byte{3}), 0);
    EXPECT_EQ(put(Byte{4}), 10000);
    EXPECT_EQ(put(Long{256}), 6) << "no byte holds 256";
    EXPECT_EQ(put(Integer{-1}), 6);
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
    EXPECT_EQ(disks->requests[1].driveHead, 0xB0) << "an odd drive is the second device on its channel";
    EXPECT_EQ(disks->requests[1].driveNumber, 1);
    EXPECT_EQ(disks->requests[1].command, 0xEC);
    EXPECT_EQ(disks->requests[1].bufferSize, 512u);
    EXPECT_EQ(disks->opened, (std::vector<std::string>{"drive 0", "drive 1", "drive 1"})) << "one open per call";

    vl.CurrentDrive(2);
    EXPECT_EQ(errorOf([&] { vl.GetModelNumber(); }), 10003) << "no such drive";
    disks->block = {};
    vl.CurrentDrive(0);
    EXPECT_EQ(vl.GetModelNumber(), u"") << "a drive that does not answer";
}

struct PlatformCase {
    platform::PlatformVersion version;
    Text text;
    Long error;  ///< of every Get... member
    const char* opened;
};
class Platforms : public DiskIdentity, public ::testing::WithParamInterface<PlatformCase> {};
TEST_P(Platforms, DecideHowTheDriveIsOpened)
{
    disks->versionAnswer = GetParam().version;
    c_VL vl;
    EXPECT_EQ(vl.Platform(), GetParam().text);
    EXPECT_EQ(errorOf([&] { vl.GetModelNumber(); }), GetParam().error);
    EXPECT_EQ(errorOf([&] { vl.GetSerialNumber(); }), GetParam().error);
    EXPECT_EQ(errorOf([&] { vl.GetFirmwareRevision(); }), GetParam().error);
    EXPECT_EQ(disks->opened.empty() ? "" : disks->opened[0], std::string(GetParam().opened));
}
INSTANTIATE_TEST_SUITE_P(Versions, Platforms, ::testing::Values(
    PlatformCase{{2, 1}, u"WNT", 0, "drive 0"},
    PlatformCase{{1, 0}, u"W95", 0, "smart"},
    PlatformCase{{1, 10}, u"W98", 0, "smart"},
    PlatformCase{{0, 0}, u"32S", 10002, ""},
    PlatformCase{{3, 0}, u"Unk", 10002, ""}),
    [](const auto& info) { return std::string(info.param.text.begin(), info.param.text.end()); });

TEST_F(DiskIdentity, ByteTravelsThroughTheCEntryPoints)
{
    kor2_object* vl = nullptr;
    ASSERT_EQ(kor2_create("Kor2_Sys.c_VL", &vl, nullptr), 0);
    kor2_value* drive = kor2_value_byte(4);
    kor2_error error{0, nullptr};
    EXPECT_EQ(kor2_invoke(vl, "CurrentDrive", KOR2_PUT, &drive, 1, nullptr, &error), -1);
    EXPECT_STREQ(error.description, "Illegal drive number");
    kor2_value* result = nullptr;
    ASSERT_EQ(kor2_invoke(vl, "CurrentDrive", KOR2_GET, nullptr, 0, &result, nullptr), 0);
    EXPECT_EQ(kor2_value_type(result), KOR2_BYTE);
    kor2_error_clear(&error);
    kor2_value_free(result);
    kor2_value_free(drive);
    kor2_release(vl);
}

// --- Linux: drive numbers and the world-readable sources, over a fake system tree ---------------

TEST(LinuxDisks, WholeDisksInDriveOrderAndTheirPublishedIdentity)
{
    kor2test::FakeTree fake;
    for (const auto& [name, number] : {std::pair{"sdb", "8:16"}, {"sdaa", "65:160"}, {"sda", "8:0"}, {"vda", "254:0"},
                                       {"nvme0n1", "259:0"}, {"nvme0c0n1", "259:9"}, {"loop0", "7:0"}, {"sr0", "11:0"}})
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
    EXPECT_EQ(query.wholeDisks(), (std::vector<std::string>{"sda", "sdb", "sdaa", "nvme0n1", "vda"}));
    EXPECT_EQ(query.openPhysicalDrive(5), nullptr);

    // nvme0n1 (drive 3): sysfs of its controller, blanks around the values.
    fake.write("sys/block/nvme0n1/device/model", "KOR2 NVME SYSFS                         \n");
    fake.write("sys/block/nvme0n1/device/serial", "   NV-0099   \n");
    fake.write("sys/block/nvme0n1/device/firmware_rev", "2.0.1   \n");

    platform::ScopedDiskQuery installed(std::make_shared<platform::linuxos::LinuxDiskQuery>(fake.tree()));
    const struct {
        Byte drive;
        std::string model, serial, firmware, source;
    } expected[] = {
        {0, "KOR2 DISCO UDEV", "UD-77", "U1.2", "udev"},
        {1, "SOLO_MODELO", "", "R9", "udev + sysfs"},
        {2, "", "", "", ""},
        {3, "KOR2 NVME SYSFS", "NV-0099", "2.0.1", "sysfs"},
    };
    for (const auto& e : expected) {
        const auto answer = sysinfo::identifyDrive(u"WNT", e.drive);
        const auto read = [&](int s) {
            const Text t = sysinfo::identityString(answer.block, s);
            return std::string(t.begin(), t.end());
        };
        EXPECT_EQ(read(0), e.model) << int(e.drive);
        EXPECT_EQ(read(1), e.serial) << int(e.drive);
        EXPECT_EQ(read(2), e.firmware) << int(e.drive);
        EXPECT_EQ(answer.source, e.source) << int(e.drive);
    }
    c_VL vl;
    vl.CurrentDrive(3);
    EXPECT_EQ(vl.GetSerialNumber(), u"NV-0099");
}

} // namespace
