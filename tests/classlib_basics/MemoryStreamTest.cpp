#include "AnsiString.h"
#include "Exceptions.h"
#include "FileContents.h"
#include "MemoryStream.h"
#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <vector>

namespace {

std::vector<char> Bytes(const TMemoryStream &stream)
{
    const char *memory = static_cast<const char *>(stream.Memory());
    return std::vector<char>(memory, memory + stream.Size());
}

TEST(MemoryStream, StartsEmpty)
{
    TMemoryStream stream;
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
    char buffer[4] = {1, 2, 3, 4};
    EXPECT_EQ(stream.Read(buffer, 4), 0);
    EXPECT_EQ(buffer[0], 1) << "a read from an empty stream copies nothing";
}

TEST(MemoryStream, GrowsByAppendingAndKeepsEveryByte)
{
    // Many small writes, as the scan records arrive, then one big block.
    TMemoryStream stream;
    for (int i = 0; i < 100000; ++i) {
        char byte = static_cast<char>(i * 7);
        ASSERT_EQ(stream.Write(&byte, 1), 1);
    }
    std::vector<char> block(712800, '\x5a');
    EXPECT_EQ(stream.Write(block.data(), static_cast<int>(block.size())), 712800);
    EXPECT_EQ(stream.Size(), 100000 + 712800);
    EXPECT_EQ(stream.Position(), stream.Size());
    const char *memory = static_cast<const char *>(stream.Memory());
    for (int i = 0; i < 100000; ++i)
        ASSERT_EQ(memory[i], static_cast<char>(i * 7)) << "byte " << i;
    EXPECT_EQ(memory[stream.Size() - 1], '\x5a');
}

TEST(MemoryStream, ReadsWhatLiesBeforeTheEnd)
{
    TMemoryStream stream;
    stream.Write("0123456789", 10);
    EXPECT_EQ(stream.Seek(-4, soFromEnd), 6);
    char buffer[16] = {};
    EXPECT_EQ(stream.Read(buffer, 16), 4) << "a read past the end gives what is there";
    EXPECT_STREQ(buffer, "6789");
    EXPECT_EQ(stream.Position(), 10);
    EXPECT_EQ(stream.Read(buffer, 1), 0);

    stream.SetPosition(20); // beyond the end: allowed, reads nothing
    EXPECT_EQ(stream.Read(buffer, 1), 0);
    EXPECT_EQ(stream.Position(), 20);
}

struct SeekCase {
    int offset;
    int origin;
    int expected;
};

std::ostream &operator<<(std::ostream &out, const SeekCase &c)
{
    return out << "Seek(" << c.offset << ", origin " << c.origin << ")";
}

class MemoryStreamSeek : public ::testing::TestWithParam<SeekCase> {};

TEST_P(MemoryStreamSeek, MovesFromItsOrigin)
{
    const SeekCase &c = GetParam();
    TMemoryStream stream;
    stream.Write("0123456789", 10);
    stream.SetPosition(4);
    EXPECT_EQ(stream.Seek(c.offset, c.origin), c.expected);
    EXPECT_EQ(stream.Position(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, MemoryStreamSeek,
                         ::testing::Values(SeekCase{3, soFromBeginning, 3}, SeekCase{2, soFromCurrent, 6},
                                           SeekCase{-4, soFromCurrent, 0}, SeekCase{0, soFromEnd, 10},
                                           SeekCase{5, soFromEnd, 15},
                                           SeekCase{-1, soFromBeginning, 4}, // refused: stays
                                           SeekCase{-20, soFromEnd, 4}, SeekCase{1, 7, 4}));

TEST(MemoryStream, WritesOverAndPastTheEnd)
{
    TMemoryStream stream;
    stream.Write("abcdef", 6);
    stream.SetPosition(2);
    stream.Write("XY", 2);
    EXPECT_EQ(stream.Size(), 6) << "overwriting inside keeps the size";
    EXPECT_EQ(Bytes(stream), std::vector<char>({'a', 'b', 'X', 'Y', 'e', 'f'}));

    stream.Seek(2, soFromEnd);
    stream.Write("Z", 1);
    EXPECT_EQ(Bytes(stream), std::vector<char>({'a', 'b', 'X', 'Y', 'e', 'f', '\0', '\0', 'Z'}))
        << "the gap is filled with zero bytes";
}

TEST(MemoryStream, SetSizeAndClear)
{
    TMemoryStream stream;
    stream.Write("abcdef", 6);
    EXPECT_TRUE(stream.SetSize(3));
    EXPECT_EQ(stream.Position(), 3) << "the position follows a shorter end";
    EXPECT_TRUE(stream.SetSize(5));
    EXPECT_EQ(Bytes(stream), std::vector<char>({'a', 'b', 'c', '\0', '\0'}));
    EXPECT_FALSE(stream.SetSize(-1));
    EXPECT_EQ(stream.Size(), 5);

    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
    stream.Write("q", 1);
    EXPECT_EQ(Bytes(stream), std::vector<char>({'q'}));
}

TEST(MemoryStream, RefusesBadArguments)
{
    TMemoryStream stream;
    EXPECT_EQ(stream.Write(nullptr, 5), 0);
    EXPECT_EQ(stream.Write("a", 0), 0);
    EXPECT_EQ(stream.Write("a", -1), 0);
    EXPECT_EQ(stream.Size(), 0);
    stream.Write("abc", 3);
    stream.SetPosition(0);
    EXPECT_EQ(stream.Read(nullptr, 3), 0);
    EXPECT_EQ(stream.Position(), 0);
    // A size that no int can hold is refused without touching the stream.
    stream.SetPosition(0x7ffffff0);
    EXPECT_EQ(stream.Write("0123456789abcdefghij", 20), 0);
    EXPECT_EQ(stream.Size(), 3);
}

// Files by their Windows paths in a machine root of the test's own.
class MemoryStreamFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fRoot.Made()); }
    testsupport::TempMachineRoot fRoot{"arv-stream"};
};

