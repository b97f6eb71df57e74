#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "container/container_format.h"
#include "container/container_reader.h"
#include "container/stream_primitives.h"
#include "crypto/key_forms.h"

namespace qv {
namespace {

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs qvotool in the test's folder with standard input from /dev/null (no
// terminal).
class Qvotool : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = ::testing::TempDir() + "/qvotool_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::system(("rm -rf " + Quoted(dir_) + " && mkdir -p " + Quoted(dir_)).c_str());
    }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    Result Run(const std::vector<std::string>& arguments) const {
        std::string command = "cd " + Quoted(dir_) + " && " + Quoted(QVOTOOL_PATH);
        for (const std::string& argument : arguments) {
            command += " " + Quoted(argument);
        }
        command += " </dev/null >" + Quoted(Path(".out")) + " 2>" + Quoted(Path(".err"));
        const int status = std::system(command.c_str());
        Result result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadFileText(Path(".out"));
        result.err = ReadFileText(Path(".err"));
        return result;
    }

    // Packs text as a container with the given extra arguments.
    void Pack(const std::string& payload, const std::string& output,
              std::vector<std::string> extra) const {
        WriteFileText(Path("payload.bin"), payload);
        std::vector<std::string> arguments = {"pack", "payload.bin", "-o", output};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        const Result result = Run(arguments);
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }

    std::string dir_;
};

const std::string kWrongPassword = "Data nelze dešifrovat, pravděpodobně chybné heslo!!!\n";

TEST_F(Qvotool, PackThenParamsAndExtract) {
    Pack("page bytes", "a.qvo",
         {"-p", "heslo ěščř", "--ext", ".EMF", "--param", "QVONAME=Výplatní páska 11/2026",
          "--param", "QVOOWNER=Jana Nováková"});
    const Result params = Run({"params", "a.qvo"});
    EXPECT_EQ(params.exitCode, 0);
    std::istringstream lines(params.out);
    std::string line;
    std::vector<std::string> names;
    while (std::getline(lines, line)) {
        names.push_back(line.substr(0, line.find('=')));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"QVONAME", "QVOOWNER", "DATE", "EXT", "CID"}));
    EXPECT_NE(params.out.find("QVONAME=Výplatní páska 11/2026\nQVOOWNER=Jana Nováková\n"),
              std::string::npos);

    const Result toStdout = Run({"extract", "a.qvo", "-p", "heslo ěščř", "-o", "-"});
    EXPECT_EQ(toStdout.exitCode, 0);
    EXPECT_EQ(toStdout.out, "page bytes");
    EXPECT_EQ(Run({"extract", "a.qvo", "-p", "heslo ěščř", "-o", "x.bin"}).exitCode, 0);
    EXPECT_EQ(ReadFileText(Path("x.bin")), "page bytes");

    // The password means the same code page 1250 bytes as in the Windows program.
    ParamList read;
    auto payload = LoadContainerFile(Path("a.qvo"), read, {}, "heslo \xEC\x9A\xE8\xF8");
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(read.value("QVONAME"), "V\xFDplatn\xED p\xE1ska 11/2026");
}

