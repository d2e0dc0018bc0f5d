// The name=value store over an in-memory device.
#include "phal/NvData.h"
#include "phal/tests/NvTestSupport.h"

#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using nvtest::LogCapture;

// An NV device held in memory: records what the store writes.
class MemoryNv : public NvInterface {
public:
    explicit MemoryNv(const std::string& image, size_t size = 508) : image_(image)
    {
        image_.resize(size, '\0');
        crc_ = crc32(0, image_.data(), static_cast<unsigned int>(image_.size()));
    }
    int setData(char* data, int len, unsigned long crc) override
    {
        writes++;
        image_.assign(data, static_cast<size_t>(len));
        crc_ = crc;
        return setResult;
    }
    int getData(char* buf) override
    {
        if (readFails)
            return 0;
        memcpy(buf, image_.data(), image_.size());
        return static_cast<int>(image_.size());
    }
    int getDataSize() override { return static_cast<int>(image_.size()); }
    unsigned long getDataCrc() override { return crc_; }

    void corruptCrc() { crc_ ^= 1; }
    const std::string& image() const { return image_; }
    bool crcIsFresh() { return crc_ == crc32(0, image_.data(), static_cast<unsigned int>(image_.size())); }

    int writes = 0;
    int setResult = 0;
    bool readFails = false;

private:
    std::string image_;
    unsigned long crc_;
};

std::string value(NvData& store, const char* name, int len = 600)
{
    std::vector<char> buf(static_cast<size_t>(len) + 1, '#');
    int n = store.getNv(name, buf.data(), len);
    return n < 0 ? "<error>" : std::string(buf.data());
}

using Ops = std::vector<std::pair<const char*, const char*>>;

struct SetCase {
    const char* what;
    std::string initial;
    Ops ops;
    std::string expected; // the image's first bytes afterwards
};

class SetSequence : public ::testing::TestWithParam<SetCase> {};

TEST_P(SetSequence, GivesTheImageBytes)
{
    const SetCase& c = GetParam();
    MemoryNv device(c.initial);
    NvData store(&device);
    ASSERT_TRUE(store.isDataValid());
    for (const auto& op : c.ops)
        ASSERT_EQ(0, store.setNv(op.first, op.second)) << op.first << "=" << op.second;
    EXPECT_EQ(c.expected, device.image().substr(0, c.expected.size()));
    EXPECT_EQ(static_cast<int>(c.ops.size()), device.writes);
    EXPECT_TRUE(device.crcIsFresh());
}

INSTANTIATE_TEST_SUITE_P(
    NvData, SetSequence,
    ::testing::Values(
        SetCase{"two", "", {{"a", "1"}, {"bb", "22"}}, std::string("a=1\0bb=22\0\0", 11)},
        SetCase{"changedMovesToTheEnd", "", {{"a", "1"}, {"bb", "22"}, {"a", "3"}},
                std::string("bb=22\0a=3\0\0", 11)},
        SetCase{"removeOnly", "", {{"a", "1"}, {"a", ""}}, std::string("\0\0", 2)},
        SetCase{"removeLast", "", {{"a", "1"}, {"bb", "22"}, {"bb", ""}},
                std::string("a=1\0\0\0", 6)},
        SetCase{"removeFirst", "", {{"a", "1"}, {"bb", "22"}, {"a", ""}},
                std::string("bb=22\0\0", 7)},
        SetCase{"removeAbsent", std::string("a=1\0", 4), {{"zz", ""}}, std::string("a=1\0\0", 5)},
        SetCase{"prefixIsAnotherName", std::string("ab=5\0", 5), {{"a", "1"}},
                std::string("ab=5\0a=1\0\0", 10)},
        SetCase{"longerNameIsAnotherName", std::string("a=5\0", 4), {{"ab", "1"}},
                std::string("a=5\0ab=1\0\0", 10)},
        SetCase{"valueWithEqualsAndSpaces", "", {{"rdinit", "rdinit=/init x"}},
                std::string("rdinit=rdinit=/init x\0\0", 23)},
        SetCase{"caseSensitive", std::string("A=1\0", 4), {{"a", "2"}},
                std::string("A=1\0a=2\0\0", 9)},
        SetCase{"entryWithoutEqualsIsKept", std::string("junk\0a=1\0", 9), {{"junk", "2"}},
                std::string("junk\0a=1\0junk=2\0\0", 17)}),
    [](const ::testing::TestParamInfo<SetCase>& info) { return std::string(info.param.what); });

