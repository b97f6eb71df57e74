#include "container/container_writer.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <regex>

#include "container/container_reader.h"
#include "container/file_io.h"
#include "hand_made_container.h"

namespace qv {
namespace {

using namespace test;

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A fresh, empty folder for one test.
std::string FreshFolder(const std::string& name) {
    const std::string dir = ::testing::TempDir() + "/writer_" + name;
    std::system(("rm -rf '" + dir + "'").c_str());
    mkdir(dir.c_str(), 0755);
    return dir;
}

std::vector<std::string> FolderEntries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        closedir(d);
    }
    return names;
}

std::unique_ptr<MemoryStream> ReadBack(const Bytes& container, const std::string& password,
                                       ParamList& params) {
    MemoryStream source(container);
    return ReadContainer(&source, params, password);
}

TEST(ContainerWriter, DefaultsAndTheFirstBytes) {
    TQVOFileSetObject writer;
    EXPECT_EQ(writer.FVersion, 1);
    EXPECT_EQ(writer.FHeaderKey, "1ZKTBNQvuhedrwimo");
    EXPECT_EQ(writer.FDigestKey, "ZKTBNQvuhedrwimo1");
    EXPECT_TRUE(
        std::regex_match(writer.FDate, std::regex(R"(\d\d\.\d\d\.\d{4} \d{1,2}:\d\d:\d\d)")))
        << writer.FDate;
    EXPECT_EQ(writer.FCheckText.size(), 10u);
    EXPECT_NE(writer.FCheckText, TQVOFileSetObject().FCheckText);
    writer.FData = std::make_unique<MemoryStream>();
    writer.FOutput = std::make_unique<MemoryStream>();
    writer.WriteContainer();
    const Bytes out = writer.FOutput->bytes();
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 9), B({1, 1, 1, 5, '1', '1', '1', '1', '1'}));
    // The encrypted digest text is 56 Base64 characters.
    EXPECT_EQ(ReadIdentification(*writer.FOutput).digest.size(), 56u);
}

// With every flag clear the whole layout can be written out by hand.
TEST(ContainerWriter, AllFlagsClearGiveThePlainLayout) {
    TQVOFileSetObject writer;
    writer.FPackHeader = writer.FCryptHeader = writer.FPackData = writer.FCryptData =
        writer.FCryptDigest = false;
    writer.FDate = "11.12.2026 9:05:00";
    writer.FCheckText = "ABCDEFGHIJ";
    writer.FData = std::make_unique<MemoryStream>(B("payload"));
    writer.FOutput = std::make_unique<MemoryStream>();
    writer.WriteContainer();

    const std::string list = "DATE=11.12.2026 9:05:00\r\nCID=...\r\n";
    const Bytes fields =
        Cat({B({1, 1}), SizedText("00000"), Block(SizedText(list)), SizedText("ABCDEFGHIJ"),
             Block(Cat({B("payload"), SizedText("ABCDEFGHIJ")}))});
    EXPECT_EQ(writer.FOutput->bytes(), Seal(fields, false));
    EXPECT_EQ(ReadIdentification(*writer.FOutput).digest.size(), 32u);
    // The payload keeps the check text appended by the write.
    EXPECT_EQ(writer.FData->bytes(), Cat({B("payload"), SizedText("ABCDEFGHIJ")}));
}

TEST(ContainerWriter, WrittenFileReadsBackToThePayload) {
    const std::string dir = FreshFolder("roundtrip");
    const std::string path = dir + "/out.qvo";
    Bytes payload;
    for (int i = 0; i < 70000; ++i) {
        payload.push_back(static_cast<uint8_t>(i % 251));
    }
    for (const std::string ext : {"", ".EMF"}) {
        TQVOFileSetObject writer;
        writer.FData = std::make_unique<MemoryStream>(payload);
        writer.FPassword = "heslo\xE8";
        writer.FOutputFileName = path;
        writer.FExt = ext;
        writer.WriteContainer();
        EXPECT_EQ(writer.FOutput, nullptr);

        ParamList params;
        auto back = LoadContainerFile(path, params, {}, "heslo\xE8");
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->bytes(), payload);
        EXPECT_EQ(params.value("DATE"), writer.FDate);
        EXPECT_EQ(params.value("CID"), "...");
        EXPECT_EQ(params.value("EXT"), ext);
        EXPECT_EQ(params.count(), ext.empty() ? 2u : 3u);
    }
    EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"out.qvo"});
}

TEST(ContainerWriter, WriterKeysAreSetAfterTheCallersLines) {
    TQVOFileSetObject writer;
    writer.FParams = std::make_unique<ParamList>(
        std::vector<std::string>{"QVONAME=A", "cid=old", "EXT=.OLD", "QVOFROM=B", "DATE=old"});
    writer.FData = std::make_unique<MemoryStream>();
    writer.FOutput = std::make_unique<MemoryStream>();
    writer.FDate = "1.1.2027 0:00:00";
    writer.WriteContainer();
    ParamList params;
    ReadBack(writer.FOutput->bytes(), "", params);
    EXPECT_EQ(params.lines(), (std::vector<std::string>{"QVONAME=A", "CID=...", "QVOFROM=B",
                                                        "DATE=1.1.2027 0:00:00"}));
}

