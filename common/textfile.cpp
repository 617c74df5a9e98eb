#include "common/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/errors.h"

namespace suite {
namespace {

// Unicode code points of bytes 0x80..0x9F in code page 1252.
constexpr char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at s[i]; returns its length, 0 when invalid.
std::size_t utf8_sequence(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        n = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        n = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        n = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

// The system's error texts in Portuguese, for the errors a file can meet;
// any other keeps the system's own text after its number.
std::string portuguese_errno(int err) {
    switch (err) {
        case ENOENT:
            return "arquivo ou diretório inexistente";
        case EACCES:
            return "permissão negada";
        case EPERM:
            return "operação não permitida";
        case ENOSPC:
            return "não há espaço disponível no dispositivo";
        case EDQUOT:
            return "cota de disco excedida";
        case EROFS:
            return "sistema de arquivos somente para leitura";
        case EISDIR:
            return "é um diretório";
        case ENOTDIR:
            return "não é um diretório";
        case EEXIST:
            return "o arquivo já existe";
        case EIO:
            return "erro de entrada e saída";
        case ENAMETOOLONG:
            return "nome de arquivo longo demais";
        case EMFILE:
        case ENFILE:
            return "arquivos abertos demais";
        case EFBIG:
            return "arquivo grande demais";
        case EBUSY:
            return "dispositivo ou recurso ocupado";
        case ELOOP:
            return "ligações simbólicas demais";
        default:
            return "erro " + std::to_string(err) + " (" + std::strerror(err) + ")";
    }
}

enum class FileAction { open, read, write };

[[noreturn]] void throw_io(FileAction action, const std::string& path, int err) {
    static const char* const english[] = {"Cannot open file", "Cannot read file", "Cannot write file"};
    static const char* const portuguese[] = {"Não foi possível abrir o arquivo",
                                             "Não foi possível ler o arquivo",
                                             "Não foi possível gravar o arquivo"};
    const auto k = static_cast<int>(action);
    throw IoError(std::string(english[k]) + " \"" + path + "\": " + std::strerror(err),
                  std::string(portuguese[k]) + " \"" + path + "\": " + portuguese_errno(err));
}

bool write_all(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string cp1252_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else if (b < 0xA0)
            append_utf8(out, kHigh[b - 0x80]);
        else
            append_utf8(out, b);
    }
    return out;
}

std::string utf8_to_cp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        const std::size_t n = utf8_sequence(utf8, i, cp);
        if (n == 0) {  // not UTF-8: keep the byte as it is
            out += utf8[i++];
            continue;
        }
        i += n;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        char byte = '?';
        for (int k = 0; k < 32; ++k)
            if (kHigh[k] == cp) byte = static_cast<char>(0x80 + k);
        out += byte;
    }
    return out;
}

bool is_valid_utf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const std::size_t n = utf8_sequence(bytes, i, cp);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string decode_line(std::string_view raw) {
    bool ascii = true;
    for (char c : raw)
        if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    if (ascii) return std::string(raw);
    if (is_valid_utf8(raw)) return std::string(raw);
    return cp1252_to_utf8(raw);
}

std::vector<std::string> split_lines(std::string_view content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (content[i] != '\r' && content[i] != '\n') continue;
        lines.emplace_back(content.substr(start, i - start));
        if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < content.size()) lines.emplace_back(content.substr(start));
    return lines;
}

// Plain reads into the string, sized from the file: no stream buffers.
std::string read_file_bytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw_io(FileAction::open, path, errno);
    std::string data;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        data.reserve(static_cast<std::size_t>(st.st_size));
    char block[16384];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n > 0) {
            data.append(block, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            const int err = errno;
            ::close(fd);
            throw_io(FileAction::read, path, err);
        }
    }
    ::close(fd);
    return data;
}

std::vector<std::string> read_text_lines(const std::string& path) {
    std::vector<std::string> lines = split_lines(read_file_bytes(path));
    for (auto& line : lines) line = decode_line(line);
    return lines;
}

std::string read_text(const std::string& path) {
    const std::string bytes = read_file_bytes(path);
    const std::vector<std::string> lines = split_lines(bytes);
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += decode_line(lines[i]);
        if (i + 1 < lines.size()) text += '\n';
    }
    if (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) text += '\n';
    return text;
}

bool file_exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

void write_file_atomically(const std::string& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path);
    // Write through a symbolic link to the file it names.
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        // Devices and pipes cannot be replaced: write them in place.
        const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0) throw_io(FileAction::write, path, errno);
        const bool ok = write_all(fd, bytes);
        const int err = errno;
        if (::close(fd) != 0 || !ok) throw_io(FileAction::write, path, ok ? errno : err);
        return;
    }
    static std::atomic<unsigned> counter{0};
    const fs::path temp =
        target.parent_path() / ("." + target.filename().string() + ".tmp" + std::to_string(::getpid()) + "_" +
                                std::to_string(counter++));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) throw_io(FileAction::write, path, errno);
    int err = 0;
    if (!write_all(fd, bytes)) err = errno;
    if (err == 0 && exists) ::fchmod(fd, st.st_mode & 07777);
    if (err == 0 && ::fsync(fd) != 0 && errno != EINVAL) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        throw_io(FileAction::write, path, err);
    }
}

void write_text_file(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += utf8_to_cp1252(line);
        bytes += "\r\n";
    }
    write_file_atomically(path, bytes);
}

}  // namespace suite
