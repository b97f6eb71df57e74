#include "container/inner_file_set.h"

#include <gtest/gtest.h>

#include "container/stream_primitives.h"
#include "test_bytes.h"

namespace qv {
namespace {

using test::B;
using test::Bytes;
using test::Cat;
using test::Str;

// A payload laid out by hand: entry bytes, the index text, its length as a
// trailing integer.
Bytes Payload(const std::string& entries, const std::string& index) {
    MemoryStream s(B(entries));
    s.seekToEnd();
    s.write(index.data(), index.size());
    WriteTrailingInt(s, index.size());
    return s.bytes();
}

std::vector<std::string> EntryTexts(TQVFFileSetObject& set) {
    std::vector<std::string> texts;
    for (int i = 0; i < set.EntryCount(); ++i) {
        texts.push_back(Str(set.EntryStream(i).bytes()));
    }
    return texts;
}

class RecordingBars : public ProgressBars {
  public:
    Bar AddBar() override {
        log += "add;";
        return this;
    }
    void SetBarTitle(Bar, const std::string& text) override { log += "title " + text + ";"; }
    void SetBarText(Bar, const std::string& text) override { log += "text " + text + ";"; }
    void SetBarRange(Bar, int minimum, int maximum) override {
        log += "range " + std::to_string(minimum) + "-" + std::to_string(maximum) + ";";
    }
    void SetBarPosition(Bar, int position) override { log += std::to_string(position) + ";"; }
    void RemoveBar(Bar& bar) override {
        log += bar != nullptr ? "remove;" : "remove none;";
        bar = nullptr;
    }
    std::string log;
};

TEST(InnerFileSet, ReadsEntriesWhereverTheIndexPutsThem) {
    struct Case {
        const char* name;
        std::string entries;
        std::string index;
        std::vector<std::string> expected;
        bool packed;
    };
    const Case cases[] = {
        {"two entries out of order",
         "BBBAA",
         "Last=2\r\nMP0=3\r\nMS0=2\r\nMP1=0\r\nMS1=3\r\nPacked=A\r\n",
         {"AA", "BBB"},
         true},
        {"middle entry missing",
         "xxyy",
         "Last=3\r\nMP0=0\r\nMS0=2\r\nMP2=2\r\nMS2=2\r\n",
         {"xx", "", "yy"},
         false},
        {"no Last", "xx", "MP0=0\r\nMS0=2\r\nPacked=A\r\n", {}, true},
        {"Last=0", "xx", "Last=0\r\nMP0=0\r\nMS0=2\r\n", {}, false},
        {"lower-case packed", "xx", "Last=1\r\nMP0=0\r\nMS0=2\r\nPacked=a\r\n", {"xx"}, false},
        {"offset not a number", "abc", "Last=1\r\nMP0=z\r\nMS0=2\r\n", {"ab"}, false},
        {"size not a number", "abc", "Last=1\r\nMP0=0\r\nMS0=2x\r\n", {""}, false},
        {"negative count", "abc", "Last=-4\r\nMP0=0\r\nMS0=2\r\n", {}, false},
        {"names in any case", "abc", "LAST=1\r\nmp0=1\r\nms0=2\r\n", {"bc"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TQVFFileSetObject set;
        MemoryStream payload(Payload(c.entries, c.index));
        set.ReadSet(payload, false);
        EXPECT_EQ(EntryTexts(set), c.expected);
        EXPECT_EQ(set.IsPacked(), c.packed);
    }
}

TEST(InnerFileSet, EntryTenUsesTwoDigitNames) {
    std::string entries;
    std::string index = "Last=11\r\n";
    for (int i = 0; i < 11; ++i) {
        index += "MP" + std::to_string(i) + "=" + std::to_string(i) + "\r\nMS" + std::to_string(i) +
                 "=1\r\n";
        entries += static_cast<char>('a' + i);
    }
    TQVFFileSetObject set;
    MemoryStream payload(Payload(entries, index));
    set.ReadSet(payload, false);
    ASSERT_EQ(set.EntryCount(), 11);
    EXPECT_EQ(Str(set.EntryStream(10).bytes()), "k");
    EXPECT_THROW(set.EntryStream(11), std::out_of_range);
}

TEST(InnerFileSet, EmptyIndexAndEmptyPayload) {
    TQVFFileSetObject set;
    MemoryStream zeroIndex(B({'x', 0, 1}));
    set.ReadSet(zeroIndex, false);
    EXPECT_EQ(set.EntryCount(), 0);

    MemoryStream first(Payload("ab", "Last=1\r\nMP0=0\r\nMS0=2\r\n"));
    set.ReadSet(first, false);
    MemoryStream empty;
    set.ReadSet(empty, false);  // keeps what it held
    EXPECT_EQ(EntryTexts(set), std::vector<std::string>{"ab"});
    MemoryStream second(Payload("cd", "Last=2\r\nMP0=1\r\nMS0=1\r\nMP1=0\r\nMS1=1\r\n"));
    set.ReadSet(second, false);  // replaces everything
    EXPECT_EQ(EntryTexts(set), (std::vector<std::string>{"d", "c"}));
}

TEST(InnerFileSet, EntriesOutsideThePayloadFailAndKeepTheEarlierOnes) {
    const std::string cases[] = {
        "Last=2\r\nMP0=0\r\nMS0=1\r\nMP1=0\r\nMS1=2147483647\r\n",
        "Last=2\r\nMP0=0\r\nMS0=1\r\nMP1=-1\r\nMS1=1\r\n",
        "Last=2\r\nMP0=0\r\nMS0=1\r\nMP1=9999999999\r\nMS1=1\r\n",
    };
    for (const std::string& index : cases) {
        TQVFFileSetObject set;
        MemoryStream payload(Payload("ab", index));
        EXPECT_THROW(set.ReadSet(payload, false), StreamReadError) << index;
        EXPECT_EQ(EntryTexts(set), std::vector<std::string>{"a"});
    }
    // An index length beyond the payload, and a width above 8.
    for (const Bytes& bytes : {B({'a', 'b', 0x40, 1}), B({'a', 'b', 200})}) {
        TQVFFileSetObject set;
        MemoryStream payload(bytes);
        EXPECT_THROW(set.ReadSet(payload, false), StreamReadError);
    }
}

TEST(InnerFileSet, HostileCountStaysBounded) {
    TQVFFileSetObject set;
    MemoryStream payload(Payload("ab", "Last=2000000000\r\n"));
    set.ReadSet(payload, false);
    EXPECT_LE(set.EntryCount(), static_cast<int>(payload.size()));
}

TEST(InnerFileSet, ProgressBarRunsOverTheEntriesAndIsAlwaysRemoved) {
    RecordingBars bars;
    TQVFFileSetObject set(&bars);
    MemoryStream payload(Payload("abcde", "Last=5\r\nMS0=1\r\nMP4=4\r\nMS4=1\r\n"));
    set.ReadSet(payload, true);
    EXPECT_EQ(bars.log, "add;title Načítání dat;text Načteno;range 0-4;0;1;2;3;4;remove;");

    bars.log.clear();
    MemoryStream bad(Payload("ab", "Last=2\r\nMS0=1\r\nMP1=700\r\nMS1=1\r\n"));
    EXPECT_THROW(set.ReadSet(bad, true), StreamReadError);
    EXPECT_EQ(bars.log, "add;title Načítání dat;text Načteno;range 0-1;0;1;remove;");

    bars.log.clear();
    set.ReadSet(payload, false);
    EXPECT_EQ(bars.log, "");
}

TEST(ContainerPageCount, EmptyIsOnePageAndTextIsNoNumber) {
    const struct {
        const char* value;
        std::optional<int> count;
    } cases[] = {
        {"", 1},
        {"3", 3},
        {"0", 0},
        {" 12", 12},
        {"+2", 2},
        {"abc", std::nullopt},
        {"2x", std::nullopt},
        {"3 ", std::nullopt},
        {" ", std::nullopt},
    };
    for (const auto& c : cases) {
        ParamList params;
        params.setValue("QVOOPCNT", c.value);
        EXPECT_EQ(ContainerPageCount(params), c.count) << "'" << c.value << "'";
    }
}

}  // namespace
}  // namespace qv
