#include "common/textfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "common/errors.h"

namespace suite {
namespace {

namespace fs = std::filesystem;

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("suite_textfile_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    fs::path dir_;
};

TEST(LineEnds, SplitsAtEveryKindOfLineEnd) {
    using V = std::vector<std::string>;
    EXPECT_EQ(split_lines("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(split_lines("a\nb\n"), (V{"a", "b"}));
    EXPECT_EQ(split_lines("a\rb\r"), (V{"a", "b"}));
    EXPECT_EQ(split_lines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));  // mixed, last without end
    EXPECT_EQ(split_lines("a\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(split_lines("a\r\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(split_lines("\n"), (V{""}));
    EXPECT_EQ(split_lines(""), V{});
}

TEST(CodePage, RoundTripsPortugueseTexts) {
    for (const std::string text : {"Número", "Pólos", "Análise", "Tolerância", "€ – “x”", "ç ã õ ü"}) {
        const std::string bytes = utf8_to_cp1252(text);
        EXPECT_LT(bytes.size(), text.size()) << text;  // one byte per character
        EXPECT_EQ(cp1252_to_utf8(bytes), text);
        EXPECT_EQ(decode_line(bytes), text);  // read as code page 1252
        EXPECT_EQ(decode_line(text), text);   // read as UTF-8
    }
    EXPECT_EQ(utf8_to_cp1252("Número"), "N\xfamero");
    EXPECT_EQ(utf8_to_cp1252("Ω"), "?");
    EXPECT_EQ(cp1252_to_utf8("\x80"), "€");
    EXPECT_EQ(decode_line("\xc3\x28"), "Ã(");  // invalid UTF-8 is code page 1252
}

// Bytes 0x80..0x9F pinned to their code points one by one (a round trip
// through one table would not see two of them swapped).
TEST(CodePage, TheHighControlRangeByByte) {
    const char* const glyphs[32] = {
        "€",      "\u0081", "‚", "ƒ", "„", "…", "†", "‡", "ˆ", "‰", "Š", "‹", "Œ", "\u008d", "Ž", "\u008f",
        "\u0090", "‘",      "’", "“", "”", "•", "–", "—", "˜", "™", "š", "›", "œ", "\u009d", "ž", "Ÿ"};
    for (int k = 0; k < 32; ++k) {
        const std::string byte(1, static_cast<char>(0x80 + k));
        EXPECT_EQ(cp1252_to_utf8(byte), glyphs[k]) << std::hex << 0x80 + k;
        EXPECT_EQ(utf8_to_cp1252(glyphs[k]), byte) << std::hex << 0x80 + k;
    }
    EXPECT_EQ(utf8_to_cp1252("“Pólos”"), "\x93P\xf3los\x94");
    EXPECT_EQ(cp1252_to_utf8("\xa0\xff"), "\u00a0ÿ");  // from 0xA0 on, Latin-1
}

TEST_F(TempDir, WritesCodePageWithCrLfAndReadsBack) {
    const std::vector<std::string> lines = {"Número de nós: 3", "", "Pólos"};
    write_text_file(path("a.txt"), lines);
    EXPECT_EQ(read_file_bytes(path("a.txt")), "N\xfamero de n\xf3s: 3\r\n\r\nP\xf3los\r\n");
    EXPECT_EQ(read_text_lines(path("a.txt")), lines);
    EXPECT_EQ(read_text(path("a.txt")), "Número de nós: 3\n\nPólos\n");
}

TEST_F(TempDir, ReadingAMissingFileNamesIt) {
    try {
        read_text_lines(path("none.net"));
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("none.net"), std::string::npos);
    }
    EXPECT_FALSE(file_exists(path("none.net")));
}

TEST_F(TempDir, AFolderIsNotReadAsAnEmptyFile) {
    fs::create_directories(path("tables.tsp"));
    EXPECT_THROW(read_file_bytes(path("tables.tsp")), IoError);
}

TEST_F(TempDir, ALargeFileIsReadWhole) {
    std::string bytes;
    for (int i = 0; bytes.size() < 100000; ++i) bytes += std::to_string(i) + (i % 7 ? " " : "\r\n");
    std::ofstream(path("big.net"), std::ios::binary) << bytes;
    EXPECT_EQ(read_file_bytes(path("big.net")), bytes);
}

TEST_F(TempDir, SaveReplacesTheFileAndLeavesNoTemporary) {
    write_text_file(path("t.tab"), {"old"});
    ::chmod(path("t.tab").c_str(), 0640);
    write_text_file(path("t.tab"), {"new", "lines"});
    EXPECT_EQ(read_file_bytes(path("t.tab")), "new\r\nlines\r\n");
    EXPECT_EQ(fs::status(path("t.tab")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(TempDir, SaveThroughASymbolicLinkKeepsTheLink) {
    write_text_file(path("real.net"), {"1"});
    fs::create_symlink(path("real.net"), path("link.net"));
    write_text_file(path("link.net"), {"2"});
    EXPECT_TRUE(fs::is_symlink(path("link.net")));
    EXPECT_EQ(read_file_bytes(path("real.net")), "2\r\n");
}

TEST_F(TempDir, FailedSaveKeepsThePreviousFile) {
    write_text_file(path("keep.tsp"), {"previous"});
    if (::geteuid() != 0) {  // root writes into read-only folders
        fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_THROW(write_text_file(path("keep.tsp"), {"next"}), IoError);
        fs::permissions(dir_, fs::perms::owner_all);
        EXPECT_EQ(read_file_bytes(path("keep.tsp")), "previous\r\n");
    }
    EXPECT_THROW(write_text_file(path("no/such/folder/x.tab"), {"x"}), IoError);
    EXPECT_EQ(entries(), 1u);
}

// The file errors in both wordings: English for the editor, Portuguese for
// the analysis program and the viewer.
TEST_F(TempDir, FileErrorsInEnglishAndPortuguese) {
    const std::string missing = path("no/such/x.tab");
    try {
        write_text_file(missing, {"x"});
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write file \"" + missing + "\": No such file or directory");
        EXPECT_EQ(e.portuguese(),
                  "Não foi possível gravar o arquivo \"" + missing + "\": arquivo ou diretório inexistente");
    }
    try {
        read_file_bytes(path("none.net"));
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.portuguese(), "Não foi possível abrir o arquivo \"" + path("none.net") +
                                      "\": arquivo ou diretório inexistente");
    }
    fs::create_directories(path("folder.net"));
    try {
        read_file_bytes(path("folder.net"));
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.portuguese(),
                  "Não foi possível ler o arquivo \"" + path("folder.net") + "\": é um diretório");
    }
    // A message given in one wording only is the same in both.
    EXPECT_EQ(IoError("Número inválido").portuguese(), "Número inválido");
}

TEST(SafeWriter, FullDeviceReportsTheError) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    try {
        write_text_file("/dev/full", {"data"});
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("/dev/full"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

}  // namespace
}  // namespace suite