TEST(NvData, GetNvCopiesAtMostTheLengthAndEndsIt)
{
    MemoryNv device(std::string("name=hello\0", 11));
    NvData store(&device);
    char buf[8];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(2, store.getNv("name", buf, 2));
    EXPECT_EQ(std::string("he\0#", 4), std::string(buf, 4));
    EXPECT_EQ(5, store.getNv("name", buf, 7));
    EXPECT_STREQ("hello", buf);
}

TEST(NvData, AbsentVariableIsAnEmptyString)
{
    MemoryNv device(std::string("ab=5\0", 5));
    NvData store(&device);
    char buf[8] = "xxxxxxx";
    EXPECT_EQ(0, store.getNv("a", buf, 7));
    EXPECT_STREQ("", buf);
}

// 500 bytes of entries leave 8 free, counting the new terminating NUL.
std::string fullImage()
{
    std::string initial = std::string("old=1\0", 6) + "filler=" + std::string(486, 'f');
    initial.push_back('\0');
    return initial;
}

TEST(NvData, OverflowReportsTheSpaceAndLeavesTheDeviceAlone)
{
    ASSERT_EQ(500u, fullImage().size());
    const struct {
        const char* name;
        const char* value;
        const char* message; // null: it fits
    } cases[] = {
        {"a", "bcde", nullptr}, // 1 + 4 + 3 = 8: exactly fits
        {"a", "bcdef", "\"a\" deleted; len[9], varSize[8]\n"},
        {"abc", "defgh", "\"abc\" deleted; len[11], varSize[8]\n"},
    };
    for (const auto& c : cases) {
        MemoryNv device(fullImage());
        NvData store(&device);
        LogCapture log;
        int rc = store.setNv(c.name, c.value);
        if (!c.message) {
            EXPECT_EQ(0, rc) << c.name;
            EXPECT_EQ(1, device.writes);
            EXPECT_EQ(std::string("a=bcde\0\0", 8), device.image().substr(500));
            continue;
        }
        EXPECT_EQ(-1, rc) << c.name;
        EXPECT_EQ(0, device.writes) << c.name;
        EXPECT_EQ(1, log.count(std::string("ERROR:NvData::set() Error: NvData overflow, ") +
                               c.message))
            << c.name;
    }
}

TEST(NvData, OversizedValueNeverWritesPastTheImage)
{
    MemoryNv device("");
    NvData store(&device);
    std::string huge(100000, 'v');
    EXPECT_EQ(-1, store.setNv("x", huge.c_str()));
    EXPECT_EQ(0, device.writes);
    EXPECT_EQ("", value(store, "x"));
}

struct TokenCase {
    const char* what;
    const char* container; // null: no "qvt_param"
    const char* newValue;
    int result;
    const char* containerAfter; // null: nothing written
};

class ContainerToken : public ::testing::TestWithParam<TokenCase> {};

TEST_P(ContainerToken, SetRewritesTheContainer)
{
    const TokenCase& c = GetParam();
    std::string initial = "other=1";
    initial.push_back('\0');
    if (c.container) {
        initial += std::string("qvt_param=") + c.container;
        initial.push_back('\0');
    }
    MemoryNv device(initial);
    NvData store(&device);
    EXPECT_EQ(c.result, store.setNv("res", c.newValue));
    EXPECT_EQ(c.containerAfter ? 1 : 0, device.writes);
    if (c.containerAfter) {
        EXPECT_EQ(c.containerAfter, value(store, "qvt_param"));
        EXPECT_EQ("1", value(store, "other"));
        EXPECT_TRUE(device.crcIsFresh());
    }
    EXPECT_EQ("", value(store, "res=")); // never an entry of its own
}

INSTANTIATE_TEST_SUITE_P(
    NvData, ContainerToken,
    ::testing::Values(
        TokenCase{"middle", "mode=1 res=800 x=2", "1024", 0, "res=1024 mode=1  x=2"},
        TokenCase{"first", "res=800 x=2", "1024", 0, "res=1024 x=2"},
        TokenCase{"last", "mode=1 res=800", "640", 0, "res=640 mode=1 "},
        TokenCase{"unchanged", "mode=1 res=800", "800", 0, nullptr},
        TokenCase{"noToken", "mode=1 x=2", "1024", 0, nullptr},
        TokenCase{"noEquals", "mode=1 res", "1024", 0, nullptr},
        TokenCase{"noContainer", nullptr, "1024", -1, nullptr}),
    [](const ::testing::TestParamInfo<TokenCase>& info) { return std::string(info.param.what); });