TEST(ContainerWriter, TotalSizeCountsItsOwnDigits) {
    EXPECT_EQ(TotalContainerSize(4092), 4097u);  // 0xFFC: 4096 would need four digits
    // Containers whose size before the total runs from 0xFF0 to 0x1010.
    TQVOFileSetObject probe;
    probe.FPackHeader = probe.FCryptHeader = probe.FPackData = probe.FCryptData =
        probe.FCryptDigest = false;
    probe.FData = std::make_unique<MemoryStream>(Bytes(0x800, 'x'));
    probe.FOutput = std::make_unique<MemoryStream>();
    probe.WriteContainer();
    // Everything before the total but the payload (the total takes 4 bytes here).
    const uint64_t fixedPart = probe.FOutput->size() - 4 - 0x800;
    for (uint64_t s = 0xFF0; s <= 0x1010; ++s) {
        TQVOFileSetObject writer;
        writer.FPackHeader = writer.FCryptHeader = writer.FPackData = writer.FCryptData =
            writer.FCryptDigest = false;
        writer.FDate = probe.FDate;
        writer.FData = std::make_unique<MemoryStream>(Bytes(s - fixedPart, 'x'));
        writer.FOutput = std::make_unique<MemoryStream>();
        writer.WriteContainer();
        EXPECT_EQ(writer.FOutput->size(), TotalContainerSize(s)) << s;
        const Identification id = ReadIdentification(*writer.FOutput);
        EXPECT_TRUE(id.ok) << s;
        EXPECT_EQ(id.recordedSize, writer.FOutput->size()) << s;
    }
}

TEST(ContainerWriter, FailuresLeaveNoFileAndKeepAnExistingTarget) {
    const std::string dir = FreshFolder("failures");
    const std::string target = dir + "/existing.qvo";
    WriteFileText(target, "old content");

    TQVOFileSetObject missingInput;
    missingInput.FInputFileName = dir + "/missing.emf";
    missingInput.FOutputFileName = target;
    try {
        missingInput.WriteContainer();
        FAIL();
    } catch (const ContainerError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Chybně zadaný vstup  - cesta pro QVO soubor!!! ->" + dir + "/missing.emf");
    }
    EXPECT_EQ(ReadFileText(target), "old content");
    EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"existing.qvo"});

    TQVOFileSetObject newTarget;
    newTarget.FInputFileName = dir + "/missing.emf";
    newTarget.FOutputFileName = dir + "/new.qvo";
    EXPECT_THROW(newTarget.WriteContainer(), ContainerError);
    EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"existing.qvo"});

    TQVOFileSetObject noOutput;
    try {
        noOutput.WriteContainer();
        FAIL();
    } catch (const ContainerError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Pro výstup do QVO souboru nejsou zadána potřebná data !!! ");
    }

    TQVOFileSetObject badFolder;
    badFolder.FData = std::make_unique<MemoryStream>();
    badFolder.FOutputFileName = dir + "/no/such/folder.qvo";
    try {
        badFolder.WriteContainer();
        FAIL();
    } catch (const ContainerError& e) {
        EXPECT_EQ(std::string(e.what()), "Chybně zadaný výstup - cesta pro QVO soubor!!! ->" + dir +
                                             "/no/such/folder.qvo");
    }
}

TEST(ContainerWriter, PayloadFromAnInputFile) {
    const std::string dir = FreshFolder("input");
    WriteFileText(dir + "/page.emf", "EMF bytes");
    TQVOFileSetObject writer;
    writer.FInputFileName = dir + "/page.emf";
    writer.FPassword = "pw";
    writer.FOutputFileName = dir + "/page.qvo";
    writer.WriteContainer();
    ParamList params;
    auto back = LoadContainerFile(dir + "/page.qvo", params, {}, "pw");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Str(back->bytes()), "EMF bytes");
}

TEST(AtomicFile, ReplacesWholeOrNotAtAll) {
    const std::string dir = FreshFolder("atomic");
    const std::string path = dir + "/file.bin";
    WriteFileText(path, "old");
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(path, "new", 3));
    EXPECT_EQ(ReadFileText(path), "new");
    struct stat info {};
    stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    {
        AtomicFile abandoned;
        ASSERT_TRUE(abandoned.Open(path));
        EXPECT_EQ(FolderEntries(dir).size(), 2u);
    }
    EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"file.bin"});
    EXPECT_EQ(ReadFileText(path), "new");
    EXPECT_FALSE(WriteFileAtomically(dir + "/missing/file.bin", "x", 1));
}

}  // namespace
}  // namespace qv