TEST_F(Qvotool, FailuresAndCancelWriteNothing) {
    Pack("secret", "a.qvo", {"-p", "right"});
    const Result wrong = Run({"extract", "a.qvo", "-p", "wrong", "-o", "x.bin"});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(wrong.err, kWrongPassword);
    // No password and no terminal to ask at: cancelled.
    const Result cancelled = Run({"extract", "a.qvo", "-o", "x.bin"});
    EXPECT_EQ(cancelled.exitCode, 3);
    EXPECT_EQ(Run({"pages", "a.qvo", "-o", "pages"}).exitCode, 3);
    EXPECT_FALSE(Exists(Path("x.bin")));
    EXPECT_FALSE(Exists(Path("pages")));

    WriteFileText(Path("short.qvo"), std::string(49, 'x'));
    const Result invalid = Run({"params", "short.qvo"});
    EXPECT_EQ(invalid.exitCode, 1);
    EXPECT_EQ(invalid.err, "Načten neplatný QVO soubor !!!\n");

    const Result missing = Run({"params", "missing.qvo"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Chybně zadaný vstup  - cesta pro QVO soubor!!! ->missing.qvo\n");
}

// At a terminal (a pseudo-terminal made by script(1)) the password is asked
// for with the container's parameters shown; an empty answer cancels.
TEST_F(Qvotool, PasswordAskedAtTheTerminal) {
    if (std::system("command -v script >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "script(1) is not installed";
    }
    Pack("at the terminal", "t.qvo",
         {"-p", "heslo", "--param", "QVONAME=Výplatní páska", "--param", "QVOOWNER=Jana"});
    const auto atTerminal = [&](const std::string& answer, const std::string& output) {
        const std::string command = "cd " + Quoted(dir_) + " && printf " + Quoted(answer) +
                                    " | script -qec " +
                                    Quoted(Quoted(QVOTOOL_PATH) + " extract t.qvo -o " + output) +
                                    " /dev/null >" + Quoted(Path(".tty"));
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(atTerminal("heslo\\n", "t.out"), 0);
    EXPECT_EQ(ReadFileText(Path("t.out")), "at the terminal");
    const std::string shown = ReadFileText(Path(".tty"));
    for (const char* caption : {"Informace o souboru :", "Vytvořen :", "Výstup z : Výplatní páska",
                                "Vytvořil/a :", "Oprávněný uživatel/ka souboru :", "Jana",
                                "Pozn.:", "Zadejte prosím heslo"}) {
        EXPECT_NE(shown.find(caption), std::string::npos) << caption;
    }
    EXPECT_EQ(atTerminal("\\n", "e.out"), 3);
    EXPECT_FALSE(Exists(Path("e.out")));
}

TEST_F(Qvotool, UnprotectedContainersNeedNoPassword) {
    Pack("open data", "open.qvo", {"--flags", "11101"});
    const Result result = Run({"extract", "open.qvo", "-o", "-"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "open data");
}

TEST_F(Qvotool, PagesOfOnePayloadAndOfAnInnerFileSet) {
    Pack("single page", "one.qvo", {"-p", "pw", "--ext", ".EMF"});
    ASSERT_EQ(Run({"pages", "one.qvo", "-p", "pw", "-o", "one"}).exitCode, 0);
    EXPECT_EQ(ReadFileText(Path("one/page-0001.emf")), "single page");

    Pack("plain text", "text.qvo", {"-p", "pw", "--ext", ".TXT"});
    ASSERT_EQ(Run({"pages", "text.qvo", "-p", "pw", "-o", "deep/text"}).exitCode, 0);
    EXPECT_EQ(ReadFileText(Path("deep/text/page-0001.txt")), "plain text");

    // Three entries, the middle one empty, laid out by hand.
    const std::string index = "Last=3\r\nMP0=4\r\nMS0=3\r\nMP2=0\r\nMS2=4\r\n";
    MemoryStream set;
    set.write("CCCCAAA", 7);
    set.write(index.data(), index.size());
    WriteTrailingInt(set, index.size());
    Pack(std::string(set.bytes().begin(), set.bytes().end()), "set.qvo",
         {"-p", "pw", "--ext", ".EMF", "--param", "QVOOPCNT=3"});
    ASSERT_EQ(Run({"pages", "set.qvo", "-p", "pw", "-o", "set"}).exitCode, 0);
    EXPECT_EQ(ReadFileText(Path("set/page-0001.emf")), "AAA");
    EXPECT_TRUE(Exists(Path("set/page-0002.emf")));
    EXPECT_EQ(ReadFileText(Path("set/page-0002.emf")), "");
    EXPECT_EQ(ReadFileText(Path("set/page-0003.emf")), "CCCC");
    EXPECT_FALSE(Exists(Path("set/page-0004.emf")));
}

TEST_F(Qvotool, PackChecksItsArguments) {
    WriteFileText(Path("p.bin"), "x");
    const std::vector<std::vector<std::string>> usage = {
        {},
        {"unknown"},
        {"pack", "p.bin", "-o", "a.qvo"},  // flag 4 set without a password
        {"pack", "p.bin", "-o", "a.qvo", "-p", "pw", "--flags", "1111"},
        {"pack", "p.bin", "-o", "a.qvo", "-p", "pw", "--flags", "11121"},
        {"pack", "p.bin", "-o", "a.qvo", "-p", "pw", "--param", "NOEQUALS"},
        {"pack", "p.bin", "-p", "pw"},
        {"pack", "p.bin", "-o", "a.qvo", "-p", "pw", "--bogus", "1"},
        {"extract", "a.qvo", "-p"},
        {"params"},
        {"params", "a", "b"},
        {"keyfile", "-o", "k.qvk"},
    };
    for (const auto& arguments : usage) {
        const Result result = Run(arguments);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(arguments);
        EXPECT_NE(result.err.find("usage"), std::string::npos);
    }
    EXPECT_FALSE(Exists(Path("a.qvo")));

    const Result missing = Run({"pack", "nothere.bin", "-o", "a.qvo", "-p", "pw"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Chybně zadaný vstup  - cesta pro QVO soubor!!! ->nothere.bin\n");
    EXPECT_FALSE(Exists(Path("a.qvo")));
}

TEST_F(Qvotool, KeyfileChecksTheEntriesAndProposesAName) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--email", "jan@firma.cz", "-p", "   "}, "chybné heslo"},
        {{"--email", " ", "-p", "abc"}, "nevyplněn e-mail"},
        {{"--email", "jan@", "-p", "abc"}, "nekorektně zadaný e-mail"},
        {{"--email", "jan@firma.cz", "-p", " 12345 "}, "chybné heslo ( min. 6 znaků )"},
    };
    for (const auto& [arguments, reason] : refused) {
        std::vector<std::string> all = {"keyfile", "-o", "k.qvk"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        const Result result = Run(all);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, "Zadejte prosím znovu - " + reason + "\n");
    }
    EXPECT_FALSE(Exists(Path("k.qvk")));
    EXPECT_EQ(Run({"keyfile", "-o", "k.qvk", "--email", "jan@firma.cz"}).exitCode, 3);

    const Result written =
        Run({"keyfile", "-o", ".", "--email", " Jan@Firma.cz ", "-p", " heslo123 "});
    ASSERT_EQ(written.exitCode, 0) << written.err;
    const std::string owner = "NEZAD\xC1NO_NEZAD\xC1NO";
    const std::string name = DigestTextHex("JAN@FIRMA.CZ" + owner).substr(0, 8) + ".qvk";
    EXPECT_EQ(written.out, "./" + name + "\n");

    ParamList params;
    auto payload = LoadContainerFile(Path(name), params, {}, std::string(kBuiltInKeyText));
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(ReadSizedText(*payload), DigestTextHex("heslo123"));
    EXPECT_EQ(params.value("QVOOPOZN"), "Jan@Firma.cz");
    EXPECT_EQ(params.value("QVOOWNER"), owner);
    EXPECT_EQ(params.value("EXT"), ".QVK");
}

}  // namespace
}  // namespace qv
