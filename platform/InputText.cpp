#include "InputText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Blinkwit {

namespace {

constexpr std::size_t readStep = std::size_t(1) << 20;

class Descriptor {
public:
    explicit Descriptor(int fd, bool owned)
        : fd_(fd)
        , owned_(owned) {}
    ~Descriptor() {
        if (owned_ && fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
    bool owned_;
};

// Reads until the end or one byte past the limit; false with errno set on a read error.
bool readUpTo(int fd, std::string& text, std::size_t limit, std::size_t expected) {
    text.resize(std::min(expected, limit) + 1);
    std::size_t used = 0;
    while (used <= limit) {
        if (used == text.size())
            text.resize(std::min(text.size() * 2, limit + 1));
        const ssize_t got = ::read(fd, text.data() + used, std::min(text.size() - used, readStep));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        used += std::size_t(got);
    }
    text.resize(used);
    return true;
}

std::string sizeText(std::size_t bytes) {
    if (bytes % (std::size_t(1) << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    return std::to_string(bytes) + " bytes";
}

} // namespace

std::optional<std::string> InputText::read(const std::string& path, std::string& error,
                                           std::size_t limit) {
    const bool standardInput = path == "-";
    const std::string name = standardInput ? "standard input" : "'" + path + "'";
    const auto fail = [&](const std::string& reason) {
        error = "cannot read " + name + ": " + reason;
        return std::nullopt;
    };
    if (path.empty())
        return fail("the file name is empty");
    const Descriptor file(standardInput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC),
                          !standardInput);
    if (file.fd() < 0)
        return fail(std::strerror(errno));
    struct stat status {};
    if (::fstat(file.fd(), &status) != 0)
        return fail(std::strerror(errno));
    if (S_ISDIR(status.st_mode))
        return fail("is a directory");
    const bool sized = S_ISREG(status.st_mode) && status.st_size > 0;
    const std::size_t expected = sized ? std::size_t(status.st_size) : readStep;
    const std::string tooLong = "longer than " + sizeText(limit) + ", the most blinkwit reads";
    if (sized && expected > limit)
        return fail(tooLong);
    std::string text;
    if (!readUpTo(file.fd(), text, limit, expected))
        return fail(std::strerror(errno));
    if (text.size() > limit)
        return fail(tooLong);
    return text;
}

} // namespace Blinkwit
