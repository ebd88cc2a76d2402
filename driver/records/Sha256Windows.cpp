#include "driver/records/Sha256.h"

#include "driver/records/Messages.h"

#include <windows.h>

#include <bcrypt.h>

#include <array>
#include <cerrno>
#include <system_error>

namespace records {

namespace {

// Windows' own SHA-256 (CNG). The provider is opened once for the process:
// opening it costs more than hashing a profile, and a handle serves any
// thread.
BCRYPT_ALG_HANDLE Algorithm()
{
    static const BCRYPT_ALG_HANDLE algorithm = [] {
        BCRYPT_ALG_HANDLE h = nullptr;
        return BCryptOpenAlgorithmProvider(&h, BCRYPT_SHA256_ALGORITHM, nullptr, 0) >= 0 ? h : nullptr;
    }();
    return algorithm;
}

class Digest {
public:
    Digest() { ok_ = Algorithm() && BCryptCreateHash(Algorithm(), &hash_, nullptr, 0, nullptr, 0, 0) >= 0; }
    ~Digest()
    {
        if (hash_)
            BCryptDestroyHash(hash_);
    }
    Digest(const Digest&) = delete;
    Digest& operator=(const Digest&) = delete;

    void Add(const void* data, std::size_t size)
    {
        // CNG takes a ULONG of bytes at a time.
        const auto* p = static_cast<const UCHAR*>(data);
        while (ok_ && size > 0) {
            const ULONG n = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
            ok_ = BCryptHashData(hash_, const_cast<UCHAR*>(p), n, 0) >= 0;
            p += n;
            size -= n;
        }
    }
    // Empty when the system failed, which it does only out of memory.
    std::string Hex()
    {
        std::array<UCHAR, 32> digest{};
        if (!ok_ || BCryptFinishHash(hash_, digest.data(), static_cast<ULONG>(digest.size()), 0) < 0)
            return {};
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string out;
        for (const UCHAR b : digest) {
            out += kDigits[b >> 4];
            out += kDigits[b & 15];
        }
        return out;
    }

private:
    BCRYPT_HASH_HANDLE hash_ = nullptr;
    bool ok_ = false;
};

// A path as Windows takes it; the program's paths are UTF-8.
std::wstring Wide(const std::string& utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// The errno of the same failure on Linux, so that its text is the same.
int Errno(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return EIO;
    }
}

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
    const std::wstring wide = Wide(path);
    // Windows opens no folder as a file, and says "access denied" for one.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return fail(Errno(GetLastError()));
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return fail(EISDIR);
    // Others may go on reading and writing it, as on Linux.
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return fail(Errno(GetLastError()));
    // Only a file on a disk is read, never a pipe or a device.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return fail(EINVAL);
    }
    Digest d;
    std::array<unsigned char, 65536> buffer;
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) {
            const int err = Errno(GetLastError());
            CloseHandle(file);
            return fail(err);
        }
        if (n == 0)
            break;
        d.Add(buffer.data(), n);
    }
    CloseHandle(file);
    std::string hex = d.Hex();
    if (hex.empty())
        return fail(ENOMEM);
    return hex;
}

}  // namespace records
