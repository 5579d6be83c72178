#include "avi/file_sink.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace senki {

FileSink::FileSink(const QString& fileName, std::size_t bufferBytes)
    : buffer_(new std::uint8_t[bufferBytes]), capacity_(bufferBytes)
{
    const QByteArray path = QFile::encodeName(fileName);
    fd_ = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    failed_ = fd_ < 0;
}

FileSink::~FileSink()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileSink::WriteAll(const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd_, data, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        size -= std::size_t(done);
        flushed_ += std::uint64_t(done);
    }
    return true;
}

void FileSink::Flush()
{
    if (failed_ || used_ == 0)
        return;
    const std::size_t size = used_;
    used_ = 0;
    if (!WriteAll(buffer_.get(), size))
        failed_ = true;
}

void FileSink::Append(const void* data, std::size_t size)
{
    if (failed_)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    // Large pieces (whole frames) go out together with the buffer in one
    // gathered write, without being copied into it first.
    if (size >= kDirectBytes) {
        iovec pieces[2] = {{buffer_.get(), used_}, {const_cast<std::uint8_t*>(bytes), size}};
        std::size_t remaining = used_ + size;
        used_ = 0;
        iovec* next = pieces[0].iov_len == 0 ? &pieces[1] : &pieces[0];
        while (remaining > 0) {
            const ssize_t done = ::writev(fd_, next, int(&pieces[2] - next));
            if (done < 0 && errno == EINTR)
                continue;
            if (done <= 0) {
                failed_ = true;
                return;
            }
            flushed_ += std::uint64_t(done);
            remaining -= std::size_t(done);
            for (std::size_t left = std::size_t(done); left > 0;) {
                const std::size_t step = std::min(left, next->iov_len);
                next->iov_base = static_cast<std::uint8_t*>(next->iov_base) + step;
                next->iov_len -= step;
                left -= step;
                if (next->iov_len == 0 && next != &pieces[1])
                    ++next;
            }
        }
        return;
    }
    if (used_ + size > capacity_) {
        Flush();
        if (failed_)
            return;
        if (size >= capacity_) {
            if (!WriteAll(bytes, size))
                failed_ = true;
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, bytes, size);
    used_ += size;
}

void FileSink::Patch(std::uint64_t offset, const void* data, std::size_t size)
{
    Flush();
    if (failed_)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t done = ::pwrite(fd_, bytes, size, off_t(offset));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            failed_ = true;
            return;
        }
        bytes += done;
        offset += std::uint64_t(done);
        size -= std::size_t(done);
    }
}

bool FileSink::Close()
{
    Flush();
    if (fd_ >= 0 && ::close(fd_) != 0)
        failed_ = true;
    fd_ = -1;
    return !failed_;
}

}  // namespace senki