TEST(NvData, GetNvReadsContainerTokens)
{
    const struct {
        const char* container;
        int result;
        const char* text;
    } cases[] = {
        {"mode=1 res=1024 x=2", 4, "1024"},
        {"res=  640\tx=2", 3, "640"},
        {"res=", 0, ""},
        {"res= ", 0, ""},
        {"mode=1", 0, ""},
        {"res", 0, ""},
    };
    for (const auto& c : cases) {
        std::string initial = std::string("qvt_param=") + c.container;
        initial.push_back('\0');
        MemoryNv device(initial);
        NvData store(&device);
        char buf[16];
        memset(buf, '#', sizeof buf);
        EXPECT_EQ(c.result, store.getNv("res", buf, 15)) << c.container;
        EXPECT_STREQ(c.text, buf) << c.container;
    }
    MemoryNv device(std::string("qvt_param=res=1024\0", 19));
    NvData store(&device);
    char buf[4];
    EXPECT_EQ(2, store.getNv("res", buf, 2));
    EXPECT_STREQ("10", buf);
}

TEST(NvData, ChangedTokenReadsBack)
{
    MemoryNv device(std::string("qvt_param=mode=1 res=800 x=2\0", 29));
    NvData store(&device);
    ASSERT_EQ(0, store.setNv("res", "1024"));
    EXPECT_EQ("1024", value(store, "res"));
}

TEST(NvData, ChecksumMismatchLoadsAnEmptyStore)
{
    MemoryNv device(std::string("a=1\0b=2\0", 8));
    device.corruptCrc();
    LogCapture log;
    NvData store(&device);
    EXPECT_EQ(1, log.count("ERROR:NvData::NvData Mismatch CRC \n"));
    EXPECT_TRUE(store.isDataValid());
    EXPECT_TRUE(store.wasCrcMismatch());
    EXPECT_EQ("", value(store, "a"));
    EXPECT_EQ(0, device.writes);
    ASSERT_EQ(0, store.setNv("c", "3"));
    EXPECT_EQ(std::string("c=3\0\0", 5) + std::string(503, '\0'), device.image());
}

TEST(NvData, GoodChecksumIsLogged)
{
    MemoryNv device("");
    LogCapture log;
    NvData store(&device);
    EXPECT_EQ(1, log.count("Info :NvData::NvData Good CRC\n"));
    EXPECT_FALSE(store.wasCrcMismatch());
}

TEST(NvData, FailedLoadRefusesEverything)
{
    MemoryNv device(std::string("a=1\0", 4));
    device.readFails = true;
    LogCapture log;
    NvData store(&device);
    EXPECT_EQ(1, log.count("ERROR:NvData::NvData Failed getData\n"));
    EXPECT_FALSE(store.isDataValid());
    EXPECT_EQ(-1, store.setNv("a", "2"));
    EXPECT_EQ(1, log.count("WARN :NvData::setNv isDataValid() == FALSE, value not written\n"));
    char buf[8];
    EXPECT_EQ(-1, store.getNv("a", buf, 7));
    EXPECT_EQ(1, log.count("WARN :NvData::getNv isDataValid() == FALSE, value not read\n"));
    store.setInitMode(true);
    EXPECT_TRUE(store.getInitMode());
    EXPECT_EQ(-1, store.setNv("a", "2")); // gets past the first test, but flush refuses
    EXPECT_EQ(0, device.writes);
}

TEST(NvData, WithoutADevice)
{
    NvData store(nullptr);
    EXPECT_FALSE(store.isDataValid());
    EXPECT_EQ(0, store.getRunFlag());
    EXPECT_EQ(-1, store.setRunFlag(1));
    store.setInitMode(true);
    EXPECT_EQ(-1, store.setNv("a", "1"));
    EXPECT_EQ(nullptr, store.getEntry(0));
}

TEST(NvData, BadCallsAreWarnedAndRefused)
{
    MemoryNv device("");
    NvData store(&device);
    LogCapture log;
    char buf[4];
    EXPECT_EQ(-1, store.setNv("a", nullptr));
    EXPECT_EQ(-1, store.setNv(nullptr, "1"));
    EXPECT_EQ(-1, store.getNv("a", nullptr, 3));
    EXPECT_EQ(-1, store.getNv(nullptr, buf, 3));
    EXPECT_EQ(-1, store.getNv("a", buf, -1));
    for (const char* text : {"NvData::setNv val==NULL", "NvData::setNv name==NULL",
                             "NvData::getNv buf==NULL", "NvData::getNv name==NULL",
                             "NvData::getNv len<0"})
        EXPECT_EQ(1, log.count(std::string("WARN :") + text + "\n")) << text;
    EXPECT_EQ(0, device.writes);
}

