#include "driver/records/Sha256.h"

#include "driver/records/Messages.h"

#include <openssl/evp.h>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace records {

namespace {

struct FreeContext {
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};

class Digest {
public:
    Digest() : context_(EVP_MD_CTX_new())
    {
        ok_ = context_ && EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) == 1;
    }
    void Add(const void* data, std::size_t size) { ok_ = ok_ && EVP_DigestUpdate(context_.get(), data, size) == 1; }
    // Empty when the library failed, which it does only out of memory.
    std::string Hex()
    {
        std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
        unsigned size = 0;
        if (!ok_ || EVP_DigestFinal_ex(context_.get(), digest.data(), &size) != 1)
            return {};
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string out;
        for (unsigned i = 0; i < size; ++i) {
            out += kDigits[digest[i] >> 4];
            out += kDigits[digest[i] & 15];
        }
        return out;
    }

private:
    std::unique_ptr<EVP_MD_CTX, FreeContext> context_;
    bool ok_ = false;
};

}  // namespace

std::string Sha256(std::span<const std::uint8_t> bytes)
{
    Digest d;
    d.Add(bytes.data(), bytes.size());
    return d.Hex();
}

std::optional<std::string> FileSha256(const std::string& path, std::string& error)
{
    const auto fail = [&](int err) {
        error = text::Fill(msg::kUnreadable, {path, std::generic_category().message(err)});
        return std::nullopt;
    };
    // Not blocking on a FIFO; only a regular file is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return fail(errno);
    struct stat st {};
    const int err = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : S_ISREG(st.st_mode) ? 0 : EINVAL;
    if (err != 0) {
        ::close(fd);
        return fail(err);
    }
    Digest d;
    std::array<unsigned char, 65536> buffer;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return fail(err);
        }
        if (n == 0)
            break;
        d.Add(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    std::string hex = d.Hex();
    if (hex.empty())
        return fail(ENOMEM);
    return hex;
}

}  // namespace records