TEST_F(MemoryStreamFile, SavesAndLoadsExactlyTheBytes)
{
    const AnsiString name = AnsiString(machine::kTempDir) + "\\config.inc";
    TMemoryStream stream;
    std::string bytes = "D:\\Scans\\\xd6\xd0\xce\xc4";
    bytes += std::string("\0\r\n", 3);
    stream.Write(bytes.data(), static_cast<int>(bytes.size()));
    ASSERT_NO_THROW(stream.SaveToFile(name));
    const std::string file = fRoot.Path() + "/drives/c/Documents and Settings/User/Local Settings/Temp/config.inc";
    EXPECT_EQ(testsupport::ReadText(file), bytes) << "no terminator, no translation";

    TMemoryStream loaded;
    loaded.Write("old", 3);
    ASSERT_NO_THROW(loaded.LoadFromFile(name));
    EXPECT_EQ(loaded.Position(), 0);
    ASSERT_EQ(loaded.Size(), static_cast<int>(bytes.size()));
    EXPECT_EQ(std::string(static_cast<const char *>(loaded.Memory()), bytes.size()), bytes);

    // A bigger file than any single read.
    TMemoryStream big;
    std::vector<char> block(300000);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i % 251);
    big.Write(block.data(), static_cast<int>(block.size()));
    ASSERT_NO_THROW(big.SaveToFile(name));
    ASSERT_NO_THROW(loaded.LoadFromFile(name));
    EXPECT_EQ(Bytes(loaded), block);

    TMemoryStream empty;
    ASSERT_NO_THROW(empty.SaveToFile(name));
    ASSERT_NO_THROW(loaded.LoadFromFile(name));
    EXPECT_EQ(loaded.Size(), 0);
}

TEST_F(MemoryStreamFile, AFileThatCannotBeOpenedRaisesAndLeavesTheStream)
{
    const std::string folder = fRoot.Scratch("plain");
    ASSERT_FALSE(folder.empty());
    // A missing file, no name, a bad name, and a name that is a folder.
    const AnsiString names[] = {"C:\\no such folder\\file", "", "C:\\bad|name",
                                machine::WindowsPath(folder).c_str()};
    TMemoryStream stream;
    stream.Write("kept", 4);
    stream.SetPosition(2);
    for (const AnsiString &name : names) {
        SCOPED_TRACE(name.c_str());
        try {
            stream.LoadFromFile(name);
            ADD_FAILURE() << "no error raised";
        } catch (const EFOpenError &error) {
            EXPECT_EQ(error.Message(), "Cannot open file \"" + name + "\"");
        }
        EXPECT_EQ(Bytes(stream), std::vector<char>({'k', 'e', 'p', 't'}));
        EXPECT_EQ(stream.Position(), 2);
    }
}

TEST_F(MemoryStreamFile, AFileThatCannotBeCreatedRaises)
{
    const std::string folder = fRoot.Scratch("taken");
    ASSERT_FALSE(folder.empty());
    TMemoryStream stream;
    stream.Write("data", 4);
    // A missing folder, a bad name, and a name that is a folder.
    const AnsiString names[] = {"C:\\no such folder\\file", "C:\\bad|name", "",
                                machine::WindowsPath(folder).c_str()};
    for (const AnsiString &name : names) {
        SCOPED_TRACE(name.c_str());
        try {
            stream.SaveToFile(name);
            ADD_FAILURE() << "no error raised";
        } catch (const EFCreateError &error) {
            EXPECT_EQ(error.Message(), "Cannot create file \"" + name + "\"");
        }
    }
    // All of them belong to the class library's family, so a program's
    // handler for Exception shows them.
    EXPECT_THROW(stream.SaveToFile(names[0]), Exception);
    EXPECT_THROW(stream.SaveToFile(names[0]), EStreamError);
}

TEST_F(MemoryStreamFile, AWriteThatCannotBeFinishedRaises)
{
    // /dev/full takes the open but refuses every byte: the file is not
    // reported as saved.
    TMemoryStream stream;
    stream.Write("data", 4);
    EXPECT_THROW(stream.SaveToFile("Z:\\dev\\full"), EWriteError);
    TMemoryStream empty;
    EXPECT_NO_THROW(empty.SaveToFile("Z:\\dev\\full")) << "nothing to write, nothing refused";
}

} // namespace