TEST(NvData, DeviceFailureIsReturned)
{
    MemoryNv device("");
    device.setResult = -2;
    NvData store(&device);
    EXPECT_EQ(-2, store.setNv("a", "1"));
}

TEST(NvData, EntriesListInImageOrder)
{
    MemoryNv device(std::string("a=1\0b=x y\0\0c=3\0", 15));
    NvData store(&device);
    EXPECT_STREQ("a=1", store.getEntry(0));
    EXPECT_STREQ("b=x y", store.getEntry(1));
    EXPECT_EQ(nullptr, store.getEntry(2)); // after the empty entry nothing counts
    EXPECT_EQ(nullptr, store.getEntry(-1));
}

// Images a healthy store never writes: no terminating empty entry, the last
// entry cut off by the end of the image, entries without '='. Every operation
// stays inside the image (the sanitizer build checks the accesses).
struct CorruptCase {
    const char* what;
    std::string image; // the whole image
};

class CorruptImage : public ::testing::TestWithParam<CorruptCase> {};

TEST_P(CorruptImage, OperationsStayInside)
{
    const CorruptCase& c = GetParam();
    MemoryNv device(c.image, c.image.size());
    NvData store(&device);
    ASSERT_TRUE(store.isDataValid());
    for (const char* name : {"a", "b", "c", "cc", "qvt_param", "res", "zz", ""})
        EXPECT_NE("<error>", value(store, name, 64)) << name;
    for (int i = 0; store.getEntry(i); i++)
        EXPECT_LT(strlen(store.getEntry(i)), c.image.size());
    const std::string big(c.image.size(), 'q');
    for (const auto& op : Ops{{"res", "9"}, {"zz", "1"}, {"b", ""}, {"a", ""}, {"zz", "22"},
                              {"c", big.c_str()}})
        store.setNv(op.first, op.second);
    EXPECT_EQ(c.image.size(), device.image().size());
    EXPECT_TRUE(device.crcIsFresh());
}

INSTANTIATE_TEST_SUITE_P(
    NvData, CorruptImage,
    ::testing::Values(
        CorruptCase{"noNulAtAll", std::string(508, 'x')},
        CorruptCase{"noEqualsNoNul", std::string(16, '=')},
        CorruptCase{"fullNoEmptyEntry", std::string("a=1\0b=2\0", 8)},
        CorruptCase{"lastEntryCutOff", std::string("a=1\0b=2\0cc=3", 12)},
        CorruptCase{"entriesWithoutEquals", std::string("abc\0de\0a\0b\0c", 13)},
        CorruptCase{"containerCutOff", std::string("a=1\0qvt_param=res=12", 20)},
        CorruptCase{"containerLast", std::string("qvt_param=mode res=\0", 20)}),
    [](const ::testing::TestParamInfo<CorruptCase>& info) { return std::string(info.param.what); });

TEST(NvData, CutOffEntryIsNotAVariable)
{
    MemoryNv device(std::string("a=1\0b=2\0cc=3", 12), 12);
    NvData store(&device);
    EXPECT_EQ("2", value(store, "b"));
    EXPECT_EQ("", value(store, "cc"));
    ASSERT_EQ(0, store.setNv("a", ""));
    EXPECT_EQ(std::string("b=2\0", 4), device.image().substr(0, 4));
    EXPECT_EQ(0, store.setNv("d", "4")); // takes the place of the cut-off bytes
    EXPECT_EQ(std::string("b=2\0d=4\0\0", 9), device.image().substr(0, 9));
}

TEST(NvData, FullImageWithoutEmptyEntry)
{
    MemoryNv device(std::string("a=1\0b=2\0", 8), 8);
    NvData store(&device);
    EXPECT_EQ("2", value(store, "b"));
    EXPECT_EQ(-1, store.setNv("c", "3"));
    ASSERT_EQ(0, store.setNv("a", ""));
    EXPECT_EQ(std::string("b=2\0\0", 5), device.image().substr(0, 5));
}

} // namespace
